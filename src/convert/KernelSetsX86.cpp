// The kernel sets of an x86 build: the portable loops, which the compiler makes SSE2 code
// of (every x86 processor this module runs on has SSE2), the AVX2 set, and the AVX2 set
// with the routines written for AVX-512 in place of its own.
#include "convert/KernelSetsX86.h"

#include "core/Error.h"
#include "platform/ProcessorFeatures.h"

namespace {

// The portable routines under the name of the instructions they become here.
ConvertKernels Sse2Kernels() {
    ConvertKernels kernels = GetPortableKernels();
    kernels.name = "sse2";
    return kernels;
}

// Copied here, by code every processor runs: a copy made in the AVX-512 file could use
// its instructions while the module loads.
ConvertKernels Avx512Kernels() {
    ConvertKernels kernels = GetAvx2Kernels();
    kernels.name = "avx512";
    kernels.requiredFeatures |= kProcessorAvx512;
    kernels.importGray8 = ImportGray8Avx512;
    kernels.importGray16 = ImportGray16Avx512;
    return kernels;
}

// Made while the module loads, never on first use. A static made on first use sits behind
// the C++ runtime's guard; with GCC on Windows the guard sets its lock up through the
// thread layer's once-only call, whose first use registers the calling thread: a copy of
// its thread handle and an event, open until that thread ends or the module is unloaded.
// The host's thread would leave its first run holding two handles more than it came with.
// The sets copied here are constants, ready before any code of the module runs.
const ConvertKernels kSse2 = Sse2Kernels();
const ConvertKernels kAvx512 = Avx512Kernels();

} // namespace

std::uint32_t GetKernelSetCount() {
    return 3;
}

const ConvertKernels& GetKernelSet(std::uint32_t index) {
    Require(index < GetKernelSetCount());
    const ConvertKernels* const sets[] = {&kSse2, &GetAvx2Kernels(), &kAvx512};
    return *sets[index];
}
