// The kernel sets of a build for a processor without kernels of its own: the portable one.
#include "convert/ConvertKernels.h"

#include "core/Error.h"

std::uint32_t GetKernelSetCount() {
    return 1;
}

const ConvertKernels& GetKernelSet(std::uint32_t index) {
    Require(index == 0);
    return GetPortableKernels();
}
