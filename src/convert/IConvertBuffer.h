// The interface through which the export and import loops move batches of pixels
// between host samples and exchange samples.
//
// Operations marked "guarded" throw EError on a converter that is not configured.
#pragma once

#include "convert/ExchangeHeader.h"

#include <cstdint>

constexpr std::uint32_t kBufferSamples = 3000;
constexpr std::uint32_t kMaxPixelsPerBatch = 1000;

class IConvertBuffer {
public:
    virtual ~IConvertBuffer() = default;

    // Computes the geometry from the two formats; false when a format has no channels.
    virtual bool Configure() = 0;
    // Back to the unconfigured state with both staging buffers zero-filled.
    virtual void Reset() = 0;

    virtual std::uint32_t GetPixelCapacity() = 0;  // guarded
    virtual std::uint32_t GetSourceChannels() = 0; // guarded
    virtual std::uint32_t GetDestChannels() = 0;   // guarded

    // Copies `pixels` source pixels from `data`, of which `availableBytes` may be read.
    // False when they do not fit; guarded.
    virtual bool LoadSource(const void* data, std::uint32_t availableBytes,
                            std::uint32_t pixels) = 0;
    // Converts `pixels` pixels from the source buffer into the destination buffer; false
    // for a format outside the supported ones; guarded.
    virtual bool Convert(std::uint32_t pixels) = 0;
    // Converts `pixels` pixels straight from `source`, of which `sourceBytes` may be read,
    // into `dest`, of which `destBytes` may be written, without the staging buffers (the
    // two ranges must not overlap). False, with nothing written, when the batch does not
    // fit either side or for a format outside the supported ones; guarded, and like
    // LoadSource it throws for a `sourceBytes` of 0.
    virtual bool ConvertBatch(const void* source, std::uint32_t sourceBytes, void* dest,
                              std::uint32_t destBytes, std::uint32_t pixels) = 0;
    // Hands out the converted bytes of `pixels` pixels, which stay inside the converter;
    // guarded.
    virtual bool GetResult(const void** data, std::uint32_t* bytes, std::uint32_t pixels) = 0;

    virtual ExchangeHeader GetSourceHeader(const ImageSize* size) = 0;
    virtual ExchangeHeader GetDestHeader(const ImageSize* size) = 0;

    // Not guarded: before Configure they return the buffers' addresses and sizes of 0.
    virtual const void* GetSourceBuffer() const = 0;
    virtual void* GetSourceBuffer() = 0;
    virtual std::uint32_t GetSourceBufferSize() = 0;
    virtual std::uint32_t GetSourceBytesPerPixel() = 0;
    virtual const void* GetDestBuffer() const = 0;
    virtual void* GetDestBuffer() = 0;
    virtual std::uint32_t GetDestBufferSize() = 0;
    virtual std::uint32_t GetDestBytesPerPixel() = 0;
};
