// The processor's extensions, read once by the compiler's runtime from cpuid (which also
// checks that the operating system saves the wide registers).
#include "platform/ProcessorFeatures.h"

std::uint32_t QueryProcessorFeatures() {
#if defined(__x86_64__) || defined(__i386__)
    std::uint32_t features = 0;
    if (__builtin_cpu_supports("sse2"))
        features |= kProcessorSse2;
    if (__builtin_cpu_supports("ssse3"))
        features |= kProcessorSsse3;
    if (__builtin_cpu_supports("sse4.1"))
        features |= kProcessorSse41;
    if (__builtin_cpu_supports("avx2"))
        features |= kProcessorAvx2;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
        features |= kProcessorAvx512;
    return features;
#else
    return 0;
#endif
}
