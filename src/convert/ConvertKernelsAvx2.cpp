// The AVX2 kernel set. Each routine converts whole blocks with vector instructions that
// give, lane by lane, the results of the portable loops to the bit: the same
// single-precision operations in the same order (no fused multiply-add: this file is
// built without it), or integer operations shown equal to them for every value they meet.
// The last few samples of a batch go to the portable routine, or into one more block that
// ends with the batch.
//
// Everything here stays inside this file: an inline function shared with the rest of the
// module, compiled here with AVX2, could become the copy every caller uses.
#include "convert/GrayGather.h"
#include "convert/KernelSetsX86.h"

#include "platform/ProcessorFeatures.h"

#include <immintrin.h>

namespace {

// The same constant as the portable import rule (see SampleRules.h), which the tests compare.
constexpr float kToHost = 0.50000762939453125f;

using Byte = unsigned char;

inline const Byte* At(const void* base, std::uint32_t offset) {
    return static_cast<const Byte*>(base) + offset;
}
inline Byte* At(void* base, std::uint32_t offset) {
    return static_cast<Byte*>(base) + offset;
}

inline __m128i Load128(const Byte* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline __m256i Load256(const Byte* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store128(Byte* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline void Store256(Byte* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Exchanges the two bytes of every 16-bit lane.
inline __m128i SwapBytes(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14));
}

// Clamp(x, lo, hi) for values that are never NaN: max then min give the same lanes.
inline __m256 ClampNumbers(__m256 x, float lo, float hi) {
    return _mm256_min_ps(_mm256_max_ps(x, _mm256_set1_ps(lo)), _mm256_set1_ps(hi));
}

// Eight 16-bit values scaled, clamped and truncated: the 16-bit rules of both directions.
inline __m256i ScaleTruncate(__m128i values, float scale, float hi) {
    const __m256 x = _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(values));
    return _mm256_cvttps_epi32(ClampNumbers(_mm256_mul_ps(x, _mm256_set1_ps(scale)), 0.0f, hi));
}

// Eight 32-bit lanes of 0..65535 as eight 16-bit values.
inline __m128i Narrow16(__m256i lanes) {
    return _mm_packus_epi32(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
}

// ---- Host to exchange -------------------------------------------------------------------

// v * 257: both bytes of the exchange sample are the host byte, in either order.
void Export8(void* dest, const void* source, std::uint32_t samples) {
    std::uint32_t i = 0;
    for (; i + 16 <= samples; i += 16) {
        const __m256i wide = _mm256_cvtepu8_epi16(Load128(At(source, i)));
        Store256(At(dest, 2 * i), _mm256_or_si256(wide, _mm256_slli_epi16(wide, 8)));
    }
    if (i < samples)
        GetPortableKernels().export8(At(dest, 2 * i), At(source, i), samples - i);
}

// Sixteen gray bytes become 48 exchange samples: byte k of the output is host byte k / 6.
void ExportGray8(void* dest, const void* source, std::uint32_t pixels) {
    const __m256i spread0 = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                                             3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 5, 5);
    const __m256i spread1 = _mm256_setr_epi8(5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 8, 8,
                                             8, 8, 8, 8, 9, 9, 9, 9, 9, 9, 10, 10, 10, 10);
    const __m256i spread2 =
        _mm256_setr_epi8(10, 10, 11, 11, 11, 11, 11, 11, 12, 12, 12, 12, 12, 12, 13, 13, 13, 13, 13,
                         13, 14, 14, 14, 14, 14, 14, 15, 15, 15, 15, 15, 15);
    std::uint32_t i = 0;
    for (; i + 16 <= pixels; i += 16) {
        const __m256i gray = _mm256_broadcastsi128_si256(Load128(At(source, i)));
        Byte* out = At(dest, 6 * i);
        Store256(out, _mm256_shuffle_epi8(gray, spread0));
        Store256(out + 32, _mm256_shuffle_epi8(gray, spread1));
        Store256(out + 64, _mm256_shuffle_epi8(gray, spread2));
    }
    if (i < pixels)
        GetPortableKernels().exportGray8(At(dest, 6 * i), At(source, i), pixels - i);
}

// The 16-bit export rule, trunc(h * kToExchange) limited to 65535, as integers: h * 2 - 1
// for every h from 1 on (the product is never within its rounding of 2h), 0 for 0, and
// the saturating addition limits it. The exhaustive tests hold every value.
inline __m256i Export16Rule(__m256i h) {
    return _mm256_adds_epu16(h, _mm256_subs_epu16(h, _mm256_set1_epi16(1)));
}
inline __m128i Export16Rule(__m128i h) {
    return _mm_adds_epu16(h, _mm_subs_epu16(h, _mm_set1_epi16(1)));
}

void Export16(void* dest, const void* source, std::uint32_t samples) {
    const __m256i swap = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14));
    std::uint32_t i = 0;
    for (; i + 16 <= samples; i += 16)
        Store256(At(dest, 2 * i),
                 _mm256_shuffle_epi8(Export16Rule(Load256(At(source, 2 * i))), swap));
    if (i < samples)
        GetPortableKernels().export16(At(dest, 2 * i), At(source, 2 * i), samples - i);
}

