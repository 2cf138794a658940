// The converters: geometry, checks, batch handling, and the choice of the kernel routine
// that converts a batch.
#include "convert/ConvertBuffer.h"

#include "convert/SampleRules.h"
#include "core/Error.h"

#include <algorithm>
#include <cstdint>

namespace {

ExchangeHeader HeaderFor(EPixelFormat format, const ImageSize* size) {
    RequirePointer(size);
    ExchangeHeader header;
    switch (format) {
    case ePixelRGB8:
    case ePixelGray8:
        header.magic = "P6";
        header.maxval = 255;
        break;
    case ePixelRGB16:
    case ePixelGray16:
        header.magic = "P6";
        header.maxval = 65535;
        break;
    case ePixelRGB32:
    case ePixelGray32:
        header.magic = "PF";
        header.maxval = -1;
        break;
    default:
        break;
    }
    header.width = static_cast<std::uint32_t>(size->width);
    header.height = static_cast<std::uint32_t>(size->height);
    return header;
}

bool IsKnownFormat(EPixelFormat format) {
    return IsRGBFormat(format) || IsGrayFormat(format);
}

// ---- Routines --------------------------------------------------------------------------

// The kernel routines of each instantiation: per channel, one gray sample spread over
// three channels, the mean of three channels into one. A null routine marks a shape the
// factories never create; the general loops below take it.
template <typename TDest, typename TSource, int Direction>
struct KernelRoutines;

template <>
struct KernelRoutines<unsigned short, unsigned char, kHostToExchange> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.export8; }
    static ReplicateRoutine Replicate(const ConvertKernels& k) { return k.exportGray8; }
    static AverageRoutine Average(const ConvertKernels&) { return nullptr; }
};
template <>
struct KernelRoutines<unsigned char, unsigned short, kExchangeToHost> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.import8; }
    static ReplicateRoutine Replicate(const ConvertKernels&) { return nullptr; }
    static AverageRoutine Average(const ConvertKernels& k) { return k.importGray8; }
};
template <>
struct KernelRoutines<unsigned short, unsigned short, kHostToExchange> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.export16; }
    static ReplicateRoutine Replicate(const ConvertKernels& k) { return k.exportGray16; }
    static AverageRoutine Average(const ConvertKernels&) { return nullptr; }
};
template <>
struct KernelRoutines<unsigned short, unsigned short, kExchangeToHost> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.import16; }
    static ReplicateRoutine Replicate(const ConvertKernels&) { return nullptr; }
    static AverageRoutine Average(const ConvertKernels& k) { return k.importGray16; }
};
template <>
struct KernelRoutines<float, float, kHostToExchange> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.export32; }
    static ReplicateRoutine Replicate(const ConvertKernels& k) { return k.exportGray32; }
    static AverageRoutine Average(const ConvertKernels&) { return nullptr; }
};
template <>
struct KernelRoutines<float, float, kExchangeToHost> {
    static SampleRoutine PerChannel(const ConvertKernels& k) { return k.import32; }
    static ReplicateRoutine Replicate(const ConvertKernels&) { return nullptr; }
    static AverageRoutine Average(const ConvertKernels& k) { return k.importGray32; }
};

// The general forms, for channel counts other than one and three.
template <typename TDest, int Direction, typename TSource>
void ReplicateAny(void* dest, const void* source, std::uint32_t pixels,
                  std::uint32_t sourceChannels, std::uint32_t destChannels) {
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        const TDest value = StoredSample<Direction>(
            ReadSample<TDest, Direction>(LoadSample<TSource>(source, pixel * sourceChannels)));
        for (std::size_t channel = 0; channel < destChannels; ++channel)
            StoreSample(dest, pixel * destChannels + channel, value);
    }
}

template <typename TDest, int Direction, typename TSource>
void AverageAny(void* dest, const void* source, std::uint32_t pixels, std::uint32_t sourceChannels,
                std::uint32_t destChannels, float weight) {
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        float sum = 0.0f;
        for (std::size_t channel = 0; channel < sourceChannels; ++channel)
            sum += static_cast<float>(ReadSample<TDest, Direction>(
                LoadSample<TSource>(source, pixel * sourceChannels + channel)));
        StoreSample(dest, pixel * destChannels,
                    StoredSample<Direction>(FinishMean<TDest>(sum * weight)));
    }
}

// The two byte ranges share no byte.
inline bool AreApart(const void* first, std::uint32_t firstBytes, const void* second,
                     std::uint32_t secondBytes) {
    const auto a = reinterpret_cast<std::uintptr_t>(first);
    const auto b = reinterpret_cast<std::uintptr_t>(second);
    return a + firstBytes <= b || b + secondBytes <= a;
}

// Within a batch the sample indices only grow, from 0 up to the batch's last one, so
// testing that last index against the buffer's sample count rejects exactly the batches a
// test on every access would reject; it only does so before any sample has moved.
inline void RequireSampleIndex(std::uint32_t highest, std::uint32_t count) {
    Require(highest < count);
}

} // namespace

