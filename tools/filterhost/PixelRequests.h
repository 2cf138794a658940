// What advanceState does with a plug-in's request: checks the rectangles and plane
// ranges, fills the input buffer and the writable output buffer, and writes the output
// back into the document when the next request comes or the call ends.
//
// Buffers hold the planes of a pixel interleaved, rows `rowBytes` apart. Rows are padded
// (at least 8 bytes, filled with a pattern), as hosts pad theirs: a plug-in that assumes
// tight rows reads and writes the wrong pixels. Some hosts pack them; the style says so.
#pragma once

#include "Document.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"

#include <cstdint>
#include <vector>

struct PlaneRequest {
    VRect rect{};             // top, left, bottom, right; bottom and right exclusive
    std::int32_t loPlane = 0; // first plane
    std::int32_t hiPlane = 0; // last plane, inclusive
};

struct PixelRequest {
    PlaneRequest in;
    PlaneRequest out;
    Fixed inputRate = kFixedOne;
};

struct PixelBuffer {
    std::vector<std::uint8_t> bytes;
    std::int32_t rowBytes = 0;
    std::int32_t columnBytes = 0; // bytes from one pixel to the next
    std::int32_t planeBytes = 0;  // bytes from one plane to the next within a pixel
    PlaneRequest area;            // the document area it holds (output: written back there)
    bool held = false;
};

struct HostBuffers {
    PixelBuffer in;
    PixelBuffer out;
};

// How a host fills its buffers: from the document itself (results already written back
// included) or from another copy of it, and with padded or packed rows.
struct ServeStyle {
    const Document* source = nullptr; // null: the document
    bool packedRows = false;
};

// Largest buffer the host hands out; bigger requests fail with memFullErr, as on a host
// that runs out of memory.
constexpr std::uint64_t kMaxBufferBytes = std::uint64_t(1) << 30;

bool IsEmptyRect(const VRect& rect);

// paramErr for a non-empty rectangle that is not inside the document or whose plane range
// is not within 0..planes-1 (lo above hi included); 0 otherwise. An empty rectangle asks
// for nothing and is always accepted.
OSErr CheckPlaneRequest(const Document& document, std::int32_t planes, const PlaneRequest& request);

// The sampling step of an input rate: n for the whole numbers n >= 1 (1.0 is full
// resolution, 2.0 every second pixel...); 0 for any other rate, which is refused.
std::int32_t SamplingStep(Fixed rate);

// Serves one request: writes back the pending output, releases the old buffers, then
// delivers the new ones. Returns 0; paramErr (nothing delivered) for a rectangle outside
// the document, a bad plane range or an unsupported input rate; memFullErr for a buffer
// that is too large.
OSErr ServePixelRequest(Document& document, std::int32_t planes, const PixelRequest& request,
                        HostBuffers& buffers, const ServeStyle& style = {});

// Writes the pending output back into the document and frees both buffers.
void ReleaseBuffers(Document& document, HostBuffers& buffers);