// Eight converted gray samples become 24 exchange samples, swapped into exchange order on
// the way: output sample m is converted sample m / 3, its high byte first.
void ExportGray16(void* dest, const void* source, std::uint32_t pixels) {
    const __m256i spread0 = _mm256_setr_epi8(1, 0, 1, 0, 1, 0, 3, 2, 3, 2, 3, 2, 5, 4, 5, 4, 5, 4,
                                             7, 6, 7, 6, 7, 6, 9, 8, 9, 8, 9, 8, 11, 10);
    const __m128i spread1 =
        _mm_setr_epi8(11, 10, 11, 10, 13, 12, 13, 12, 13, 12, 15, 14, 15, 14, 15, 14);
    std::uint32_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const __m128i gray = Export16Rule(Load128(At(source, 2 * i)));
        Byte* out = At(dest, 6 * i);
        Store256(out, _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(gray), spread0));
        Store128(out + 32, _mm_shuffle_epi8(gray, spread1));
    }
    if (i < pixels)
        GetPortableKernels().exportGray16(At(dest, 6 * i), At(source, 2 * i), pixels - i);
}

void ExportGray32(void* dest, const void* source, std::uint32_t pixels) {
    const __m256i spread0 = _mm256_setr_epi32(0, 0, 0, 1, 1, 1, 2, 2);
    const __m256i spread1 = _mm256_setr_epi32(2, 3, 3, 3, 4, 4, 4, 5);
    const __m256i spread2 = _mm256_setr_epi32(5, 5, 6, 6, 6, 7, 7, 7);
    std::uint32_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const __m256i gray = Load256(At(source, 4 * i));
        Byte* out = At(dest, 12 * i);
        Store256(out, _mm256_permutevar8x32_epi32(gray, spread0));
        Store256(out + 32, _mm256_permutevar8x32_epi32(gray, spread1));
        Store256(out + 64, _mm256_permutevar8x32_epi32(gray, spread2));
    }
    if (i < pixels)
        GetPortableKernels().exportGray32(At(dest, 12 * i), At(source, 4 * i), pixels - i);
}

// ---- Exchange to host -------------------------------------------------------------------

// The high byte of each exchange sample is the first of its two bytes, the low byte of a
// little-endian 16-bit lane.
void Import8(void* dest, const void* source, std::uint32_t samples) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    std::uint32_t i = 0;
    for (; i + 32 <= samples; i += 32) {
        const Byte* in = At(source, 2 * i);
        const __m256i first = _mm256_and_si256(Load256(in), lowBytes);
        const __m256i second = _mm256_and_si256(Load256(in + 32), lowBytes);
        // The pack works within each 128-bit half; the permutation puts the halves in order.
        const __m256i packed = _mm256_packus_epi16(first, second);
        Store256(At(dest, i), _mm256_permute4x64_epi64(packed, 0xD8));
    }
    if (i < samples)
        GetPortableKernels().import8(At(dest, i), At(source, 2 * i), samples - i);
}

