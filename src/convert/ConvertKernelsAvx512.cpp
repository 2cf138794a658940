// The AVX-512 routines: the gray imports of 8- and 16-bit samples, which convert the most
// per byte, with the third as the weight, in 512-bit vectors of four 128-bit lanes, 32
// pixels a block. They take the AVX2 routines' integer steps, shown there to give the
// portable loops' results to the bit; the lanes hold twice as many pixels for about as
// many instructions. Anything else goes to the AVX2 set.
//
// Everything here stays inside this file, like the AVX2 set's code; the set that holds
// these routines is made in KernelSetsX86.cpp, by code every processor runs.
#include "convert/GrayGather.h"
#include "convert/KernelSetsX86.h"

#include <immintrin.h>

namespace {

using Byte = unsigned char;

inline const Byte* At(const void* base, std::uint32_t offset) {
    return static_cast<const Byte*>(base) + offset;
}
inline Byte* At(void* base, std::uint32_t offset) {
    return static_cast<Byte*>(base) + offset;
}

// The weight the converters pass, with which the AVX2 routines divide in integers.
constexpr float kThird = 1.0f / 3.0f;

// GCC 12 takes the undefined source of some unmasked intrinsics for an uninitialised
// variable; these zero-masked forms that keep every lane are the same instructions.
constexpr __mmask8 kAllQwords = 0xFF;
constexpr __mmask16 kAllDwords = 0xFFFF;
constexpr __mmask32 kAllWords = 0xFFFFFFFF;

// Thirty-two pixels' 96 exchange samples as three vectors: lane L of the first, second and
// third holds samples 0-7, 8-15 and 16-23 of pixels 8L to 8L + 7. The 192 bytes are twelve
// 16-byte pieces u0 to u11, four to a vector as loaded; lane shuffles of two vectors at a
// time put them in place.
struct PixelThirds {
    __m512i first, second, third;
};

inline PixelThirds LoadThirds(const Byte* in) {
    const __m512i u0to3 = _mm512_loadu_si512(in);
    const __m512i u4to7 = _mm512_loadu_si512(in + 64);
    const __m512i u8to11 = _mm512_loadu_si512(in + 128);
    const __m512i u6u7u9u10 =
        _mm512_maskz_shuffle_i64x2(kAllQwords, u4to7, u8to11, _MM_SHUFFLE(2, 1, 3, 2));
    const __m512i u1u2u4u5 =
        _mm512_maskz_shuffle_i64x2(kAllQwords, u0to3, u4to7, _MM_SHUFFLE(1, 0, 2, 1));
    return {_mm512_maskz_shuffle_i64x2(kAllQwords, u0to3, u6u7u9u10, _MM_SHUFFLE(2, 0, 3, 0)),
            _mm512_maskz_shuffle_i64x2(kAllQwords, u1u2u4u5, u6u7u9u10, _MM_SHUFFLE(3, 1, 2, 0)),
            _mm512_maskz_shuffle_i64x2(kAllQwords, u1u2u4u5, u8to11, _MM_SHUFFLE(3, 0, 3, 1))};
}

// A word mask of GrayGather.h, the same in each of the four lanes.
constexpr __mmask32 InEveryLane(unsigned words) {
    return words * 0x01010101u;
}

// One channel's eight samples per lane, its pixels out of order.
inline __m512i GatherRed(const PixelThirds& t) {
    return _mm512_mask_blend_epi16(
        InEveryLane(kWords25), _mm512_mask_blend_epi16(InEveryLane(kWords147), t.first, t.second),
        t.third);
}
inline __m512i GatherGreen(const PixelThirds& t) {
    return _mm512_mask_blend_epi16(
        InEveryLane(kWords036), _mm512_mask_blend_epi16(InEveryLane(kWords25), t.first, t.second),
        t.third);
}
inline __m512i GatherBlue(const PixelThirds& t) {
    return _mm512_mask_blend_epi16(
        InEveryLane(kWords147), _mm512_mask_blend_epi16(InEveryLane(kWords036), t.first, t.second),
        t.third);
}

// The three channels' shuffles in every lane, made once per batch.
struct ChannelOrders {
    __m512i order[3];
};

inline __m512i InEveryLane(const LaneShuffle& shuffle) {
    return _mm512_maskz_broadcast_i32x4(
        kAllDwords, _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffle.index)));
}

inline ChannelOrders MakeOrders(const LaneShuffle (&shuffles)[3]) {
    return {{InEveryLane(shuffles[0]), InEveryLane(shuffles[1]), InEveryLane(shuffles[2])}};
}

