// Helpers for the converter tests: samples as the bytes a host or an exchange file holds,
// and whole sample sequences pushed through a converter batch by batch.
#pragma once

#include "convert/ConvertKernels.h"
#include "convert/IConvertBuffer.h"
#include "platform/ProcessorFeatures.h"

#include <algorithm>
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

// Every kernel set of this build that this processor runs, the portable one first.
inline std::vector<const ConvertKernels*> RunnableKernels() {
    std::vector<const ConvertKernels*> sets;
    const std::uint32_t features = QueryProcessorFeatures();
    for (std::uint32_t index = 0; index < GetKernelSetCount(); ++index)
        if (CanRunKernels(GetKernelSet(index), features))
            sets.push_back(&GetKernelSet(index));
    return sets;
}

// Configures the converter and moves `source` (whole pixels) through it in batches of at
// most its capacity, through the staging buffers. Each batch also goes straight between
// two buffers of the caller's, at odd addresses as a host's may be, and must give the same
// bytes. Returns the destination bytes of every batch, concatenated.
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
        const Bytes staged(begin, begin + outBytes);
        Bytes oddSource(1 + pixels * sourcePixelBytes), oddDest(1 + outBytes + 1, 0xA5);
        std::memcpy(oddSource.data() + 1, data, pixels * sourcePixelBytes);
        if (!converter.ConvertBatch(oddSource.data() + 1, pixels * sourcePixelBytes,
                                    oddDest.data() + 1, outBytes, pixels) ||
            !std::equal(staged.begin(), staged.end(), oddDest.begin() + 1) ||
            oddDest.back() != 0xA5)
            return {};
        result.insert(result.end(), staged.begin(), staged.end());
        first += pixels;
    }
    return result;
}
