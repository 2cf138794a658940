// One batch of 1000 pixels through Convert, for each of the converters the factories
// create, in megapixels per second: the conversion's own speed, with both buffers in the
// cache.
#include "convert/ConvertBuffer.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

template <typename TConverter>
void ConvertBatch(benchmark::State& state, EPixelFormat dest, EPixelFormat source) {
    TConverter converter(dest, source);
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

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("Convert/ExportRGB8", ConvertBatch<Export8>, ePixelRGB16,
                                 ePixelRGB8);
    benchmark::RegisterBenchmark("Convert/ImportRGB8", ConvertBatch<Import8>, ePixelRGB8,
                                 ePixelRGB16);
    benchmark::RegisterBenchmark("Convert/ExportRGB16", ConvertBatch<Export16>, ePixelRGB16,
                                 ePixelRGB16);
    benchmark::RegisterBenchmark("Convert/ImportRGB16", ConvertBatch<Import16>, ePixelRGB16,
                                 ePixelRGB16);
    benchmark::RegisterBenchmark("Convert/ExportRGB32", ConvertBatch<Export32>, ePixelRGB32,
                                 ePixelRGB32);
    benchmark::RegisterBenchmark("Convert/ImportRGB32", ConvertBatch<Import32>, ePixelRGB32,
                                 ePixelRGB32);
    benchmark::RegisterBenchmark("Convert/ExportGray8", ConvertBatch<Export8>, ePixelRGB16,
                                 ePixelGray8);
    benchmark::RegisterBenchmark("Convert/ImportGray8", ConvertBatch<Import8>, ePixelGray8,
                                 ePixelRGB16);
    benchmark::RegisterBenchmark("Convert/ExportGray16", ConvertBatch<Export16>, ePixelRGB16,
                                 ePixelGray16);
    benchmark::RegisterBenchmark("Convert/ImportGray16", ConvertBatch<Import16>, ePixelGray16,
                                 ePixelRGB16);
    benchmark::RegisterBenchmark("Convert/ExportGray32", ConvertBatch<Export32>, ePixelRGB32,
                                 ePixelGray32);
    benchmark::RegisterBenchmark("Convert/ImportGray32", ConvertBatch<Import32>, ePixelGray32,
                                 ePixelRGB32);
    return true;
}();

} // namespace
