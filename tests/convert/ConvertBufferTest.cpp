// The converters' geometry, guards, batch limits, headers and the worked sample values.
#include "convert/ConvertBuffer.h"

#include "convert/SampleArithmetic.h"
#include "core/Error.h"

#include "ConvertTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using Export8 = CConvertBuffer<unsigned short, unsigned char, kHostToExchange>;
using Import8 = CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>;
using Export16 = CConvertBuffer<unsigned short, unsigned short, kHostToExchange>;
using Import16 = CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>;
using Export32 = CConvertBuffer<float, float, kHostToExchange>;
using Import32 = CConvertBuffer<float, float, kExchangeToHost>;

using Maker = std::unique_ptr<IConvertBuffer> (*)(EPixelFormat dest, EPixelFormat source);

template <typename TConverter>
std::unique_ptr<IConvertBuffer> Make(EPixelFormat dest, EPixelFormat source) {
    return std::make_unique<TConverter>(dest, source);
}

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// ---- Geometry and lifecycle ------------------------------------------------------------

struct GeometryCase {
    const char* name;
    Maker make;
    EPixelFormat dest;
    EPixelFormat source;
    std::uint32_t sourceChannels;
    std::uint32_t destChannels;
    std::uint32_t sourceBytesPerPixel;
    std::uint32_t destBytesPerPixel;
};

const GeometryCase kGeometry[] = {
    {"Export8Rgb", Make<Export8>, ePixelRGB16, ePixelRGB8, 3, 3, 3, 6},
    {"Export8Gray", Make<Export8>, ePixelRGB16, ePixelGray8, 1, 3, 1, 6},
    {"Import8Rgb", Make<Import8>, ePixelRGB8, ePixelRGB16, 3, 3, 6, 3},
    {"Import8Gray", Make<Import8>, ePixelGray8, ePixelRGB16, 3, 1, 6, 1},
    {"Export16Rgb", Make<Export16>, ePixelRGB16, ePixelRGB16, 3, 3, 6, 6},
    {"Export16Gray", Make<Export16>, ePixelRGB16, ePixelGray16, 1, 3, 2, 6},
    {"Import16Rgb", Make<Import16>, ePixelRGB16, ePixelRGB16, 3, 3, 6, 6},
    {"Import16Gray", Make<Import16>, ePixelGray16, ePixelRGB16, 3, 1, 6, 2},
    {"Export32Rgb", Make<Export32>, ePixelRGB32, ePixelRGB32, 3, 3, 12, 12},
    {"Export32Gray", Make<Export32>, ePixelRGB32, ePixelGray32, 1, 3, 4, 12},
    {"Import32Rgb", Make<Import32>, ePixelRGB32, ePixelRGB32, 3, 3, 12, 12},
    {"Import32Gray", Make<Import32>, ePixelGray32, ePixelRGB32, 3, 1, 12, 4},
    // Never built by the factories: one channel on both sides is still 1000 pixels.
    {"Export16GrayToGray", Make<Export16>, ePixelGray16, ePixelGray16, 1, 1, 2, 2},
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << c.name;
}

class ConvertGeometryTest : public testing::TestWithParam<GeometryCase> {};

void ExpectUnconfigured(IConvertBuffer& converter) {
    const std::uint8_t data[12] = {};
    const void* out = nullptr;
    std::uint32_t outBytes = 0;
    EXPECT_THROW(converter.GetPixelCapacity(), EError);
    EXPECT_THROW(converter.GetSourceChannels(), EError);
    EXPECT_THROW(converter.GetDestChannels(), EError);
    EXPECT_THROW(converter.LoadSource(data, sizeof data, 1), EError);
    EXPECT_THROW(converter.Convert(1), EError);
    EXPECT_THROW(converter.GetResult(&out, &outBytes, 1), EError);
    EXPECT_NE(converter.GetSourceBuffer(), nullptr);
    EXPECT_NE(converter.GetDestBuffer(), nullptr);
    EXPECT_EQ(converter.GetSourceBufferSize(), 0u);
    EXPECT_EQ(converter.GetSourceBytesPerPixel(), 0u);
    EXPECT_EQ(converter.GetDestBufferSize(), 0u);
    EXPECT_EQ(converter.GetDestBytesPerPixel(), 0u);
}

