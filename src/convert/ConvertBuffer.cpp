// The converters: geometry, checks, batch handling and the per-sample arithmetic of the
// six instantiations.
#include "convert/ConvertBuffer.h"

#include "convert/SampleArithmetic.h"
#include "core/Error.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <type_traits>

// Every product and sum below must be rounded to single precision as it is made, so that
// all targets agree to the bit. x87 arithmetic (the 32-bit compiler's default) keeps excess
// precision; the 32-bit toolchain selects SSE2 instead, and this refuses to build without.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in single precision");

namespace {

// 65535/32768, exact in single precision: the host's 16-bit range ends at 32768.
constexpr float kHostToExchangeScale = 1.999969482421875f;
// The single-precision value nearest 32768/65535 (0.5 + 2^-17).
constexpr float kExchangeToHostScale = 0.50000762939453125f;
static_assert(kHostToExchangeScale == 65535.0f / 32768.0f);
static_assert(kExchangeToHostScale == static_cast<float>(32768.0 / 65535.0));

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

// ---- Per-sample arithmetic ------------------------------------------------------------

// ConvertSample of each instantiation: one sample's value on the destination side from its
// value on the source side (both in machine order).
template <typename TDest, typename TSource, int Direction>
struct SampleRule;

// Both bytes of the result equal the host sample: 0 stays 0, 255 becomes 65535.
template <>
struct SampleRule<unsigned short, unsigned char, kHostToExchange> {
    static unsigned short ConvertSample(unsigned char value) {
        return static_cast<unsigned short>(value * 257u);
    }
};

// The most significant byte; truncation, so 0x00FF gives 0 and v * 257 comes back as v.
template <>
struct SampleRule<unsigned char, unsigned short, kExchangeToHost> {
    static unsigned char ConvertSample(unsigned short value) {
        return static_cast<unsigned char>(value >> 8);
    }
};

// Scaled, clamped, then truncated (not rounded): 16384 gives 32767, 32768 gives 65535.
template <>
struct SampleRule<unsigned short, unsigned short, kHostToExchange> {
    static unsigned short ConvertSample(unsigned short value) {
        const float scaled = static_cast<float>(value) * kHostToExchangeScale;
        return static_cast<unsigned short>(Clamp(scaled, 0.0f, 65535.0f));
    }
};

// Scaled, clamped to the host's 0..32768, then truncated: 65535 gives 32768, 65534 32767.
template <>
struct SampleRule<unsigned short, unsigned short, kExchangeToHost> {
    static unsigned short ConvertSample(unsigned short value) {
        const float scaled = static_cast<float>(value) * kExchangeToHostScale;
        return static_cast<unsigned short>(Clamp(scaled, 0.0f, 32768.0f));
    }
};

// Float samples pass unchanged both ways: values outside 0..1 and infinities included.
template <int Direction>
struct SampleRule<float, float, Direction> {
    static float ConvertSample(float value) { return value; }
};

// A stored source sample as the value ConvertSample takes (an exchange-side 16-bit sample
// changes byte order on the way in), converted.
//
// These helpers stay outside the class and inline: an explicitly instantiated member is
// also emitted out of line, and on 32-bit x86 a float returned from a function passes
// through the x87 stack.
template <typename TDest, int Direction, typename TSource>
inline TDest ReadSample(TSource stored) {
    if constexpr (Direction == kExchangeToHost)
        stored = FromExchangeOrder(stored);
    return SampleRule<TDest, TSource, Direction>::ConvertSample(stored);
}

// A destination value as it is stored: most significant byte first on the exchange side.
template <int Direction, typename TDest>
inline TDest StoredSample(TDest value) {
    if constexpr (Direction == kHostToExchange)
        return ToExchangeOrder(value);
    else
        return value;
}

// The loops below run over whole batches whose sample indices Convert has tested already.
// Each is a plain loop over plain arrays so that the compiler can turn it into vector code;
// the arithmetic per sample, and its order within a pixel, is that of ConvertSample.

template <typename TDest, int Direction, typename TSource>
void ConvertEverySample(TDest* __restrict dest, const TSource* __restrict source,
                        std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
        dest[i] = StoredSample<Direction>(ReadSample<TDest, Direction>(source[i]));
}

template <typename TDest, int Direction, typename TSource>
void ReplicateSamples(TDest* __restrict dest, const TSource* __restrict source,
                      std::uint32_t pixels, std::uint32_t sourceChannels,
                      std::uint32_t destChannels) {
    if (sourceChannels == 1 && destChannels == 3) {
        for (std::uint32_t pixel = 0; pixel < pixels; ++pixel) {
            const TDest value =
                StoredSample<Direction>(ReadSample<TDest, Direction>(source[pixel]));
            dest[3 * pixel] = value;
            dest[3 * pixel + 1] = value;
            dest[3 * pixel + 2] = value;
        }
        return;
    }
    for (std::uint32_t pixel = 0; pixel < pixels; ++pixel) {
        const TDest value =
            StoredSample<Direction>(ReadSample<TDest, Direction>(source[pixel * sourceChannels]));
        for (std::uint32_t channel = 0; channel < destChannels; ++channel)
            dest[pixel * destChannels + channel] = value;
    }
}

// The plain mean of the channels with the single-precision weight (one third is
// 0.333333343), no luminance weighting. A float mean is limited to 0..1 here, and only
// here; an integer one is rounded half away from zero.
template <typename TDest>
inline TDest FinishMean(float mean) {
    if constexpr (std::is_floating_point_v<TDest>)
        return Clamp(mean, 0.0f, 1.0f);
    else
        return RoundSample<TDest>(mean);
}

template <typename TDest, int Direction, typename TSource>
void AverageSamples(TDest* __restrict dest, const TSource* __restrict source, std::uint32_t pixels,
                    std::uint32_t sourceChannels, std::uint32_t destChannels, float weight) {
    if (sourceChannels == 3 && destChannels == 1) {
        // Two passes, each a loop the vector unit can take: every sample's converted value
        // first, then the sums of three in channel order. A batch holds at most
        // kBufferSamples source samples.
        float converted[kBufferSamples];
        const std::size_t samples = std::size_t(pixels) * 3;
        for (std::size_t i = 0; i < samples; ++i)
            converted[i] = static_cast<float>(ReadSample<TDest, Direction>(source[i]));
        for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
            float sum = 0.0f;
            sum += converted[3 * pixel];
            sum += converted[3 * pixel + 1];
            sum += converted[3 * pixel + 2];
            dest[pixel] = StoredSample<Direction>(FinishMean<TDest>(sum * weight));
        }
        return;
    }
    for (std::uint32_t pixel = 0; pixel < pixels; ++pixel) {
        float sum = 0.0f;
        for (std::uint32_t channel = 0; channel < sourceChannels; ++channel)
            sum += static_cast<float>(
                ReadSample<TDest, Direction>(source[pixel * sourceChannels + channel]));
        dest[pixel * destChannels] = StoredSample<Direction>(FinishMean<TDest>(sum * weight));
    }
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
                                                          EPixelFormat sourceFormat)
    : m_sourceFormat(sourceFormat), m_destFormat(destFormat) {
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
    m_sourceSamples = capacity * sourceChannels;
    m_destSamples = capacity * destChannels;
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
    m_sourceSamples = 0;
    m_destSamples = 0;
    m_averageWeight = 0.0f;
    std::fill(m_source, m_source + kBufferSamples, TSource{});
    std::fill(m_dest, m_dest + kBufferSamples, TDest{});
}

