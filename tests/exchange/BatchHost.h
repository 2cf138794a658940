// An in-process host for the transfer loops: a document in host samples that advanceState
// serves batch by batch (input from `input`, output into `output`, both with the whole
// row as stride, as hosts do), a log of every request, and switches for the odd hosts.
#pragma once

#include "core/PluginState.h"
#include "support/FakeHost.h"

#include <cstdint>
#include <vector>

struct BatchRequest {
    VRect in;
    VRect out;
    std::int16_t inLoPlane, inHiPlane, outLoPlane, outHiPlane;
    Fixed inputRate, maskRate;
};

class BatchHost {
public:
    // A document of `channels` samples per pixel of `depth` bits (8, 16 or 32), with
    // `input` filled by the caller and `output` zero.
    BatchHost(std::int16_t mode, std::int32_t depth, std::int16_t channels, std::int32_t height,
              std::int32_t width);
    ~BatchHost();
    BatchHost(const BatchHost&) = delete;
    BatchHost& operator=(const BatchHost&) = delete;

    // A state block pointing at this host's record, both files closed.
    PluginState& State() { return state; }

    FakeHost fake;
    std::int32_t height, width, channels, bytesPerSample;
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> output;
    std::vector<BatchRequest> requests;

    std::int32_t abortAfter = -1; // abortProc reports a cancel once this many requests ran
    std::int32_t failRequest = 0; // advanceState fails its request number N (from 1)
    OSErr failCode = 0;
    std::int32_t inRowBytes = -1;  // overrides the input stride when not -1
    std::int32_t outRowBytes = -1; // overrides the output stride when not -1

    std::int32_t RowBytes() const { return width * channels * bytesPerSample; }

private:
    static OSErr HOST_API AdvanceState();
    static Boolean HOST_API Abort();
    static BatchHost* current;
    PluginState state{};
};
