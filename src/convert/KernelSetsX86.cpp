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

// Made while the module loads, never on first use. A static made on first use sits behind
// the C++ runtime's guard; with GCC on Windows the guard sets its lock up through the
// thread layer's once-only call, whose first use registers the calling thread: a copy of
// its thread handle and an event, open until that thread ends or the module is unloaded.
// The host's thread would leave its first run holding two handles more than it came with.
// The portable set copied here is a constant, ready before any code of the module runs.
const ConvertKernels kSse2 = Sse2Kernels();

} // namespace

std::uint32_t GetKernelSetCount() {
    return 2;
}

const ConvertKernels& GetKernelSet(std::uint32_t index) {
    Require(index < GetKernelSetCount());
    return index == 0 ? kSse2 : GetAvx2Kernels();
}
