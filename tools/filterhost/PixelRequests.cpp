// Serving a plug-in's pixel requests.
#include "PixelRequests.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint8_t kPaddingPattern = 0xCD;

std::int32_t PlaneCount(const PlaneRequest& request) {
    return request.hiPlane - request.loPlane + 1;
}

// The number of samples taken along a side of `length` pixels with every `step`-th kept.
std::int32_t SampledLength(std::int32_t length, std::int32_t step) {
    return (length + step - 1) / step;
}

// Sizes the buffer for the request; false when it would be too large or memory runs out.
bool ShapeBuffer(const Document& document, const PlaneRequest& request, std::int32_t step,
                 bool packed, PixelBuffer& buffer) {
    const std::int32_t width = SampledLength(request.rect.right - request.rect.left, step);
    const std::int32_t height = SampledLength(request.rect.bottom - request.rect.top, step);
    const std::uint64_t sample = std::uint64_t(BytesPerSample(document.depth));
    const std::uint64_t tight = std::uint64_t(width) * std::uint64_t(PlaneCount(request)) * sample;
    const std::uint64_t rowBytes = packed ? tight : (tight + 15) & ~std::uint64_t(7);
    if (rowBytes * std::uint64_t(height) > kMaxBufferBytes)
        return false;
    try {
        buffer.bytes.assign(static_cast<std::size_t>(rowBytes * height), kPaddingPattern);
    } catch (const std::bad_alloc&) {
        return false;
    }
    buffer.rowBytes = static_cast<std::int32_t>(rowBytes);
    buffer.planeBytes = static_cast<std::int32_t>(sample);
    buffer.columnBytes = static_cast<std::int32_t>(sample) * PlaneCount(request);
    buffer.area = request;
    buffer.held = true;
    return true;
}

// Whether a buffer row and the document row it holds have the same layout: every plane of
// the document, at full resolution. Then a row moves as one block.
bool RowsAreContiguous(const Document& document, std::int32_t step, const PixelBuffer& buffer) {
    return step == 1 && buffer.area.loPlane == 0 && PlaneCount(buffer.area) == document.channels;
}

void CopyIn(const Document& document, std::int32_t step, PixelBuffer& buffer) {
    const PlaneRequest& area = buffer.area;
    const std::size_t sample = std::size_t(buffer.planeBytes);
    const std::size_t planes = std::size_t(PlaneCount(area));
    const bool wholeRows = RowsAreContiguous(document, step, buffer);
    const std::size_t rowBytes =
        std::size_t(area.rect.right - area.rect.left) * std::size_t(buffer.columnBytes);
    std::uint8_t* row = buffer.bytes.data();
    for (std::int32_t y = area.rect.top; y < area.rect.bottom; y += step, row += buffer.rowBytes) {
        if (wholeRows) {
            std::memcpy(row, document.samples.data() + SampleOffset(document, area.rect.left, y, 0),
                        rowBytes);
            continue;
        }
        std::uint8_t* at = row;
        for (std::int32_t x = area.rect.left; x < area.rect.right;
             x += step, at += buffer.columnBytes)
            std::memcpy(at, document.samples.data() + SampleOffset(document, x, y, area.loPlane),
                        planes * sample);
    }
}

void CopyOut(const PixelBuffer& buffer, Document& document) {
    const PlaneRequest& area = buffer.area;
    const std::size_t bytes = std::size_t(buffer.columnBytes);
    const bool wholeRows = RowsAreContiguous(document, 1, buffer);
    const std::size_t rowBytes = std::size_t(area.rect.right - area.rect.left) * bytes;
    const std::uint8_t* row = buffer.bytes.data();
    for (std::int32_t y = area.rect.top; y < area.rect.bottom; ++y, row += buffer.rowBytes) {
        if (wholeRows) {
            std::memcpy(document.samples.data() + SampleOffset(document, area.rect.left, y, 0), row,
                        rowBytes);
            continue;
        }
        const std::uint8_t* at = row;
        for (std::int32_t x = area.rect.left; x < area.rect.right; ++x, at += bytes)
            std::memcpy(document.samples.data() + SampleOffset(document, x, y, area.loPlane), at,
                        bytes);
    }
}

void Free(PixelBuffer& buffer) {
    buffer.bytes.clear();
    buffer.bytes.shrink_to_fit();
    buffer = PixelBuffer{};
}

} // namespace

bool IsEmptyRect(const VRect& rect) {
    return rect.bottom <= rect.top || rect.right <= rect.left;
}

OSErr CheckPlaneRequest(const Document& document, std::int32_t planes,
                        const PlaneRequest& request) {
    if (IsEmptyRect(request.rect))
        return noErr;
    const VRect& r = request.rect;
    if (r.top < 0 || r.left < 0 || r.bottom > document.height || r.right > document.width)
        return paramErr;
    if (request.loPlane < 0 || request.hiPlane < request.loPlane || request.hiPlane >= planes ||
        request.hiPlane >= document.channels)
        return paramErr;
    return noErr;
}

std::int32_t SamplingStep(Fixed rate) {
    if (rate < kFixedOne || (rate & 0xFFFF) != 0)
        return 0;
    return rate >> 16;
}

OSErr ServePixelRequest(Document& document, std::int32_t planes, const PixelRequest& request,
                        HostBuffers& buffers, const ServeStyle& style) {
    ReleaseBuffers(document, buffers);
    const bool wantIn = !IsEmptyRect(request.in.rect);
    const bool wantOut = !IsEmptyRect(request.out.rect);
    const std::int32_t step = wantIn ? SamplingStep(request.inputRate) : 1;
    if (CheckPlaneRequest(document, planes, request.in) != noErr ||
        CheckPlaneRequest(document, planes, request.out) != noErr || step == 0)
        return paramErr;
    const bool packed = style.packedRows;
    if ((wantIn && !ShapeBuffer(document, request.in, step, packed, buffers.in)) ||
        (wantOut && !ShapeBuffer(document, request.out, 1, packed, buffers.out))) {
        Free(buffers.in);
        Free(buffers.out);
        return memFullErr;
    }
    const Document& source = style.source != nullptr ? *style.source : document;
    if (wantIn)
        CopyIn(source, step, buffers.in);
    // The output starts as the document's own pixels, so that whatever the plug-in does
    // not write stays as it was.
    if (wantOut)
        CopyIn(source, 1, buffers.out);
    return noErr;
}

void ReleaseBuffers(Document& document, HostBuffers& buffers) {
    if (buffers.out.held)
        CopyOut(buffers.out, document);
    Free(buffers.in);
    Free(buffers.out);
}