void Import16(void* dest, const void* source, std::uint32_t samples) {
    std::uint32_t i = 0;
    for (; i + 16 <= samples; i += 16) {
        const Byte* in = At(source, 2 * i);
        Byte* out = At(dest, 2 * i);
        Store128(out, Narrow16(ScaleTruncate(SwapBytes(Load128(in)), kToHost, 32768.0f)));
        Store128(out + 16, Narrow16(ScaleTruncate(SwapBytes(Load128(in + 16)), kToHost, 32768.0f)));
    }
    if (i < samples)
        GetPortableKernels().import16(At(dest, 2 * i), At(source, 2 * i), samples - i);
}

// Eight pixels' 24 converted samples, three vectors in file order, taken apart into one
// vector per channel. Lane p of channel c is sample 3p + c: in vector (3p + c) / 8 at
// position (3p + c) % 8, so one permutation of each vector and two blends gather it.
struct Channels {
    __m256 red, green, blue;
};

inline Channels Deinterleave(__m256 a, __m256 b, __m256 c) {
    const __m256i redIndex = _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5);
    const __m256i greenIndex = _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6);
    const __m256i blueIndex = _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
    Channels channels;
    channels.red = _mm256_blend_ps(_mm256_blend_ps(_mm256_permutevar8x32_ps(a, redIndex),
                                                   _mm256_permutevar8x32_ps(b, redIndex), 0x38),
                                   _mm256_permutevar8x32_ps(c, redIndex), 0xC0);
    channels.green = _mm256_blend_ps(_mm256_blend_ps(_mm256_permutevar8x32_ps(a, greenIndex),
                                                     _mm256_permutevar8x32_ps(b, greenIndex), 0x18),
                                     _mm256_permutevar8x32_ps(c, greenIndex), 0xE0);
    channels.blue = _mm256_blend_ps(_mm256_blend_ps(_mm256_permutevar8x32_ps(a, blueIndex),
                                                    _mm256_permutevar8x32_ps(b, blueIndex), 0x1C),
                                    _mm256_permutevar8x32_ps(c, blueIndex), 0xE0);
    return channels;
}

// The sum from 0.0 in channel order, each addition rounded, times the weight.
inline __m256 Mean(const Channels& channels, float weight) {
    __m256 sum = _mm256_add_ps(_mm256_setzero_ps(), channels.red);
    sum = _mm256_add_ps(sum, channels.green);
    sum = _mm256_add_ps(sum, channels.blue);
    return _mm256_mul_ps(sum, _mm256_set1_ps(weight));
}

// ---- Gray means of 8- and 16-bit samples --------------------------------------------------
//
// Converted 8- and 16-bit samples are integers, and the sum of three of them (at most
// 3 * 32768) is exact in single precision, as is every partial sum: the integer sum,
// converted once, is the float sum in channel order to the bit. So these take sixteen
// pixels' channels apart with shuffles inside the 128-bit halves and convert and add them
// as integers. With the third, the weight the converters pass, the rounded mean is an
// integer division too; only other weights are multiplied and rounded in floats.

// Sixteen pixels' 48 exchange samples as three vectors whose halves each hold a third of
// eight pixels: the low halves samples 0-7, 8-15 and 16-23 (pixels 0-7), the high halves
// samples 24-31, 32-39 and 40-47 (pixels 8-15). Within every half, sample j of the
// group of 24 lies in vector j / 8 at position j % 8, the same in both halves.
struct PixelThirds {
    __m256i first, second, third;
};

inline __m256i LoadHalves(const Byte* low, const Byte* high) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(Load128(low)), Load128(high), 1);
}

inline PixelThirds LoadThirds(const Byte* in) {
    return {LoadHalves(in, in + 48), LoadHalves(in + 16, in + 64), LoadHalves(in + 32, in + 80)};
}