// ---- Lifecycle and geometry ------------------------------------------------------------

template <typename TDest, typename TSource, int Direction>
CConvertBuffer<TDest, TSource, Direction>::CConvertBuffer(EPixelFormat destFormat,
                                                          EPixelFormat sourceFormat,
                                                          const ConvertKernels& kernels)
    : m_sourceFormat(sourceFormat), m_destFormat(destFormat), m_kernels(&kernels) {
    Reset();
}

template <typename TDest, typename TSource, int Direction>
CConvertBuffer<TDest, TSource, Direction>::~CConvertBuffer() {
    Reset();
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::Configure() {
    Reset();
    const std::uint32_t sourceChannels = GetChannelCount(m_sourceFormat);
    const std::uint32_t destChannels = GetChannelCount(m_destFormat);
    if (sourceChannels == 0 || destChannels == 0)
        return false;
    const std::uint32_t capacity =
        std::min(kMaxPixelsPerBatch, kBufferSamples / std::max(sourceChannels, destChannels));
    if (capacity == 0)
        return false;

    m_sourceChannels = sourceChannels;
    m_destChannels = destChannels;
    m_averageWeight = 1.0f / static_cast<float>(sourceChannels);
    m_pixelCapacity = capacity;
    m_sourceBytesPerPixel = sourceChannels * static_cast<std::uint32_t>(sizeof(TSource));
    m_destBytesPerPixel = destChannels * static_cast<std::uint32_t>(sizeof(TDest));
    m_sourceBufferBytes = capacity * m_sourceBytesPerPixel;
    m_destBufferBytes = capacity * m_destBytesPerPixel;
    return true;
}

template <typename TDest, typename TSource, int Direction>
void CConvertBuffer<TDest, TSource, Direction>::Reset() {
    m_sourceChannels = 0;
    m_destChannels = 0;
    m_pixelCapacity = 0;
    m_sourceBytesPerPixel = 0;
    m_destBytesPerPixel = 0;
    m_sourceBufferBytes = 0;
    m_destBufferBytes = 0;
    m_averageWeight = 0.0f;
    std::fill(m_source, m_source + kBufferSamples, TSource{});
    std::fill(m_dest, m_dest + kBufferSamples, TDest{});
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::IsConfigured() const {
    return m_sourceChannels != 0 && m_destChannels != 0 && m_pixelCapacity != 0 &&
           m_sourceBytesPerPixel != 0 && m_destBytesPerPixel != 0 && m_sourceBufferBytes != 0 &&
           m_destBufferBytes != 0 && m_averageWeight > 0.0f;
}

template <typename TDest, typename TSource, int Direction>
void CConvertBuffer<TDest, TSource, Direction>::RequireConfigured() const {
    Require(IsConfigured());
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetPixelCapacity() {
    RequireConfigured();
    return m_pixelCapacity;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetSourceChannels() {
    RequireConfigured();
    return m_sourceChannels;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetDestChannels() {
    RequireConfigured();
    return m_destChannels;
}

// ---- Batches ---------------------------------------------------------------------------

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::LoadSource(const void* data,
                                                           std::uint32_t availableBytes,
                                                           std::uint32_t pixels) {
    RequirePointer(data);
    Require(availableBytes != 0);
    Require(pixels != 0);
    Require(pixels <= m_pixelCapacity);
    RequireConfigured();
    const std::uint32_t bytes = pixels * m_sourceBytesPerPixel;
    if (bytes > m_sourceBufferBytes || bytes > availableBytes)
        return false;
    std::memcpy(m_source, data, bytes);
    return true;
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::Convert(std::uint32_t pixels) {
    Require(pixels != 0);
    Require(pixels <= m_pixelCapacity);
    RequireConfigured();
    return ConvertInto(m_dest, m_pixelCapacity * m_destChannels, m_source,
                       m_pixelCapacity * m_sourceChannels, pixels);
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::ConvertBatch(const void* source,
                                                             std::uint32_t sourceBytes, void* dest,
                                                             std::uint32_t destBytes,
                                                             std::uint32_t pixels) {
    // As for LoadSource, a source of no bytes is a caller's mistake (a host that handed
    // over a row without its stride), not a batch that merely does not fit.
    RequirePointer(source);
    Require(sourceBytes != 0);
    RequirePointer(dest);
    Require(pixels != 0);
    Require(pixels <= m_pixelCapacity);
    RequireConfigured();
    const std::uint32_t readBytes = pixels * m_sourceBytesPerPixel;
    const std::uint32_t writtenBytes = pixels * m_destBytesPerPixel;
    if (readBytes > sourceBytes || writtenBytes > destBytes)
        return false;
    Require(AreApart(source, readBytes, dest, writtenBytes));
    return ConvertInto(dest, writtenBytes / sizeof(TDest), source, readBytes / sizeof(TSource),
                       pixels);
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::ConvertInto(void* dest, std::uint32_t destSamples,
                                                            const void* source,
                                                            std::uint32_t sourceSamples,
                                                            std::uint32_t pixels) const {
    using Routines = KernelRoutines<TDest, TSource, Direction>;
    if (!IsKnownFormat(m_sourceFormat))
        return false;

    // A gray source is spread over every destination channel; only then does the
    // destination's format matter, because an RGB source either keeps its channels or is
    // averaged into a gray destination. The highest index read and written is tested once
    // per batch (pixels >= 1 here, so pixels - 1 does not wrap).
    const std::uint32_t last = pixels - 1;
    if (IsGrayFormat(m_sourceFormat)) {
        RequireSampleIndex(last * m_sourceChannels, sourceSamples);
        RequireSampleIndex(last * m_destChannels + m_destChannels - 1, destSamples);
        const ReplicateRoutine replicate = Routines::Replicate(*m_kernels);
        if (replicate != nullptr && m_sourceChannels == 1 && m_destChannels == 3)
            replicate(dest, source, pixels);
        else
            ReplicateAny<TDest, Direction, TSource>(dest, source, pixels, m_sourceChannels,
                                                    m_destChannels);
        return true;
    }
    if (!IsKnownFormat(m_destFormat))
        return false;
    if (IsGrayFormat(m_destFormat)) {
        RequireSampleIndex(last * m_sourceChannels + m_sourceChannels - 1, sourceSamples);
        RequireSampleIndex(last * m_destChannels, destSamples);
        const AverageRoutine average = Routines::Average(*m_kernels);
        if (average != nullptr && m_sourceChannels == 3 && m_destChannels == 1)
            average(dest, source, pixels, m_averageWeight);
        else
            AverageAny<TDest, Direction, TSource>(dest, source, pixels, m_sourceChannels,
                                                  m_destChannels, m_averageWeight);
        return true;
    }
    // Per channel: the two sides must have as many channels, and then every sample of the
    // batch is converted on its own, in order.
    Require(m_sourceChannels == m_destChannels);
    const std::uint32_t samples = pixels * m_sourceChannels;
    RequireSampleIndex(samples - 1, sourceSamples);
    RequireSampleIndex(samples - 1, destSamples);
    Routines::PerChannel (*m_kernels)(dest, source, samples);
    return true;
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::GetResult(const void** data, std::uint32_t* bytes,
                                                          std::uint32_t pixels) {
    RequirePointer(data);
    RequirePointer(bytes);
    Require(pixels != 0);
    Require(pixels <= m_pixelCapacity);
    RequireConfigured();
    const std::uint32_t count = pixels * m_destBytesPerPixel;
    if (count > m_destBufferBytes)
        return false;
    *data = m_dest;
    *bytes = count;
    return true;
}

// ---- Headers and buffers ---------------------------------------------------------------

template <typename TDest, typename TSource, int Direction>
ExchangeHeader CConvertBuffer<TDest, TSource, Direction>::GetSourceHeader(const ImageSize* size) {
    return HeaderFor(m_sourceFormat, size);
}

template <typename TDest, typename TSource, int Direction>
ExchangeHeader CConvertBuffer<TDest, TSource, Direction>::GetDestHeader(const ImageSize* size) {
    return HeaderFor(m_destFormat, size);
}

template <typename TDest, typename TSource, int Direction>
const void* CConvertBuffer<TDest, TSource, Direction>::GetSourceBuffer() const {
    return m_source;
}

template <typename TDest, typename TSource, int Direction>
void* CConvertBuffer<TDest, TSource, Direction>::GetSourceBuffer() {
    return m_source;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetSourceBufferSize() {
    return m_sourceBufferBytes;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetSourceBytesPerPixel() {
    return m_sourceBytesPerPixel;
}

template <typename TDest, typename TSource, int Direction>
const void* CConvertBuffer<TDest, TSource, Direction>::GetDestBuffer() const {
    return m_dest;
}

template <typename TDest, typename TSource, int Direction>
void* CConvertBuffer<TDest, TSource, Direction>::GetDestBuffer() {
    return m_dest;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetDestBufferSize() {
    return m_destBufferBytes;
}

template <typename TDest, typename TSource, int Direction>
std::uint32_t CConvertBuffer<TDest, TSource, Direction>::GetDestBytesPerPixel() {
    return m_destBytesPerPixel;
}

template class CConvertBuffer<unsigned short, unsigned char, kHostToExchange>;
template class CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>;
template class CConvertBuffer<unsigned short, unsigned short, kHostToExchange>;
template class CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>;
template class CConvertBuffer<float, float, kHostToExchange>;
template class CConvertBuffer<float, float, kExchangeToHost>;
