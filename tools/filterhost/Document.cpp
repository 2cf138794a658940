// The test host's document: shape checks, sample access and depth mapping.
#include "Document.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

int ColorChannelCount(EColorMode color) {
    return color == eColorRgb ? 3 : 1;
}

int BytesPerSample(int depth) {
    return depth / 8;
}

std::uint64_t DocumentBytes(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                            int channels) {
    if (depth != 8 && depth != 16 && depth != 32)
        return 0;
    if (width < 1 || height < 1 || width > kMaxDocumentSide || height > kMaxDocumentSide)
        return 0;
    if (channels < ColorChannelCount(color) || channels > 64)
        return 0;
    // Each factor is below 2^21, 2^21, 2^6 and 2^2: the product cannot overflow 64 bits.
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) *
                                std::uint64_t(channels) * std::uint64_t(BytesPerSample(depth));
    return bytes <= kMaxDocumentBytes ? bytes : 0;
}

Document MakeDocument(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                      int channels) {
    const std::uint64_t bytes = DocumentBytes(color, depth, width, height, channels);
    if (bytes == 0 || bytes > std::uint64_t(SIZE_MAX))
        throw std::bad_alloc();
    Document document;
    document.color = color;
    document.depth = depth;
    document.width = width;
    document.height = height;
    document.channels = channels;
    document.samples.assign(static_cast<std::size_t>(bytes), 0);
    for (int channel = ColorChannelCount(color); channel < channels; ++channel)
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                WriteUnit(document, x, y, channel, 1.0);
    return document;
}

std::size_t SampleOffset(const Document& document, std::int32_t x, std::int32_t y, int channel) {
    const std::size_t pixel = std::size_t(y) * std::size_t(document.width) + std::size_t(x);
    return (pixel * std::size_t(document.channels) + std::size_t(channel)) *
           std::size_t(BytesPerSample(document.depth));
}

double ReadUnit(const Document& document, std::int32_t x, std::int32_t y, int channel) {
    const std::uint8_t* at = document.samples.data() + SampleOffset(document, x, y, channel);
    if (document.depth == 8)
        return *at / 255.0;
    if (document.depth == 16) {
        std::uint16_t value;
        std::memcpy(&value, at, sizeof value);
        return std::min(value, kHost16Max) / double(kHost16Max);
    }
    float value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteUnit(Document& document, std::int32_t x, std::int32_t y, int channel, double value) {
    std::uint8_t* at = document.samples.data() + SampleOffset(document, x, y, channel);
    if (document.depth == 32) {
        const float single = static_cast<float>(value);
        std::memcpy(at, &single, sizeof single);
        return;
    }
    // NaN compares false everywhere; std::max picks 0 for it.
    const double unit = std::min(1.0, std::max(0.0, value));
    if (document.depth == 8) {
        *at = static_cast<std::uint8_t>(std::lround(unit * 255.0));
        return;
    }
    const auto sample = static_cast<std::uint16_t>(std::lround(unit * kHost16Max));
    std::memcpy(at, &sample, sizeof sample);
}

std::uint16_t FileToHost16(std::uint32_t value, std::uint32_t maxval) {
    if (maxval == 0)
        return 0;
    value = std::min(value, maxval);
    return static_cast<std::uint16_t>((std::uint64_t(value) * kHost16Max + maxval / 2) / maxval);
}

std::uint32_t HostToFile16(std::uint32_t value, std::uint32_t maxval) {
    value = std::min<std::uint32_t>(value, kHost16Max);
    return static_cast<std::uint32_t>((std::uint64_t(value) * maxval + kHost16Max / 2) /
                                      kHost16Max);
}

void ConvertDepth(Document& document, int depth) {
    if (depth == document.depth)
        return;
    Document converted =
        MakeDocument(document.color, depth, document.width, document.height, document.channels);
    for (std::int32_t y = 0; y < document.height; ++y)
        for (std::int32_t x = 0; x < document.width; ++x)
            for (int channel = 0; channel < document.channels; ++channel)
                WriteUnit(converted, x, y, channel, ReadUnit(document, x, y, channel));
    document = std::move(converted);
}

void WidenChannels(Document& document, int channels) {
    if (channels <= document.channels)
        return;
    Document widened =
        MakeDocument(document.color, document.depth, document.width, document.height, channels);
    const std::size_t bytes = std::size_t(document.channels) * BytesPerSample(document.depth);
    for (std::int32_t y = 0; y < document.height; ++y)
        for (std::int32_t x = 0; x < document.width; ++x)
            std::memcpy(widened.samples.data() + SampleOffset(widened, x, y, 0),
                        document.samples.data() + SampleOffset(document, x, y, 0), bytes);
    document = std::move(widened);
}
