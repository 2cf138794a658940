// Helpers for the converter tests: samples as the bytes a host or an exchange file holds,
// and whole sample sequences pushed through a converter batch by batch.
#pragma once

#include "convert/IConvertBuffer.h"

#include <cstdint>
#include <cstring>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// 16-bit exchange samples, written out byte by byte, most significant first.
inline Bytes ExchangeBytes(const std::vector<std::uint16_t>& values) {
    Bytes bytes;
    for (std::uint16_t value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    return bytes;
}

inline std::vector<std::uint16_t> ExchangeValues(const Bytes& bytes) {
    std::vector<std::uint16_t> values;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        values.push_back(static_cast<std::uint16_t>((bytes[i] << 8) | bytes[i + 1]));
    return values;
}

// Host samples (and float exchange samples) in machine order.
template <typename T>
Bytes MachineBytes(const std::vector<T>& values) {
    Bytes bytes(values.size() * sizeof(T));
    if (!bytes.empty())
        std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

template <typename T>
std::vector<T> MachineValues(const Bytes& bytes) {
    std::vector<T> values(bytes.size() / sizeof(T));
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
}

// Configures the converter and moves `source` (whole pixels) through it in batches of at
// most its capacity, the way the transfer loops do. Returns the destination bytes of every
// batch, concatenated.
inline Bytes ConvertAll(IConvertBuffer& converter, const Bytes& source) {
    if (!converter.Configure())
        return {};
    const std::uint32_t sourcePixelBytes = converter.GetSourceBytesPerPixel();
    const std::uint32_t totalPixels = static_cast<std::uint32_t>(source.size() / sourcePixelBytes);
    Bytes result;
    for (std::uint32_t first = 0; first < totalPixels;) {
        std::uint32_t pixels = totalPixels - first;
        if (pixels > converter.GetPixelCapacity())
            pixels = converter.GetPixelCapacity();
        const std::uint8_t* data = source.data() + std::size_t{first} * sourcePixelBytes;
        if (!converter.LoadSource(data, pixels * sourcePixelBytes, pixels) ||
            !converter.Convert(pixels))
            return {};
        const void* out = nullptr;
        std::uint32_t outBytes = 0;
        if (!converter.GetResult(&out, &outBytes, pixels))
            return {};
        const auto* begin = static_cast<const std::uint8_t*>(out);
        result.insert(result.end(), begin, begin + outBytes);
        first += pixels;
    }
    return result;
}
