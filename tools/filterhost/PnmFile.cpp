// Binary PGM and PPM images.
#include "PnmFile.h"

#include "HeaderScanner.h"

#include <algorithm>
#include <cmath>
#include <cstring>

bool ParsePnm(const std::string& bytes, Document& document, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) {
        error = "not a binary PGM (P5) or PPM (P6) file";
        return false;
    }
    const EColorMode color = bytes[1] == '6' ? eColorRgb : eColorGray;
    HeaderScanner scanner{bytes, 2};
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t maxval = 0;
    if (!ReadBoundedNumber(scanner, true, 1, kMaxDocumentSide, width) ||
        !ReadBoundedNumber(scanner, true, 1, kMaxDocumentSide, height)) {
        error = "bad width or height (1 to " + std::to_string(kMaxDocumentSide) + ")";
        return false;
    }
    if (!ReadBoundedNumber(scanner, true, 1, 65535, maxval)) {
        error = "bad maxval (1 to 65535)";
        return false;
    }
    if (!EndHeader(scanner)) {
        error = "the header does not end with a white-space byte";
        return false;
    }
    const int depth = maxval <= 255 ? 8 : 16;
    const int channels = ColorChannelCount(color);
    if (DocumentBytes(color, depth, std::int32_t(width), std::int32_t(height), channels) == 0) {
        error = "the image is too large";
        return false;
    }
    const std::size_t sampleBytes = maxval <= 255 ? 1 : 2;
    const std::uint64_t rasterBytes =
        std::uint64_t(width) * height * std::uint64_t(channels) * sampleBytes;
    if (bytes.size() - scanner.position < rasterBytes) {
        error = "the raster is truncated";
        return false;
    }
    document = MakeDocument(color, depth, std::int32_t(width), std::int32_t(height), channels);
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data()) + scanner.position;
    const std::size_t count = std::size_t(rasterBytes / sampleBytes);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t value =
            sampleBytes == 1 ? in[i] : (std::uint32_t(in[2 * i]) << 8) | in[2 * i + 1];
        value = std::min(value, maxval);
        if (depth == 8) {
            document.samples[i] = static_cast<std::uint8_t>((value * 255 + maxval / 2) / maxval);
        } else {
            const std::uint16_t host = FileToHost16(value, maxval);
            std::memcpy(&document.samples[2 * i], &host, sizeof host);
        }
    }
    return true;
}

std::string FormatPnm(const Document& document) {
    const int channels = ColorChannelCount(document.color);
    const std::uint32_t maxval = document.depth == 8 ? 255 : 65535;
    std::string file = std::string(document.color == eColorRgb ? "P6" : "P5") + "\n" +
                       std::to_string(document.width) + " " + std::to_string(document.height) +
                       "\n" + std::to_string(maxval) + "\n";
    for (std::int32_t y = 0; y < document.height; ++y)
        for (std::int32_t x = 0; x < document.width; ++x)
            for (int channel = 0; channel < channels; ++channel) {
                const std::uint8_t* at =
                    document.samples.data() + SampleOffset(document, x, y, channel);
                if (document.depth == 8) {
                    file.push_back(static_cast<char>(*at));
                    continue;
                }
                std::uint32_t value;
                if (document.depth == 16) {
                    std::uint16_t host;
                    std::memcpy(&host, at, sizeof host);
                    value = HostToFile16(host, maxval);
                } else {
                    const double unit =
                        std::min(1.0, std::max(0.0, ReadUnit(document, x, y, channel)));
                    value = static_cast<std::uint32_t>(std::lround(unit * maxval));
                }
                file.push_back(static_cast<char>(value >> 8));
                file.push_back(static_cast<char>(value & 0xFF));
            }
    return file;
}
