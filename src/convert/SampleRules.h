// The conversion of one sample for each of the six converters, and the sample access of
// the plain loops: what every kernel set must reproduce to the bit.
//
// Only code built for the baseline processor includes this: an inline function compiled
// with wider instructions could be the copy the linker keeps for everyone.
#pragma once

#include "convert/ConvertBuffer.h"
#include "convert/SampleArithmetic.h"

#include <cfloat>
#include <cstddef>
#include <cstring>
#include <type_traits>

// Every product and sum must be rounded to single precision as it is made, so that all
// targets agree to the bit. x87 arithmetic (the 32-bit compiler's default) keeps excess
// precision; the 32-bit toolchain selects SSE2 instead, and this refuses to build without.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in single precision");

// 65535/32768, exact in single precision: the host's 16-bit range ends at 32768.
constexpr float kHostToExchangeScale = 1.999969482421875f;
// The single-precision value nearest 32768/65535 (0.5 + 2^-17).
constexpr float kExchangeToHostScale = 0.50000762939453125f;
static_assert(kHostToExchangeScale == 65535.0f / 32768.0f);
static_assert(kExchangeToHostScale == static_cast<float>(32768.0 / 65535.0));

// ConvertSample of each instantiation: one sample's value on the destination side from its
// value on the source side (both in machine order).
template <typename TDest, typename TSource, int Direction>
struct SampleRule;

// Both bytes of the result equal the host sample: 0 stays 0, 255 becomes 65535.
template <>
struct SampleRule<unsigned short, unsigned char, kHostToExchange> {
    static unsigned short ConvertSample(unsigned char value) {
        return static_cast<unsigned short>(value * 257u);
    }
};

// The most significant byte; truncation, so 0x00FF gives 0 and v * 257 comes back as v.
template <>
struct SampleRule<unsigned char, unsigned short, kExchangeToHost> {
    static unsigned char ConvertSample(unsigned short value) {
        return static_cast<unsigned char>(value >> 8);
    }
};

// Scaled, clamped, then truncated (not rounded): 16384 gives 32767, 32768 gives 65535.
template <>
struct SampleRule<unsigned short, unsigned short, kHostToExchange> {
    static unsigned short ConvertSample(unsigned short value) {
        const float scaled = static_cast<float>(value) * kHostToExchangeScale;
        return static_cast<unsigned short>(Clamp(scaled, 0.0f, 65535.0f));
    }
};

// Scaled, clamped to the host's 0..32768, then truncated: 65535 gives 32768, 65534 32767.
template <>
struct SampleRule<unsigned short, unsigned short, kExchangeToHost> {
    static unsigned short ConvertSample(unsigned short value) {
        const float scaled = static_cast<float>(value) * kExchangeToHostScale;
        return static_cast<unsigned short>(Clamp(scaled, 0.0f, 32768.0f));
    }
};

// Float samples pass unchanged both ways: values outside 0..1 and infinities included.
template <int Direction>
struct SampleRule<float, float, Direction> {
    static float ConvertSample(float value) { return value; }
};

// A stored source sample as the value ConvertSample takes (an exchange-side 16-bit sample
// changes byte order on the way in), converted.
//
// These helpers stay free and inline: an explicitly instantiated member is also emitted
// out of line, and on 32-bit x86 a float returned from a function passes through the x87
// stack.
template <typename TDest, int Direction, typename TSource>
inline TDest ReadSample(TSource stored) {
    if constexpr (Direction == kExchangeToHost)
        stored = FromExchangeOrder(stored);
    return SampleRule<TDest, TSource, Direction>::ConvertSample(stored);
}

// A destination value as it is stored: most significant byte first on the exchange side.
template <int Direction, typename TDest>
inline TDest StoredSample(TDest value) {
    if constexpr (Direction == kHostToExchange)
        return ToExchangeOrder(value);
    else
        return value;
}

// The plain mean of the channels with the single-precision weight (one third is
// 0.333333343), no luminance weighting. A float mean is limited to 0..1 here, and only
// here; an integer one is rounded half away from zero.
template <typename TDest>
inline TDest FinishMean(float mean) {
    if constexpr (std::is_floating_point_v<TDest>)
        return Clamp(mean, 0.0f, 1.0f);
    else
        return RoundSample<TDest>(mean);
}

// Sample i of a buffer at any address: the host's buffers promise no alignment.
template <typename T>
inline T LoadSample(const void* base, std::size_t index) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + index * sizeof(T), sizeof value);
    return value;
}

template <typename T>
inline void StoreSample(void* base, std::size_t index, T value) {
    std::memcpy(static_cast<unsigned char*>(base) + index * sizeof(T), &value, sizeof value);
}
