// The kernel sets of an x86 build: the portable loops, which the compiler makes SSE2 code
// of (every x86 processor this module runs on has SSE2), and the AVX2 set.
#include "convert/KernelSetsX86.h"

#include "core/Error.h"

namespace {

// The portable routines under the name of the instructions they become here.
ConvertKernels Sse2Kernels() {
    ConvertKernels kernels = GetPortableKernels();
    kernels.name = "sse2";
    return kernels;
}

} // namespace

std::uint32_t GetKernelSetCount() {
    return 2;
}

const ConvertKernels& GetKernelSet(std::uint32_t index) {
    static const ConvertKernels sse2 = Sse2Kernels();
    Require(index < GetKernelSetCount());
    return index == 0 ? sse2 : GetAvx2Kernels();
}
