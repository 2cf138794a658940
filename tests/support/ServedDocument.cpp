// Serving an in-process document one request at a time.
#include "support/ServedDocument.h"

void WriteBackOutput(ServedDocument& document) {
    const VRect& r = document.outRect;
    for (std::int32_t y = r.top; y < r.bottom; ++y)
        for (std::int32_t x = r.left; x < r.right; ++x)
            for (int c = 0; c < 3; ++c)
                document.samples[(y * document.width + x) * 3 + c] =
                    document.out[((y - r.top) * (r.right - r.left) + (x - r.left)) * 3 + c];
    document.outRect = VRect{};
}

void ServeRequestedSegment(ServedDocument& document, FakeHost& host) {
    WriteBackOutput(document);
    const VRect r = host.big.inRect32;
    const std::int32_t width = r.right - r.left;
    document.in.assign(static_cast<std::size_t>(width) * 3, 0);
    for (std::int32_t x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
            document.in[x * 3 + c] =
                document.samples[(r.top * document.width + r.left + x) * 3 + c];
    document.out = document.in;
    document.outRect = host.big.outRect32;
    host.record.inData = document.in.data();
    host.record.inRowBytes = width * 3 * 2;
    host.record.outData = document.out.data();
    host.record.outRowBytes = width * 3 * 2;
}
