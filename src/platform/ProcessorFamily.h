// The processor family this build's code is for, fixed when it is compiled: the test host
// takes the entry point of a module's property list by it, as a real host does.
#pragma once

enum class EProcessorFamily { kX86, kX64, kArm64 };

constexpr EProcessorFamily kThisProcessorFamily =
#if defined(__aarch64__) || defined(_M_ARM64)
    EProcessorFamily::kArm64;
#elif defined(__x86_64__) || defined(_M_X64)
    EProcessorFamily::kX64;
#else
    sizeof(void*) == 8 ? EProcessorFamily::kX64 : EProcessorFamily::kX86;
#endif
