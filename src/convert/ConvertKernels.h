// The batch routines of the converters, gathered in sets that compute the same results to
// the bit with different instructions, and the choice of the set a processor runs.
#pragma once

#include <cstdint>

// Every routine takes the addresses of a batch's destination and source bytes, which need
// no alignment and must not overlap, and a count of samples (per channel) or of pixels
// (gray). Host samples are in machine order; 16-bit exchange samples most significant byte
// first; float samples in machine order on both sides.
using SampleRoutine = void (*)(void* dest, const void* source, std::uint32_t samples);
using ReplicateRoutine = void (*)(void* dest, const void* source, std::uint32_t pixels);
using AverageRoutine = void (*)(void* dest, const void* source, std::uint32_t pixels, float weight);

struct ConvertKernels {
    const char* name;
    std::uint32_t requiredFeatures; // kProcessor* bits the set's instructions need

    // Host to exchange: each sample (RGB), or each gray sample three times.
    SampleRoutine export8;
    ReplicateRoutine exportGray8;
    SampleRoutine export16;
    ReplicateRoutine exportGray16;
    SampleRoutine export32;
    ReplicateRoutine exportGray32;
    // Exchange to host: each sample (RGB), or the mean of each pixel's three samples.
    SampleRoutine import8;
    AverageRoutine importGray8;
    SampleRoutine import16;
    AverageRoutine importGray16;
    SampleRoutine import32;
    AverageRoutine importGray32;
};

// The plain loops: exact on every processor, and what the other sets are measured against.
const ConvertKernels& GetPortableKernels();

// The sets this build holds, the portable one first and the fastest last. A processor can
// run those whose required features it has.
std::uint32_t GetKernelSetCount();
const ConvertKernels& GetKernelSet(std::uint32_t index);
bool CanRunKernels(const ConvertKernels& kernels, std::uint32_t processorFeatures);

// The fastest set that a processor with these features can run.
const ConvertKernels& ChooseKernels(std::uint32_t processorFeatures);