template <typename TDest, typename TSource, int Direction>
bool CConvertBuffer<TDest, TSource, Direction>::IsConfigured() const {
    return m_sourceChannels != 0 && m_destChannels != 0 && m_pixelCapacity != 0 &&
           m_sourceBytesPerPixel != 0 && m_destBytesPerPixel != 0 && m_sourceBufferBytes != 0 &&
           m_destBufferBytes != 0 && m_sourceSamples != 0 && m_destSamples != 0 &&
           m_averageWeight > 0.0f;
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
    if (!IsKnownFormat(m_sourceFormat))
        return false;

    // A gray source is spread over every destination channel; only then does the
    // destination's format matter, because an RGB source either keeps its channels or is
    // averaged into a gray destination. The highest index read and written is tested once
    // per batch (pixels >= 1 here, so pixels - 1 does not wrap).
    const std::uint32_t last = pixels - 1;
    if (IsGrayFormat(m_sourceFormat)) {
        RequireSampleIndex(last * m_sourceChannels, m_sourceSamples);
        RequireSampleIndex(last * m_destChannels + m_destChannels - 1, m_destSamples);
        ReplicateSamples<TDest, Direction>(m_dest, m_source, pixels, m_sourceChannels,
                                           m_destChannels);
        return true;
    }
    if (!IsKnownFormat(m_destFormat))
        return false;
    if (IsGrayFormat(m_destFormat)) {
        RequireSampleIndex(last * m_sourceChannels + m_sourceChannels - 1, m_sourceSamples);
        RequireSampleIndex(last * m_destChannels, m_destSamples);
        AverageSamples<TDest, Direction>(m_dest, m_source, pixels, m_sourceChannels, m_destChannels,
                                         m_averageWeight);
        return true;
    }
    // Per channel: the two sides must have as many channels, and then every sample of the
    // batch is converted on its own, in order.
    Require(m_sourceChannels == m_destChannels);
    const std::uint32_t samples = pixels * m_sourceChannels;
    RequireSampleIndex(samples - 1, m_sourceSamples);
    RequireSampleIndex(samples - 1, m_destSamples);
    ConvertEverySample<TDest, Direction>(m_dest, m_source, samples);
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
