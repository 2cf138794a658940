// PFM images in the published convention.
#include "PfmFile.h"

#include "HeaderScanner.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

float DecodeFloat(const std::uint8_t* at, bool littleEndian) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= std::uint32_t(at[littleEndian ? i : 3 - i]) << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void AppendLittleEndian(std::string& file, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

// The scale field: a nonzero finite real number; only its sign matters here.
bool ReadScale(HeaderScanner& scanner, double& scale) {
    SkipSpace(scanner, false);
    const std::string field = NextField(scanner);
    if (field.empty())
        return false;
    char* end = nullptr;
    scale = std::strtod(field.c_str(), &end);
    return end == field.c_str() + field.size() && std::isfinite(scale) && scale != 0.0;
}

} // namespace

bool ParsePfm(const std::string& bytes, Document& document, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != 'F' && bytes[1] != 'f')) {
        error = "not a PFM file (PF or Pf)";
        return false;
    }
    const EColorMode color = bytes[1] == 'F' ? eColorRgb : eColorGray;
    HeaderScanner scanner{bytes, 2};
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    double scale = 0.0;
    if (!ReadBoundedNumber(scanner, false, 1, kMaxDocumentSide, width) ||
        !ReadBoundedNumber(scanner, false, 1, kMaxDocumentSide, height)) {
        error = "bad width or height (1 to " + std::to_string(kMaxDocumentSide) + ")";
        return false;
    }
    if (!ReadScale(scanner, scale)) {
        error = "bad scale (a nonzero real number)";
        return false;
    }
    if (!EndHeader(scanner)) {
        error = "the header does not end with a white-space byte";
        return false;
    }
    const int channels = ColorChannelCount(color);
    if (DocumentBytes(color, 32, std::int32_t(width), std::int32_t(height), channels) == 0) {
        error = "the image is too large";
        return false;
    }
    const std::uint64_t rasterBytes = std::uint64_t(width) * height * std::uint64_t(channels) * 4;
    if (bytes.size() - scanner.position < rasterBytes) {
        error = "the raster is truncated";
        return false;
    }
    document = MakeDocument(color, 32, std::int32_t(width), std::int32_t(height), channels);
    const auto* raster = reinterpret_cast<const std::uint8_t*>(bytes.data()) + scanner.position;
    const std::size_t rowSamples = std::size_t(width) * std::size_t(channels);
    for (std::uint32_t row = 0; row < height; ++row) {
        // The file's first row is the document's bottom row.
        const std::uint8_t* in = raster + std::size_t(height - 1 - row) * rowSamples * 4;
        std::uint8_t* out = document.samples.data() + std::size_t(row) * rowSamples * 4;
        for (std::size_t i = 0; i < rowSamples; ++i) {
            const float value = DecodeFloat(in + 4 * i, scale < 0);
            std::memcpy(out + 4 * i, &value, sizeof value);
        }
    }
    return true;
}

std::string FormatPfm(const Document& document) {
    const int channels = ColorChannelCount(document.color);
    std::string file = std::string(document.color == eColorRgb ? "PF" : "Pf") + "\n" +
                       std::to_string(document.width) + " " + std::to_string(document.height) +
                       "\n-1.0\n";
    for (std::int32_t row = document.height - 1; row >= 0; --row)
        for (std::int32_t x = 0; x < document.width; ++x)
            for (int channel = 0; channel < channels; ++channel)
                AppendLittleEndian(file, static_cast<float>(ReadUnit(document, x, row, channel)));
    return file;
}
