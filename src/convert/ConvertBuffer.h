// The converters behind IConvertBuffer: one class template, instantiated for the three
// sample sizes in each direction.
#pragma once

#include "convert/ConvertKernels.h"
#include "convert/IConvertBuffer.h"
#include "convert/PixelFormat.h"

#include <cstdint>

// The direction flag: from the host's samples into the exchange file, or back.
constexpr int kHostToExchange = 0;
constexpr int kExchangeToHost = 1;

// Moves one batch of at most kMaxPixelsPerBatch pixels from the source staging buffer into
// the destination staging buffer, or straight between a caller's two buffers. TDest and
// TSource are the sample types of the two sides. A 16-bit sample on the exchange side (the
// destination of an export, the source of an import) is stored most significant byte first; every
// other sample is in machine order. Both buffers live inside the object, so a converter allocates
// nothing once built. The arithmetic is done by one kernel set, given at construction; every set
// gives the same bytes.
template <typename TDest, typename TSource, int Direction>
class CConvertBuffer final : public IConvertBuffer {
    static_assert(Direction == kHostToExchange || Direction == kExchangeToHost);

public:
    // The destination format comes first. The converter starts unconfigured.
    CConvertBuffer(EPixelFormat destFormat, EPixelFormat sourceFormat,
                   const ConvertKernels& kernels = GetPortableKernels());
    ~CConvertBuffer() override;
    CConvertBuffer(const CConvertBuffer&) = delete;
    CConvertBuffer& operator=(const CConvertBuffer&) = delete;

    bool Configure() override;
    void Reset() override;
    std::uint32_t GetPixelCapacity() override;
    std::uint32_t GetSourceChannels() override;
    std::uint32_t GetDestChannels() override;
    bool LoadSource(const void* data, std::uint32_t availableBytes, std::uint32_t pixels) override;
    bool Convert(std::uint32_t pixels) override;
    bool ConvertBatch(const void* source, std::uint32_t sourceBytes, void* dest,
                      std::uint32_t destBytes, std::uint32_t pixels) override;
    bool GetResult(const void** data, std::uint32_t* bytes, std::uint32_t pixels) override;
    ExchangeHeader GetSourceHeader(const ImageSize* size) override;
    ExchangeHeader GetDestHeader(const ImageSize* size) override;
    const void* GetSourceBuffer() const override;
    void* GetSourceBuffer() override;
    std::uint32_t GetSourceBufferSize() override;
    std::uint32_t GetSourceBytesPerPixel() override;
    const void* GetDestBuffer() const override;
    void* GetDestBuffer() override;
    std::uint32_t GetDestBufferSize() override;
    std::uint32_t GetDestBytesPerPixel() override;

private:
    bool IsConfigured() const;
    void RequireConfigured() const;
    // The routine the formats ask for, between buffers of the given sample counts.
    bool ConvertInto(void* dest, std::uint32_t destSamples, const void* source,
                     std::uint32_t sourceSamples, std::uint32_t pixels) const;

    std::uint32_t m_sourceChannels;
    std::uint32_t m_destChannels;
    std::uint32_t m_pixelCapacity;
    std::uint32_t m_sourceBytesPerPixel;
    std::uint32_t m_destBytesPerPixel;
    std::uint32_t m_sourceBufferBytes;
    std::uint32_t m_destBufferBytes;
    // The staging buffers' sample counts are not kept: they are the capacity times the
    // channel counts. That leaves room for the kernel set, so the object stays as large as
    // it was before it had one.
    float m_averageWeight;
    EPixelFormat m_sourceFormat;
    EPixelFormat m_destFormat;
    const ConvertKernels* m_kernels;
    TSource m_source[kBufferSamples];
    TDest m_dest[kBufferSamples];
};

// The six converters the factories create; their code is in ConvertBuffer.cpp.
extern template class CConvertBuffer<unsigned short, unsigned char, kHostToExchange>;
extern template class CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>;
extern template class CConvertBuffer<unsigned short, unsigned short, kHostToExchange>;
extern template class CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>;
extern template class CConvertBuffer<float, float, kHostToExchange>;
extern template class CConvertBuffer<float, float, kExchangeToHost>;
