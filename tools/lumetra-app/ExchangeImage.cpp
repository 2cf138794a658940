// Reading and writing the exchange image.
#include "ExchangeImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kMaxTokenBytes = 32;

std::size_t SampleBytes(const ExchangeImage& image) {
    return IsFloatImage(image) ? 4 : 2;
}

} // namespace

bool ReadHeaderToken(const std::string& bytes, std::size_t& position, std::string& token) {
    token.clear();
    while (position < bytes.size()) {
        const char c = bytes[position++];
        if (c == '\n' || c == ' ')
            return true;
        if (token.size() == kMaxTokenBytes)
            return false;
        token.push_back(c);
    }
    return false;
}

std::int32_t TokenValue(const std::string& token) {
    std::size_t i = 0;
    while (i < token.size() && (token[i] == ' ' || (token[i] >= '\t' && token[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '-' || token[i] == '+'))
        negative = token[i++] == '-';
    std::int64_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (token[i] - '0'), std::int64_t(1) << 32);
    value = negative ? -value : value;
    value = std::max<std::int64_t>(value, std::numeric_limits<std::int32_t>::min());
    value = std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(value);
}

bool ParseExchangeImage(const std::string& bytes, ExchangeImage& image, std::string& error) {
    image = ExchangeImage{};
    std::size_t position = 0;
    std::string tokens[4];
    for (std::string& token : tokens)
        if (!ReadHeaderToken(bytes, position, token)) {
            error = "the header ends early or holds a field longer than 32 bytes";
            return false;
        }
    ExchangeHeader& header = image.header;
    header.magic = tokens[0];
    header.width = std::max(TokenValue(tokens[1]), 0);
    header.height = std::max(TokenValue(tokens[2]), 0);
    header.maxval = TokenValue(tokens[3]);
    if (header.magic != "P6" && header.magic != "PF") {
        error = "not an exchange image: the magic is not P6 or PF";
        return false;
    }
    const std::int32_t expected = header.magic == "P6" ? 65535 : -1;
    if (header.maxval != expected) {
        error = "the fourth header value is " + std::to_string(header.maxval) + ", not " +
                std::to_string(expected);
        return false;
    }
    if (header.width == 0 || header.height == 0) {
        error = "the image has no pixels";
        return false;
    }
    // Compare by division: width * height * 12 can exceed 64 bits.
    const std::uint64_t pixelBytes = 3 * SampleBytes(image);
    const std::uint64_t available = (bytes.size() - position) / pixelBytes;
    if (std::uint64_t(header.width) > available / std::uint64_t(header.height)) {
        error = "the raster is shorter than the header says";
        return false;
    }
    const std::uint64_t rasterBytes = std::uint64_t(header.width) * header.height * pixelBytes;
    image.raster = bytes.substr(position, static_cast<std::size_t>(rasterBytes));
    return true;
}

std::string FormatExchangeHeader(const ExchangeHeader& header) {
    return header.magic + "\n" + std::to_string(header.width) + "\n" +
           std::to_string(header.height) + "\n" + std::to_string(header.maxval) + "\n";
}

bool IsFloatImage(const ExchangeImage& image) {
    return image.header.magic == "PF";
}

std::size_t SampleCount(const ExchangeImage& image) {
    return image.raster.size() / SampleBytes(image);
}

double ReadSample(const ExchangeImage& image, std::size_t index) {
    const auto* at = reinterpret_cast<const unsigned char*>(image.raster.data());
    if (!IsFloatImage(image))
        return (unsigned(at[2 * index]) << 8) | at[2 * index + 1];
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= std::uint32_t(at[4 * index + i]) << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteSample(ExchangeImage& image, std::size_t index, double value) {
    if (!IsFloatImage(image)) {
        // NaN fails both comparisons and lands on 0.
        const double clamped = value > 0.0 ? std::min(value, 65535.0) : 0.0;
        const auto sample = static_cast<std::uint32_t>(std::lround(clamped));
        image.raster[2 * index] = static_cast<char>(sample >> 8);
        image.raster[2 * index + 1] = static_cast<char>(sample & 0xFF);
        return;
    }
    const float single = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &single, sizeof bits);
    for (int i = 0; i < 4; ++i)
        image.raster[4 * index + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}
