// The single-precision helpers every conversion variant shares: clamping, rounding to an
// integer sample, and the byte order of 16-bit exchange samples.
//
// They are defined here, inline, because they run once per sample and must disappear into
// the converters: on 32-bit x86 a float returned from an out-of-line function travels
// through the x87 register stack, which the converter code is kept free of.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

// x below lo gives lo, x above hi gives hi; everything else, NaN included, comes back
// unchanged.
inline float Clamp(float x, float lo, float hi) {
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

// Rounds half away from zero into [0, max of TInteger]: x ± 0.5 in single precision,
// clamped, then truncated. NaN gives 0: converting it to an integer would be undefined.
template <typename TInteger>
TInteger RoundSample(float x) {
    static_assert(std::is_integral_v<TInteger> && std::is_unsigned_v<TInteger> &&
                      sizeof(TInteger) <= 2,
                  "integer samples are 8 or 16 bits wide");
    constexpr std::int32_t kMax = std::numeric_limits<TInteger>::max();
    // Selections rather than early returns, so that a loop of these can become vector code.
    const float shifted = x >= 0.0f ? x + 0.5f : x - 0.5f;
    const float clamped = Clamp(shifted, 0.0f, static_cast<float>(kMax));
    const float number = std::isnan(clamped) ? 0.0f : clamped;
    std::int32_t truncated = static_cast<std::int32_t>(number);
    truncated = truncated < 0 ? 0 : truncated;
    truncated = truncated > kMax ? kMax : truncated;
    return static_cast<TInteger>(truncated);
}

// 16-bit exchange samples are stored most significant byte first whatever the machine's
// order. Every target is little-endian, so the stored value is the value with its two
// bytes exchanged: a shift and an or, which the converters' loops do eight samples at a
// time.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "16-bit exchange samples are byte-swapped on a little-endian machine");

inline std::uint16_t ToExchangeOrder(std::uint16_t value) {
    return static_cast<std::uint16_t>((value << 8) | (value >> 8));
}

inline std::uint16_t FromExchangeOrder(std::uint16_t stored) {
    return static_cast<std::uint16_t>((stored << 8) | (stored >> 8));
}

// 8-bit samples have no byte order, and float samples stay in machine order (the PFM
// header's negative scale declares them little-endian).
inline std::uint8_t ToExchangeOrder(std::uint8_t value) {
    return value;
}
inline std::uint8_t FromExchangeOrder(std::uint8_t stored) {
    return stored;
}
inline float ToExchangeOrder(float value) {
    return value;
}
inline float FromExchangeOrder(float stored) {
    return stored;
}