TEST_P(ConvertGeometryTest, ConfigureComputesTheGeometry) {
    const GeometryCase& c = GetParam();
    auto converter = c.make(c.dest, c.source);
    {
        SCOPED_TRACE("after construction");
        ExpectUnconfigured(*converter);
    }
    ASSERT_TRUE(converter->Configure());
    EXPECT_EQ(converter->GetPixelCapacity(), 1000u);
    EXPECT_EQ(converter->GetSourceChannels(), c.sourceChannels);
    EXPECT_EQ(converter->GetDestChannels(), c.destChannels);
    EXPECT_EQ(converter->GetSourceBytesPerPixel(), c.sourceBytesPerPixel);
    EXPECT_EQ(converter->GetDestBytesPerPixel(), c.destBytesPerPixel);
    EXPECT_EQ(converter->GetSourceBufferSize(), 1000 * c.sourceBytesPerPixel);
    EXPECT_EQ(converter->GetDestBufferSize(), 1000 * c.destBytesPerPixel);
    // Both staging buffers hold exactly one full batch.
    const void* const constSource = std::as_const(*converter).GetSourceBuffer();
    const void* const constDest = std::as_const(*converter).GetDestBuffer();
    EXPECT_EQ(constSource, converter->GetSourceBuffer());
    EXPECT_EQ(constDest, converter->GetDestBuffer());

    converter->Reset();
    SCOPED_TRACE("after Reset");
    ExpectUnconfigured(*converter);
}

INSTANTIATE_TEST_SUITE_P(SixInstantiations, ConvertGeometryTest, testing::ValuesIn(kGeometry),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ConvertBuffer, ResetZeroesBothBuffers) {
    Export32 converter(ePixelRGB32, ePixelRGB32);
    ASSERT_TRUE(converter.Configure());
    const std::vector<float> samples(3000, -7.5f);
    ASSERT_TRUE(converter.LoadSource(samples.data(), 12000, 1000));
    ASSERT_TRUE(converter.Convert(1000));
    converter.Reset();
    const auto* source = static_cast<const float*>(converter.GetSourceBuffer());
    const auto* dest = static_cast<const float*>(converter.GetDestBuffer());
    for (std::uint32_t i = 0; i < kBufferSamples; ++i) {
        ASSERT_EQ(source[i], 0.0f) << i;
        ASSERT_EQ(dest[i], 0.0f) << i;
    }
}

TEST(ConvertBuffer, FormatsWithoutChannelsDoNotConfigure) {
    Import16 seven(static_cast<EPixelFormat>(7), ePixelRGB16);
    EXPECT_FALSE(seven.Configure());
    ExpectUnconfigured(seven);

    Export16 none(ePixelRGB16, ePixelNone);
    EXPECT_THROW(none.Configure(), EError);
    ExpectUnconfigured(none);
}

// ---- Batch limits ----------------------------------------------------------------------

TEST(ConvertBuffer, LoadSourceAtAndBeyondCapacity) {
    Export16 converter(ePixelRGB16, ePixelRGB16);
    ASSERT_TRUE(converter.Configure());
    std::vector<std::uint8_t> data(6006, 0xAB);

    EXPECT_TRUE(converter.LoadSource(data.data(), 6000, 1000));
    EXPECT_EQ(std::memcmp(converter.GetSourceBuffer(), data.data(), 6000), 0);
    EXPECT_THROW(converter.LoadSource(data.data(), 6006, 1001), EError);

    // One byte short: refused, and the buffer keeps the previous batch.
    std::fill(data.begin(), data.end(), 0x11);
    EXPECT_FALSE(converter.LoadSource(data.data(), 5999, 1000));
    EXPECT_EQ(static_cast<const std::uint8_t*>(converter.GetSourceBuffer())[0], 0xAB);

    EXPECT_THROW(converter.LoadSource(nullptr, 6, 1), EError);
    EXPECT_THROW(converter.LoadSource(data.data(), 0, 1), EError);
    EXPECT_THROW(converter.LoadSource(data.data(), 6, 0), EError);
}