// One channel's eight samples per half, its pixels out of order (see GrayGather.h).
inline __m256i GatherRed(const PixelThirds& t) {
    return _mm256_blend_epi16(_mm256_blend_epi16(t.first, t.second, kWords147), t.third, kWords25);
}
inline __m256i GatherGreen(const PixelThirds& t) {
    return _mm256_blend_epi16(_mm256_blend_epi16(t.first, t.second, kWords25), t.third, kWords036);
}
inline __m256i GatherBlue(const PixelThirds& t) {
    return _mm256_blend_epi16(_mm256_blend_epi16(t.first, t.second, kWords036), t.third, kWords147);
}

// A channel's shuffle (see GrayGather.h), in both halves.
inline __m256i InBothHalves(const LaneShuffle& shuffle) {
    return _mm256_broadcastsi128_si256(Load128(reinterpret_cast<const Byte*>(shuffle.index)));
}

// RoundSample of an integer sum times the weight, for eight sums: the float product and
// the half added, then limited to max and truncated. Below zero the result stays negative
// or 0, and a NaN (from an infinite or NaN weight) comes out as the lowest integer, the
// operand order of the minimum passing it on: the saturating packs that follow turn both
// into 0, as the portable rounding does.
inline __m256i RoundWeighted(__m256i sums, __m256 weight, float max) {
    const __m256 mean = _mm256_mul_ps(_mm256_cvtepi32_ps(sums), weight);
    const __m256 shifted = _mm256_add_ps(mean, _mm256_set1_ps(0.5f));
    return _mm256_cvttps_epi32(_mm256_min_ps(_mm256_set1_ps(max), shifted));
}

// The weight of three channels, with which RoundSample(s * weight) is (s + 1) / 3 rounded
// down for every sum s of three converted samples (at most 3 * 32768): s / 3 is never within
// the products' rounding error of a half. The tests compare every sum with the float rule.
constexpr float kThird = 1.0f / 3.0f;

// The three channels' shuffles, made once per batch.
struct ChannelOrders {
    __m256i order[3];
};

inline ChannelOrders MakeOrders(const LaneShuffle (&shuffles)[3]) {
    return {{InBothHalves(shuffles[0]), InBothHalves(shuffles[1]), InBothHalves(shuffles[2])}};
}

// The sums of sixteen pixels' 8-bit samples (at most 3 * 255), pixels 0-7 in the low half.
inline __m256i Gray8Sums(const Byte* in, const ChannelOrders& orders) {
    const PixelThirds thirds = LoadThirds(in);
    return _mm256_add_epi16(
        _mm256_add_epi16(_mm256_shuffle_epi8(GatherRed(thirds), orders.order[0]),
                         _mm256_shuffle_epi8(GatherGreen(thirds), orders.order[1])),
        _mm256_shuffle_epi8(GatherBlue(thirds), orders.order[2]));
}

// (s + 1) / 3 rounded down, for sums up to 765: the rounding multiply gives
// (s * 10923 + 2^14) / 2^15 rounded down, the same for every such s.
inline __m256i DivideByThree(__m256i sums) {
    return _mm256_mulhrs_epi16(sums, _mm256_set1_epi16(10923));
}

void Gray8Thirds(void* dest, const void* source, std::uint32_t pixels) {
    const ChannelOrders orders = MakeOrders(kChannelOrders8);
    if (pixels < 32) {
        EachBlock<16>(pixels, [&](std::uint32_t i) {
            const __m256i words = DivideByThree(Gray8Sums(At(source, 6 * i), orders));
            Store128(At(dest, i), _mm_packus_epi16(_mm256_castsi256_si128(words),
                                                   _mm256_extracti128_si256(words, 1)));
        });
        return;
    }
    EachBlock<32>(pixels, [&](std::uint32_t i) {
        const Byte* in = At(source, 6 * i);
        // Pixels 0-7 and 16-23 in the low half, 8-15 and 24-31 in the high half.
        const __m256i bytes = _mm256_packus_epi16(DivideByThree(Gray8Sums(in, orders)),
                                                  DivideByThree(Gray8Sums(in + 96, orders)));
        Store256(At(dest, i), _mm256_permute4x64_epi64(bytes, 0xD8));
    });
}

