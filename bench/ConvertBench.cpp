// One batch of 1000 pixels through Convert, for each of the converters the factories
// create and each kernel set this processor runs, in megapixels per second: the
// conversion's own speed, with both buffers in the cache.
#include "convert/ConvertBuffer.h"
#include "platform/ProcessorFeatures.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

template <typename TConverter>
void ConvertBatch(benchmark::State& state, EPixelFormat dest, EPixelFormat source,
                  const ConvertKernels* kernels) {
    TConverter converter(dest, source, *kernels);
    if (!converter.Configure()) {
        state.SkipWithError("the converter does not configure");
        return;
    }
    // Spread values: the same LCG bytes for every converter.
    unsigned char bytes[12000];
    std::uint32_t value = 12345;
    for (unsigned char& byte : bytes) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(value >> 24);
    }
    if (sizeof bytes >= converter.GetSourceBufferSize())
        std::memcpy(converter.GetSourceBuffer(), bytes, converter.GetSourceBufferSize());
    for (auto _ : state) {
        benchmark::DoNotOptimize(converter.Convert(1000));
        benchmark::ClobberMemory();
    }
    state.counters["MP/s"] =
        benchmark::Counter(1000.0 * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

using Export8 = CConvertBuffer<unsigned short, unsigned char, kHostToExchange>;
using Import8 = CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>;
using Export16 = CConvertBuffer<unsigned short, unsigned short, kHostToExchange>;
using Import16 = CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>;
using Export32 = CConvertBuffer<float, float, kHostToExchange>;
using Import32 = CConvertBuffer<float, float, kExchangeToHost>;

struct Case {
    const char* name;
    void (*run)(benchmark::State&, EPixelFormat, EPixelFormat, const ConvertKernels*);
    EPixelFormat dest, source;
};

const Case kCases[] = {
    {"ExportRGB8", ConvertBatch<Export8>, ePixelRGB16, ePixelRGB8},
    {"ImportRGB8", ConvertBatch<Import8>, ePixelRGB8, ePixelRGB16},
    {"ExportRGB16", ConvertBatch<Export16>, ePixelRGB16, ePixelRGB16},
    {"ImportRGB16", ConvertBatch<Import16>, ePixelRGB16, ePixelRGB16},
    {"ExportRGB32", ConvertBatch<Export32>, ePixelRGB32, ePixelRGB32},
    {"ImportRGB32", ConvertBatch<Import32>, ePixelRGB32, ePixelRGB32},
    {"ExportGray8", ConvertBatch<Export8>, ePixelRGB16, ePixelGray8},
    {"ImportGray8", ConvertBatch<Import8>, ePixelGray8, ePixelRGB16},
    {"ExportGray16", ConvertBatch<Export16>, ePixelRGB16, ePixelGray16},
    {"ImportGray16", ConvertBatch<Import16>, ePixelGray16, ePixelRGB16},
    {"ExportGray32", ConvertBatch<Export32>, ePixelRGB32, ePixelGray32},
    {"ImportGray32", ConvertBatch<Import32>, ePixelGray32, ePixelRGB32},
};

const bool kRegistered = [] {
    const std::uint32_t features = QueryProcessorFeatures();
    for (std::uint32_t index = 0; index < GetKernelSetCount(); ++index) {
        const ConvertKernels& kernels = GetKernelSet(index);
        if (!CanRunKernels(kernels, features))
            continue;
        for (const Case& c : kCases)
            benchmark::RegisterBenchmark(
                (std::string("Convert/") + kernels.name + "/" + c.name).c_str(), c.run, c.dest,
                c.source, &kernels);
    }
    return true;
}();

} // namespace