TEST(ConvertBuffer, ConvertAndGetResultAtAndBeyondCapacity) {
    Import8 converter(ePixelGray8, ePixelRGB16);
    ASSERT_TRUE(converter.Configure());
    EXPECT_TRUE(converter.Convert(1000));
    EXPECT_THROW(converter.Convert(1001), EError);
    EXPECT_THROW(converter.Convert(0), EError);

    const void* out = nullptr;
    std::uint32_t outBytes = 0;
    ASSERT_TRUE(converter.GetResult(&out, &outBytes, 1000));
    EXPECT_EQ(out, converter.GetDestBuffer());
    EXPECT_EQ(outBytes, 1000u);
    EXPECT_THROW(converter.GetResult(&out, &outBytes, 1001), EError);
    EXPECT_THROW(converter.GetResult(&out, &outBytes, 0), EError);
    EXPECT_THROW(converter.GetResult(nullptr, &outBytes, 1), EError);
    EXPECT_THROW(converter.GetResult(&out, nullptr, 1), EError);
}

// ---- Headers ---------------------------------------------------------------------------

TEST(ConvertBuffer, HeadersFollowTheFormats) {
    const ImageSize size{480, 640};
    struct {
        EPixelFormat format;
        const char* magic;
        std::int32_t maxval;
    } const cases[] = {
        {ePixelRGB8, "P6", 255},
        {ePixelGray8, "P6", 255},
        {ePixelRGB16, "P6", 65535},
        {ePixelGray16, "P6", 65535},
        {ePixelRGB32, "PF", -1},
        {ePixelGray32, "PF", -1},
        {static_cast<EPixelFormat>(7), "", 0},
    };
    for (const auto& c : cases) {
        // The export's destination and the import's source are the exchange side.
        Import16 converter(c.format, c.format);
        for (const ExchangeHeader& header :
             {converter.GetSourceHeader(&size), converter.GetDestHeader(&size)}) {
            EXPECT_EQ(header.magic, c.magic) << c.format;
            EXPECT_EQ(header.maxval, c.maxval) << c.format;
            EXPECT_EQ(header.width, 640u);
            EXPECT_EQ(header.height, 480u);
        }
    }
    Export16 converter(ePixelRGB16, ePixelGray16);
    EXPECT_THROW(converter.GetDestHeader(nullptr), EError);
}

// ---- Sample arithmetic -----------------------------------------------------------------

