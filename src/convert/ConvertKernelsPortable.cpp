// The portable kernel set: plain loops over the batch, exact on every processor. The
// compiler turns them into vector code where it can (SSE2 on x86).
#include "convert/ConvertKernels.h"

#include "convert/SampleRules.h"

#include <algorithm>

namespace {

// Each loop is a plain loop so that the compiler can make vector code of it; the
// arithmetic per sample, and its order within a pixel, is that of ConvertSample.

template <typename TDest, typename TSource, int Direction>
void ConvertEverySample(void* dest, const void* source, std::uint32_t samples) {
    for (std::size_t i = 0; i < samples; ++i)
        StoreSample(
            dest, i,
            StoredSample<Direction>(ReadSample<TDest, Direction>(LoadSample<TSource>(source, i))));
}

template <typename TDest, typename TSource, int Direction>
void ReplicateSamples(void* dest, const void* source, std::uint32_t pixels) {
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        const TDest value = StoredSample<Direction>(
            ReadSample<TDest, Direction>(LoadSample<TSource>(source, pixel)));
        StoreSample(dest, 3 * pixel, value);
        StoreSample(dest, 3 * pixel + 1, value);
        StoreSample(dest, 3 * pixel + 2, value);
    }
}

// Two passes, each a loop the vector unit can take: every sample's converted value first,
// then the sums of three in channel order. A batch holds at most kBufferSamples source
// samples; longer ones go in parts.
template <typename TDest, typename TSource, int Direction>
void AverageSamples(void* dest, const void* source, std::uint32_t pixels, float weight) {
    constexpr std::uint32_t kPartPixels = kBufferSamples / 3;
    float converted[kBufferSamples];
    for (std::size_t first = 0; first < pixels; first += kPartPixels) {
        const std::size_t count = std::min<std::size_t>(kPartPixels, pixels - first);
        for (std::size_t i = 0; i < 3 * count; ++i)
            converted[i] = static_cast<float>(
                ReadSample<TDest, Direction>(LoadSample<TSource>(source, 3 * first + i)));
        for (std::size_t pixel = 0; pixel < count; ++pixel) {
            float sum = 0.0f;
            sum += converted[3 * pixel];
            sum += converted[3 * pixel + 1];
            sum += converted[3 * pixel + 2];
            StoreSample(dest, first + pixel,
                        StoredSample<Direction>(FinishMean<TDest>(sum * weight)));
        }
    }
}

// Float samples pass unchanged per channel: the batch is copied.
void CopyFloats(void* dest, const void* source, std::uint32_t samples) {
    std::memcpy(dest, source, std::size_t{samples} * sizeof(float));
}

using U8 = unsigned char;
using U16 = unsigned short;

const ConvertKernels kPortable = {
    "portable",
    0,
    ConvertEverySample<U16, U8, kHostToExchange>,
    ReplicateSamples<U16, U8, kHostToExchange>,
    ConvertEverySample<U16, U16, kHostToExchange>,
    ReplicateSamples<U16, U16, kHostToExchange>,
    CopyFloats,
    ReplicateSamples<float, float, kHostToExchange>,
    ConvertEverySample<U8, U16, kExchangeToHost>,
    AverageSamples<U8, U16, kExchangeToHost>,
    ConvertEverySample<U16, U16, kExchangeToHost>,
    AverageSamples<U16, U16, kExchangeToHost>,
    CopyFloats,
    AverageSamples<float, float, kExchangeToHost>,
};

} // namespace

const ConvertKernels& GetPortableKernels() {
    return kPortable;
}
