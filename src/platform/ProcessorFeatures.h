// What the processor offers beyond the instructions every build may assume, for code that
// picks a faster routine at run time.
#pragma once

#include <cstdint>

// Bits of QueryProcessorFeatures. They name x86 extensions; other processors report none.
constexpr std::uint32_t kProcessorSse2 = 1u << 0;
constexpr std::uint32_t kProcessorSsse3 = 1u << 1;
constexpr std::uint32_t kProcessorSse41 = 1u << 2;
constexpr std::uint32_t kProcessorAvx2 = 1u << 3;
// AVX-512 Foundation and its byte and word instructions, with the 512-bit and mask
// registers saved by the operating system.
constexpr std::uint32_t kProcessorAvx512 = 1u << 4;

// The extensions this processor runs, and the operating system saves the registers of.
std::uint32_t QueryProcessorFeatures();
