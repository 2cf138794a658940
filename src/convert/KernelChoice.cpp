// Which of the kernel sets this build holds a processor runs: the fastest it can.
#include "convert/ConvertKernels.h"

bool CanRunKernels(const ConvertKernels& kernels, std::uint32_t processorFeatures) {
    return (kernels.requiredFeatures & ~processorFeatures) == 0;
}

const ConvertKernels& ChooseKernels(std::uint32_t processorFeatures) {
    for (std::uint32_t index = GetKernelSetCount(); index-- > 1;)
        if (CanRunKernels(GetKernelSet(index), processorFeatures))
            return GetKernelSet(index);
    return GetKernelSet(0);
}