TEST(SampleArithmetic, ClampPassesNaNThrough) {
    EXPECT_EQ(Clamp(-0.5f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(Clamp(0.25f, 0.0f, 1.0f), 0.25f);
    EXPECT_EQ(Clamp(kInfinity, 0.0f, 1.0f), 1.0f);
    EXPECT_TRUE(std::isnan(Clamp(kNaN, 0.0f, 1.0f)));
}

TEST(SampleArithmetic, RoundSampleIsHalfAwayFromZeroWithinRange) {
    struct {
        float x;
        unsigned sixteen;
        unsigned eight;
    } const cases[] = {
        {0.0f, 0, 0},
        {0.49f, 0, 0},
        {0.5f, 1, 1},
        {1.5f, 2, 2},
        {2.5f, 3, 3},
        {127.5f, 128, 128},
        {254.5f, 255, 255},
        {255.5f, 256, 255},
        {-0.4f, 0, 0},
        {-3.0f, 0, 0},
        {65534.5f, 65535, 255},
        {1e9f, 65535, 255},
        {kInfinity, 65535, 255},
        {-kInfinity, 0, 0},
        {kNaN, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundSample<std::uint16_t>(c.x), c.sixteen) << c.x;
        EXPECT_EQ(RoundSample<std::uint8_t>(c.x), c.eight) << c.x;
    }
}

// One RGB batch of the given samples (a multiple of three) through a converter.
template <typename TConverter>
Bytes ConvertRgb(const Bytes& source, EPixelFormat dest, EPixelFormat sourceFormat) {
    TConverter converter(dest, sourceFormat);
    return ConvertAll(converter, source);
}

TEST(ConvertWorkedValues, Export16) {
    const std::vector<std::uint16_t> host = {0, 1, 2, 16384, 32767, 32768, 40000, 65535, 3};
    const std::vector<std::uint16_t> expected = {0, 1, 3, 32767, 65533, 65535, 65535, 65535, 5};
    const Bytes out = ConvertRgb<Export16>(MachineBytes(host), ePixelRGB16, ePixelRGB16);
    EXPECT_EQ(ExchangeValues(out), expected);
    // Big-endian in the buffer: 16384 gives the bytes 7F FF.
    ASSERT_GE(out.size(), 8u);
    EXPECT_EQ(out[6], 0x7F);
    EXPECT_EQ(out[7], 0xFF);
}

TEST(ConvertWorkedValues, Import16) {
    // 65533 lands on 32767, not on the 32766 of the exact ratio: the product is rounded
    // to single precision before it is truncated.
    const std::vector<std::uint16_t> exchange = {0, 1, 2, 32768, 65534, 65535, 65533, 3, 1000};
    const std::vector<std::uint16_t> expected = {0, 0, 1, 16384, 32767, 32768, 32767, 1, 500};
    const Bytes out = ConvertRgb<Import16>(ExchangeBytes(exchange), ePixelRGB16, ePixelRGB16);
    EXPECT_EQ(MachineValues<std::uint16_t>(out), expected);
}

TEST(ConvertWorkedValues, Export8) {
    const std::vector<std::uint8_t> host = {0, 128, 255, 1, 2, 127};
    const std::vector<std::uint16_t> expected = {0x0000, 0x8080, 0xFFFF, 0x0101, 0x0202, 0x7F7F};
    const Bytes out = ConvertRgb<Export8>(MachineBytes(host), ePixelRGB16, ePixelRGB8);
    EXPECT_EQ(ExchangeValues(out), expected);
}

TEST(ConvertWorkedValues, Import8) {
    const std::vector<std::uint16_t> exchange = {0xFFFF, 0x8000, 0x7FFF, 0x00FF, 0x0100, 0x1234};
    const std::vector<std::uint8_t> expected = {255, 128, 127, 0, 1, 0x12};
    const Bytes out = ConvertRgb<Import8>(ExchangeBytes(exchange), ePixelRGB8, ePixelRGB16);
    EXPECT_EQ(out, expected);
}

TEST(ConvertWorkedValues, GrayAveragesOf16BitAnd8BitFiles) {
    struct Case {
        std::vector<std::uint16_t> rgb;
        unsigned gray16;
        unsigned gray8;
    };
    const Case cases[] = {
        {{65535, 65535, 65535}, 32768, 255},
        {{65535, 0, 0}, 10923, 85},
        {{1000, 2000, 3000}, 1000, 7}, // high bytes 3, 7, 11
        {{2, 2, 0}, 1, 0},
        {{0x0AFF, 0x1400, 0x1F00}, 2645, 20}, // high bytes 10, 20, 31
        {{0xFF00, 0, 0}, 10880, 85},
        {{0, 0, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        const Bytes source = ExchangeBytes(c.rgb);
        const Bytes gray16 = ConvertRgb<Import16>(source, ePixelGray16, ePixelRGB16);
        const Bytes gray8 = ConvertRgb<Import8>(source, ePixelGray8, ePixelRGB16);
        EXPECT_EQ(MachineValues<std::uint16_t>(gray16),
                  std::vector<std::uint16_t>{static_cast<std::uint16_t>(c.gray16)})
            << c.rgb[0] << " " << c.rgb[1] << " " << c.rgb[2];
        EXPECT_EQ(gray8, Bytes{static_cast<std::uint8_t>(c.gray8)})
            << c.rgb[0] << " " << c.rgb[1] << " " << c.rgb[2];
    }
}

TEST(ConvertWorkedValues, GrayAveragesOfFloatFiles) {
    struct Case {
        std::vector<float> rgb;
        double gray;
    };
    const Case cases[] = {
        {{0.25f, 0.5f, 0.75f}, 0.5},
        {{0.0f, 0.0f, 1.5f}, 0.5},
        {{1.0f, 2.0f, 3.0f}, 1.0},
        {{-1.0f, 0.0f, 0.0f}, 0.0},
        // The single-precision third, not a division by 3: one unit above 0.9f.
        {{0.2f, 0.5f, 2.0f}, 0.9000000357627869},
        // Here a float division by 3 would give 0.1f itself (0.10000000149011612).
        {{0.1f, 0.1f, 0.1f}, 0.10000000894069672},
        {{kInfinity, 0.0f, 0.0f}, 1.0},
        {{-kInfinity, 0.0f, 0.0f}, 0.0},
    };
    for (const Case& c : cases) {
        const Bytes out = ConvertRgb<Import32>(MachineBytes(c.rgb), ePixelGray32, ePixelRGB32);
        const std::vector<float> gray = MachineValues<float>(out);
        ASSERT_EQ(gray.size(), 1u);
        EXPECT_EQ(static_cast<double>(gray[0]), c.gray) << c.rgb[0] << " " << c.rgb[1];
    }
    // Infinities of both signs make a NaN, which the clamp leaves alone.
    const std::vector<float> mixed = {kInfinity, -kInfinity, 0.0f};
    const Bytes out = ConvertRgb<Import32>(MachineBytes(mixed), ePixelGray32, ePixelRGB32);
    EXPECT_TRUE(std::isnan(MachineValues<float>(out).at(0)));
}

TEST(ConvertWorkedValues, FloatSamplesPassUnchangedBothWays) {
    const std::vector<float> samples = {2.5f, -0.25f, kInfinity, -kInfinity, 0.0f,
                                        1.0f, kNaN,   1e-40f,    -3e38f};
    const Bytes bytes = MachineBytes(samples);
    EXPECT_EQ(ConvertRgb<Export32>(bytes, ePixelRGB32, ePixelRGB32), bytes);
    EXPECT_EQ(ConvertRgb<Import32>(bytes, ePixelRGB32, ePixelRGB32), bytes);
}

TEST(ConvertWorkedValues, GrayExportReplicatesTheSample) {
    const Bytes out16 = ConvertRgb<Export16>(MachineBytes(std::vector<std::uint16_t>{16384, 32768}),
                                             ePixelRGB16, ePixelGray16);
    EXPECT_EQ(ExchangeValues(out16),
              (std::vector<std::uint16_t>{32767, 32767, 32767, 65535, 65535, 65535}));
    const Bytes out8 = ConvertRgb<Export8>(Bytes{0x40}, ePixelRGB16, ePixelGray8);
    EXPECT_EQ(ExchangeValues(out8), (std::vector<std::uint16_t>{0x4040, 0x4040, 0x4040}));
    const std::vector<float> gray = {-0.25f};
    const Bytes out32 = ConvertRgb<Export32>(MachineBytes(gray), ePixelRGB32, ePixelGray32);
    EXPECT_EQ(MachineValues<float>(out32), (std::vector<float>{-0.25f, -0.25f, -0.25f}));
}

// Combinations the factories never build still give defined results: an export into a
// gray exchange side averages the exchange values (stored big-endian), an import from a
// gray exchange side replicates the host value.
TEST(ConvertWorkedValues, CombinationsTheFactoriesNeverBuild) {
    const Bytes averaged = ConvertRgb<Export16>(
        MachineBytes(std::vector<std::uint16_t>{32768, 32768, 0}), ePixelGray16, ePixelRGB16);
    EXPECT_EQ(ExchangeValues(averaged), std::vector<std::uint16_t>{43690});

    const Bytes replicated =
        ConvertRgb<Import16>(ExchangeBytes({65535, 2}), ePixelRGB16, ePixelGray16);
    EXPECT_EQ(MachineValues<std::uint16_t>(replicated),
              (std::vector<std::uint16_t>{32768, 32768, 32768, 1, 1, 1}));

    const std::vector<float> rgb = {3.0f, 3.0f, 3.0f};
    const Bytes clamped = ConvertRgb<Export32>(MachineBytes(rgb), ePixelGray32, ePixelRGB32);
    EXPECT_EQ(MachineValues<float>(clamped), std::vector<float>{1.0f});
}

} // namespace