void Gray8Weighted(void* dest, const void* source, std::uint32_t pixels, float weight) {
    const ChannelOrders orders = MakeOrders(kChannelOrders8);
    const __m256 weights = _mm256_set1_ps(weight);
    const __m256i zero = _mm256_setzero_si256();
    EachBlock<16>(pixels, [&](std::uint32_t i) {
        const __m256i sums = Gray8Sums(At(source, 6 * i), orders);
        // Pixels 0-3 and 8-11, then 4-7 and 12-15; the pack restores the order in halves.
        const __m256i words =
            _mm256_packs_epi32(RoundWeighted(_mm256_unpacklo_epi16(sums, zero), weights, 255.0f),
                               RoundWeighted(_mm256_unpackhi_epi16(sums, zero), weights, 255.0f));
        Store128(At(dest, i), _mm_packus_epi16(_mm256_castsi256_si128(words),
                                               _mm256_extracti128_si256(words, 1)));
    });
}

void ImportGray8(void* dest, const void* source, std::uint32_t pixels, float weight) {
    if (pixels < 16)
        GetPortableKernels().importGray8(dest, source, pixels, weight);
    else if (weight == kThird)
        Gray8Thirds(dest, source, pixels);
    else
        Gray8Weighted(dest, source, pixels, weight);
}

// The 16-bit rule, trunc(v * kToHost) in single precision, as integers: v / 2 rounded
// down, plus one where the product of an odd v above 65408 rounds up to the next integer
// (v - 65408, at most 127, is odd exactly then). The exhaustive tests hold every value.
//
// Three whole results may not fit a word together (3 * 32768), so the channels are summed
// in two parts that do: the halves of red and green (at most 2 * 32767), and the half of
// blue with the three ones and `Extra` (at most 32767 + 4).
struct ConvertedParts {
    __m256i halves, rest;
};

template <int Extra>
inline ConvertedParts AddConverted(__m256i red, __m256i green, __m256i blue) {
    static_assert(Extra == 0 || Extra == 1, "the ones of the rule carry at most one more");
    const __m256i above = _mm256_set1_epi16(-128); // 65408
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i redOne = _mm256_and_si256(_mm256_subs_epu16(red, above), one);
    const __m256i greenOne = _mm256_and_si256(_mm256_subs_epu16(green, above), one);
    // The average with one rounds up: the half of blue plus one, without overflow.
    const __m256i blueHalf = Extra == 1 ? _mm256_avg_epu16(blue, one) : _mm256_srli_epi16(blue, 1);
    __m256i rest =
        _mm256_add_epi16(blueHalf, _mm256_and_si256(_mm256_subs_epu16(blue, above), one));
    rest = _mm256_add_epi16(rest, _mm256_add_epi16(redOne, greenOne));
    return {_mm256_add_epi16(_mm256_srli_epi16(red, 1), _mm256_srli_epi16(green, 1)), rest};
}

// (a + b) / 3 rounded down, for words a and b whose sum may pass a word (b at least 1, the
// sum below 2^17). A sum that passed a word is below a, any other above it, as b is never
// 0. The passed 2^16 is 3 * 21845 + 1: its third is added at the end and its one joins the
// low word, whose third (the high word of the product with 2^17 / 3 rounded up, halved) is
// exact below 2^16.
inline __m256i DivideSumByThree(__m256i a, __m256i b) {
    const __m256i sum = _mm256_add_epi16(a, b);
    // All ones (-1) where the sum passed a word.
    const __m256i carry = _mm256_cmpeq_epi16(_mm256_max_epu16(a, sum), a);
    const __m256i low = _mm256_sub_epi16(sum, carry);
    const __m256i third =
        _mm256_srli_epi16(_mm256_mulhi_epu16(low, _mm256_set1_epi16(static_cast<short>(43691))), 1);
    return _mm256_add_epi16(third, _mm256_and_si256(carry, _mm256_set1_epi16(21845)));
}

