// What the vector kernel files share to take a gray import's three channels apart: the
// word masks, the byte shuffles and the walk over a batch in blocks. Constants made at
// compile time and a template each file instantiates with its own block, so that no
// function compiled for one file's instructions can become another file's copy.
#pragma once

#include <cstdint>

// Within a 128-bit lane, three vectors hold a third each of eight pixels' 24 samples:
// sample 3p + c sits at word (3p + c) % 8 of vector (3p + c) / 8, and for each word exactly
// one vector holds channel c there, so two word blends gather the channel (its pixels out
// of order). Words 0, 3 and 6 of the first vector, 1, 4 and 7 of the second and 2 and 5 of
// the third are channel 0, and each later channel moves one word on. Bit w selects word w.
constexpr unsigned kWords036 = 0x49;
constexpr unsigned kWords147 = 0x92;
constexpr unsigned kWords25 = 0x24;

// The sixteen byte indices of a shuffle within a 128-bit lane.
struct LaneShuffle {
    char index[16];
};

// The shuffle that puts pixel p of gathered channel c, at word (3p + c) % 8, into word p.
// Byte k of an exchange sample in memory is its byte 1 - k of significance: the 8-bit rule
// keeps the first byte alone (zero above it), the 16-bit rule swaps the two.
constexpr LaneShuffle ChannelOrder(int channel, bool highByteOnly) {
    LaneShuffle shuffle{};
    for (int p = 0; p < 8; ++p) {
        const int word = (3 * p + channel) % 8;
        shuffle.index[2 * p] = static_cast<char>(highByteOnly ? 2 * word : 2 * word + 1);
        shuffle.index[2 * p + 1] = static_cast<char>(highByteOnly ? 0x80 : 2 * word);
    }
    return shuffle;
}

// The three channels' shuffles, for the 8-bit rule and for the 16-bit one.
constexpr LaneShuffle kChannelOrders8[3] = {ChannelOrder(0, true), ChannelOrder(1, true),
                                            ChannelOrder(2, true)};
constexpr LaneShuffle kChannelOrders16[3] = {ChannelOrder(0, false), ChannelOrder(1, false),
                                             ChannelOrder(2, false)};

// Calls block(i) for blocks of Width pixels that cover a batch of at least Width pixels;
// the last one ends with the batch and may overlap the one before, whose pixels it then
// writes again with the same values.
template <std::uint32_t Width, typename Block>
inline void EachBlock(std::uint32_t pixels, Block block) {
    std::uint32_t i = 0;
    for (; i + Width <= pixels; i += Width)
        block(i);
    if (i < pixels)
        block(pixels - Width);
}