// Thirty-two pixels' channels, each put in pixel order by its shuffle.
struct Channels {
    __m512i red, green, blue;
};

inline Channels GatherChannels(const Byte* in, const ChannelOrders& orders) {
    const PixelThirds thirds = LoadThirds(in);
    return {_mm512_shuffle_epi8(GatherRed(thirds), orders.order[0]),
            _mm512_shuffle_epi8(GatherGreen(thirds), orders.order[1]),
            _mm512_shuffle_epi8(GatherBlue(thirds), orders.order[2])};
}

// (s + 1) / 3 of the sum s of the high bytes (at most 765), by the rounding multiply, as
// bytes.
inline __m256i Gray8Thirds(const Byte* in, const ChannelOrders& orders) {
    const Channels c = GatherChannels(in, orders);
    const __m512i sums = _mm512_add_epi16(_mm512_add_epi16(c.red, c.green), c.blue);
    return _mm512_maskz_cvtepi16_epi8(kAllWords,
                                      _mm512_mulhrs_epi16(sums, _mm512_set1_epi16(10923)));
}

// The 16-bit rule as v / 2 plus one for an odd v above 65408, summed in two parts that fit a
// word: the halves of red and green, and the half of blue plus one (for the rounding) plus
// the three ones, never 0. Their sum over three rounded down is the mean: where it passed a
// word it is below the first part, and the passed 2^16 = 3 * 21845 + 1 gives its third at
// the end and its one to the low word, whose third is exact below 2^16.
inline __m512i Gray16Thirds(const Byte* in, const ChannelOrders& orders) {
    const Channels c = GatherChannels(in, orders);
    const __m512i above = _mm512_set1_epi16(-128); // 65408
    const __m512i one = _mm512_set1_epi16(1);
    const __m512i halves =
        _mm512_add_epi16(_mm512_srli_epi16(c.red, 1), _mm512_srli_epi16(c.green, 1));
    const __m512i ones = _mm512_add_epi16(_mm512_and_si512(_mm512_subs_epu16(c.red, above), one),
                                          _mm512_and_si512(_mm512_subs_epu16(c.green, above), one));
    const __m512i rest =
        _mm512_add_epi16(_mm512_add_epi16(_mm512_avg_epu16(c.blue, one),
                                          _mm512_and_si512(_mm512_subs_epu16(c.blue, above), one)),
                         ones);
    const __m512i sum = _mm512_add_epi16(halves, rest);
    const __mmask32 passed = _mm512_cmplt_epu16_mask(sum, halves);
    const __m512i low = _mm512_mask_add_epi16(sum, passed, sum, one);
    const __m512i third =
        _mm512_srli_epi16(_mm512_mulhi_epu16(low, _mm512_set1_epi16(static_cast<short>(43691))), 1);
    return _mm512_mask_add_epi16(third, passed, third, _mm512_set1_epi16(21845));
}

// Asks for the output line 1 KiB ahead, for writing. These routines convert fast enough
// that each store waited for its line of the host's document to arrive; fetched early,
// the imports took about a twentieth less time. A prefetch never faults, past the end of
// the host's row included; its address is reckoned as an integer, as a pointer there would
// point past the row.
inline void FetchForWriting(const Byte* out) {
    _m_prefetchw(reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(out) + 1024));
}

} // namespace

void ImportGray8Avx512(void* dest, const void* source, std::uint32_t pixels, float weight) {
    if (pixels < 32 || weight != kThird) {
        GetAvx2Kernels().importGray8(dest, source, pixels, weight);
        return;
    }
    const ChannelOrders orders = MakeOrders(kChannelOrders8);
    EachBlock<32>(pixels, [&](std::uint32_t i) {
        FetchForWriting(At(dest, i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(At(dest, i)),
                            Gray8Thirds(At(source, 6 * i), orders));
    });
}

void ImportGray16Avx512(void* dest, const void* source, std::uint32_t pixels, float weight) {
    if (pixels < 32 || weight != kThird) {
        GetAvx2Kernels().importGray16(dest, source, pixels, weight);
        return;
    }
    const ChannelOrders orders = MakeOrders(kChannelOrders16);
    EachBlock<32>(pixels, [&](std::uint32_t i) {
        FetchForWriting(At(dest, 2 * i));
        _mm512_storeu_si512(At(dest, 2 * i), Gray16Thirds(At(source, 6 * i), orders));
    });
}