// Sixteen gray 16-bit pixels from 96 exchange bytes. With the third as the weight, the
// result is (s + 1) / 3 rounded down, which RoundSample of the float product gives for
// every sum s (see kThird); the one is carried by the blue part. Any other weight goes
// through the float rounding in 32-bit lanes.
template <bool IsThird>
inline __m256i Gray16Block(const Byte* in, __m256 weight, const __m256i (&order)[3]) {
    const PixelThirds thirds = LoadThirds(in);
    constexpr int kExtra = IsThird ? 1 : 0;
    const ConvertedParts parts =
        AddConverted<kExtra>(_mm256_shuffle_epi8(GatherRed(thirds), order[0]),
                             _mm256_shuffle_epi8(GatherGreen(thirds), order[1]),
                             _mm256_shuffle_epi8(GatherBlue(thirds), order[2]));
    if constexpr (IsThird) {
        return DivideSumByThree(parts.halves, parts.rest);
    } else {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i low = _mm256_add_epi32(_mm256_unpacklo_epi16(parts.halves, zero),
                                             _mm256_unpacklo_epi16(parts.rest, zero));
        const __m256i high = _mm256_add_epi32(_mm256_unpackhi_epi16(parts.halves, zero),
                                              _mm256_unpackhi_epi16(parts.rest, zero));
        return _mm256_packus_epi32(RoundWeighted(low, weight, 65535.0f),
                                   RoundWeighted(high, weight, 65535.0f));
    }
}

template <bool IsThird>
void Gray16Blocks(void* dest, const void* source, std::uint32_t pixels, float weight) {
    const ChannelOrders orders = MakeOrders(kChannelOrders16);
    const __m256 weights = _mm256_set1_ps(weight);
    EachBlock<16>(pixels, [&](std::uint32_t i) {
        Store256(At(dest, 2 * i), Gray16Block<IsThird>(At(source, 6 * i), weights, orders.order));
    });
}

void ImportGray16(void* dest, const void* source, std::uint32_t pixels, float weight) {
    if (pixels < 16)
        GetPortableKernels().importGray16(dest, source, pixels, weight);
    else if (weight == kThird)
        Gray16Blocks<true>(dest, source, pixels, weight);
    else
        Gray16Blocks<false>(dest, source, pixels, weight);
}

// Clamp(x, 0, 1) lane by lane as the scalar one decides: below 0 gives 0, above 1 gives 1,
// anything else (NaN and -0.0 included) stays.
inline __m256 ClampUnit(__m256 x) {
    const __m256 zero = _mm256_setzero_ps();
    const __m256 one = _mm256_set1_ps(1.0f);
    x = _mm256_blendv_ps(x, zero, _mm256_cmp_ps(x, zero, _CMP_LT_OQ));
    return _mm256_blendv_ps(x, one, _mm256_cmp_ps(x, one, _CMP_GT_OQ));
}

void ImportGray32(void* dest, const void* source, std::uint32_t pixels, float weight) {
    std::uint32_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const float* in = reinterpret_cast<const float*>(At(source, 12 * i));
        const Channels channels =
            Deinterleave(_mm256_loadu_ps(in), _mm256_loadu_ps(in + 8), _mm256_loadu_ps(in + 16));
        _mm256_storeu_ps(reinterpret_cast<float*>(At(dest, 4 * i)),
                         ClampUnit(Mean(channels, weight)));
    }
    if (i < pixels)
        GetPortableKernels().importGray32(At(dest, 4 * i), At(source, 12 * i), pixels - i, weight);
}

// Float samples pass unchanged: the portable copy is already as fast as the memory.
void Export32(void* dest, const void* source, std::uint32_t samples) {
    GetPortableKernels().export32(dest, source, samples);
}
void Import32(void* dest, const void* source, std::uint32_t samples) {
    GetPortableKernels().import32(dest, source, samples);
}

const ConvertKernels kAvx2 = {
    "avx2",   kProcessorSse2 | kProcessorSsse3 | kProcessorSse41 | kProcessorAvx2,
    Export8,  ExportGray8,
    Export16, ExportGray16,
    Export32, ExportGray32,
    Import8,  ImportGray8,
    Import16, ImportGray16,
    Import32, ImportGray32,
};

} // namespace

const ConvertKernels& GetAvx2Kernels() {
    return kAvx2;
}
