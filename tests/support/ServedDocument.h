// An RGB 16-bit document that an in-process test host serves through advanceState: each
// request gets the asked rectangle in fresh input and output buffers, and what the plug-in
// left in the previous output buffer is written back into the document first.
#pragma once

#include "host/FilterRecord.h"
#include "support/FakeHost.h"

#include <cstdint>
#include <vector>

struct ServedDocument {
    std::int32_t width = 0;
    std::vector<std::uint16_t> samples; // RGB, host range, row after row
    std::vector<std::uint16_t> in;
    std::vector<std::uint16_t> out;
    VRect outRect{}; // of the output buffer not yet written back
};

// Writes the output buffer of the last request back into the document.
void WriteBackOutput(ServedDocument& document);

// Serves the row segment the host's input and output rectangles (32-bit coordinates) name,
// after writing the previous output back.
void ServeRequestedSegment(ServedDocument& document, FakeHost& host);
