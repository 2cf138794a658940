// The AVX2 kernel set. Each routine converts whole blocks with vector instructions that
// perform, lane by lane, the single-precision operations of the portable loops in the
// same order (no fused multiply-add: this file is built without it), and hands the last
// few samples of a batch to the portable routine.
//
// Everything here stays inside this file: an inline function shared with the rest of the
// module, compiled here with AVX2, could become the copy every caller uses.
#include "convert/KernelSetsX86.h"

#include "platform/ProcessorFeatures.h"

#include <immintrin.h>

namespace {

// The same constants as the portable rules (see SampleRules.h), which the tests compare.
constexpr float kToExchange = 1.999969482421875f;
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

void Export16(void* dest, const void* source, std::uint32_t samples) {
    std::uint32_t i = 0;
    for (; i + 16 <= samples; i += 16) {
        const Byte* in = At(source, 2 * i);
        const __m128i low = Narrow16(ScaleTruncate(Load128(in), kToExchange, 65535.0f));
        const __m128i high = Narrow16(ScaleTruncate(Load128(in + 16), kToExchange, 65535.0f));
        Byte* out = At(dest, 2 * i);
        Store128(out, SwapBytes(low));
        Store128(out + 16, SwapBytes(high));
    }
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
        const __m128i gray =
            Narrow16(ScaleTruncate(Load128(At(source, 2 * i)), kToExchange, 65535.0f));
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

// RoundSample of a mean of converted integer samples, which is never negative and never
// NaN: the half is added, the sum clamped to [0, max] and truncated.
inline __m256i RoundMean(__m256 mean, float max) {
    return _mm256_cvttps_epi32(ClampNumbers(_mm256_add_ps(mean, _mm256_set1_ps(0.5f)), 0.0f, max));
}

// Eight exchange samples as the 8-bit rule's values: their high bytes, as floats.
inline __m256 HighBytes(const Byte* in) {
    const __m128i high = _mm_and_si128(Load128(in), _mm_set1_epi16(0x00FF));
    return _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(high));
}

void ImportGray8(void* dest, const void* source, std::uint32_t pixels, float weight) {
    std::uint32_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const Byte* in = At(source, 6 * i);
        const Channels channels =
            Deinterleave(HighBytes(in), HighBytes(in + 16), HighBytes(in + 32));
        const __m128i words = Narrow16(RoundMean(Mean(channels, weight), 255.0f));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(At(dest, i)), _mm_packus_epi16(words, words));
    }
    if (i < pixels)
        GetPortableKernels().importGray8(At(dest, i), At(source, 6 * i), pixels - i, weight);
}

// Eight exchange samples converted by the 16-bit rule, as floats.
inline __m256 Converted16(const Byte* in) {
    return _mm256_cvtepi32_ps(ScaleTruncate(SwapBytes(Load128(in)), kToHost, 32768.0f));
}

void ImportGray16(void* dest, const void* source, std::uint32_t pixels, float weight) {
    std::uint32_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const Byte* in = At(source, 6 * i);
        const Channels channels =
            Deinterleave(Converted16(in), Converted16(in + 16), Converted16(in + 32));
        Store128(At(dest, 2 * i), Narrow16(RoundMean(Mean(channels, weight), 65535.0f)));
    }
    if (i < pixels)
        GetPortableKernels().importGray16(At(dest, 2 * i), At(source, 6 * i), pixels - i, weight);
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
