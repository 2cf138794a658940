// Every 8-bit and every 16-bit sample value through each direction, with every kernel set
// this processor runs, compared bit for bit with a reference computed here in double
// precision. The reference applies the rounding rule of the conversions explicitly: a
// single-precision product is the exact product (exact in double for these operands)
// rounded to the nearest float. The exact ratios
// alone would be wrong for some values (65533 imports as 32767, not 32766).
#include "convert/ConvertBuffer.h"

#include "ConvertTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Export8 = CConvertBuffer<unsigned short, unsigned char, kHostToExchange>;
using Import8 = CConvertBuffer<unsigned char, unsigned short, kExchangeToHost>;
using Export16 = CConvertBuffer<unsigned short, unsigned short, kHostToExchange>;
using Import16 = CConvertBuffer<unsigned short, unsigned short, kExchangeToHost>;
using Import32 = CConvertBuffer<float, float, kExchangeToHost>;

// ---- The reference ---------------------------------------------------------------------

double ToSingle(double x) {
    return static_cast<double>(static_cast<float>(x));
}

std::uint16_t ReferenceExport8(unsigned v) {
    return static_cast<std::uint16_t>(v * 257.0);
}

std::uint8_t ReferenceImport8(unsigned w) {
    return static_cast<std::uint8_t>(std::floor(w / 256.0));
}

std::uint16_t ReferenceExport16(unsigned h) {
    const double x = ToSingle(h * (65535.0 / 32768.0));
    return static_cast<std::uint16_t>(std::trunc(std::clamp(x, 0.0, 65535.0)));
}

std::uint16_t ReferenceImport16(unsigned w) {
    const double factor = ToSingle(32768.0 / 65535.0);
    const double x = ToSingle(w * factor);
    return static_cast<std::uint16_t>(std::trunc(std::clamp(x, 0.0, 32768.0)));
}

// The mean of three channel values with the single-precision third, each step rounded to
// single precision.
double ReferenceMean(double a, double b, double c) {
    const double sum = ToSingle(ToSingle(ToSingle(a) + b) + c);
    return ToSingle(sum * ToSingle(1.0 / 3.0));
}

// Half away from zero, the half added in single precision, then limited to [0, max].
unsigned ReferenceRound(double x, double max) {
    const double y = x >= 0.0 ? ToSingle(x + 0.5) : ToSingle(x - 0.5);
    return static_cast<unsigned>(std::trunc(std::clamp(y, 0.0, max)));
}

// ---- Inputs ----------------------------------------------------------------------------

// 0 to count-1, padded with zeros to whole RGB pixels.
std::vector<std::uint16_t> EveryValue(unsigned count) {
    std::vector<std::uint16_t> values;
    for (unsigned v = 0; v < count; ++v)
        values.push_back(static_cast<std::uint16_t>(v));
    values.resize((values.size() + 2) / 3 * 3, 0);
    return values;
}

// Deterministic, well-spread 16-bit triples: every value appears in the first channel,
// paired with unrelated values in the other two.
std::vector<std::uint16_t> SpreadTriples() {
    std::vector<std::uint16_t> samples;
    for (unsigned w = 0; w < 65536; ++w) {
        samples.push_back(static_cast<std::uint16_t>(w));
        samples.push_back(static_cast<std::uint16_t>((w * 40503u + 17u) & 0xFFFF));
        samples.push_back(static_cast<std::uint16_t>((w * 9973u + 12345u) & 0xFFFF));
    }
    return samples;
}

std::vector<std::uint8_t> Narrow(const std::vector<std::uint16_t>& values) {
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

// ---- Per-channel, both directions ------------------------------------------------------

// Each case runs once per kernel set; the converters below are built with it.
class ConvertExhaustive : public testing::TestWithParam<const ConvertKernels*> {
protected:
    const ConvertKernels& Kernels() const { return *GetParam(); }
};

TEST_P(ConvertExhaustive, Export8EveryValue) {
    const std::vector<std::uint8_t> host = Narrow(EveryValue(256));
    std::vector<std::uint16_t> expected;
    for (std::uint8_t v : host)
        expected.push_back(ReferenceExport8(v));
    Export8 rgb(ePixelRGB16, ePixelRGB8, Kernels());
    EXPECT_EQ(ExchangeValues(ConvertAll(rgb, MachineBytes(host))), expected);

    // Gray: each value three times.
    std::vector<std::uint16_t> tripled;
    for (std::uint8_t v : host)
        tripled.insert(tripled.end(), 3, ReferenceExport8(v));
    Export8 gray(ePixelRGB16, ePixelGray8, Kernels());
    EXPECT_EQ(ExchangeValues(ConvertAll(gray, MachineBytes(host))), tripled);
}

TEST_P(ConvertExhaustive, Import8EveryValue) {
    const std::vector<std::uint16_t> exchange = EveryValue(65536);
    std::vector<std::uint8_t> expected;
    for (std::uint16_t w : exchange)
        expected.push_back(ReferenceImport8(w));
    Import8 converter(ePixelRGB8, ePixelRGB16, Kernels());
    EXPECT_EQ(ConvertAll(converter, ExchangeBytes(exchange)), expected);
}

TEST_P(ConvertExhaustive, Export16EveryValue) {
    // The host delivers at most 32768; the values above it must clamp, not wrap.
    const std::vector<std::uint16_t> host = EveryValue(65536);
    std::vector<std::uint16_t> expected;
    for (std::uint16_t h : host)
        expected.push_back(ReferenceExport16(h));
    Export16 rgb(ePixelRGB16, ePixelRGB16, Kernels());
    EXPECT_EQ(ExchangeValues(ConvertAll(rgb, MachineBytes(host))), expected);

    std::vector<std::uint16_t> tripled;
    for (std::uint16_t h : host)
        tripled.insert(tripled.end(), 3, ReferenceExport16(h));
    Export16 gray(ePixelRGB16, ePixelGray16, Kernels());
    EXPECT_EQ(ExchangeValues(ConvertAll(gray, MachineBytes(host))), tripled);
}

TEST_P(ConvertExhaustive, Import16EveryValue) {
    const std::vector<std::uint16_t> exchange = EveryValue(65536);
    std::vector<std::uint16_t> expected;
    for (std::uint16_t w : exchange)
        expected.push_back(ReferenceImport16(w));
    Import16 converter(ePixelRGB16, ePixelRGB16, Kernels());
    EXPECT_EQ(MachineValues<std::uint16_t>(ConvertAll(converter, ExchangeBytes(exchange))),
              expected);
}

TEST_P(ConvertExhaustive, RoundTripsOfEveryHostValue) {
    // Out and back loses at most one unit for 16-bit samples and nothing for 8-bit ones.
    const std::vector<std::uint16_t> host16 = EveryValue(32769);
    Export16 out16(ePixelRGB16, ePixelRGB16, Kernels());
    Import16 in16(ePixelRGB16, ePixelRGB16, Kernels());
    const std::vector<std::uint16_t> back16 =
        MachineValues<std::uint16_t>(ConvertAll(in16, ConvertAll(out16, MachineBytes(host16))));
    ASSERT_EQ(back16.size(), host16.size());
    for (std::size_t i = 0; i < host16.size(); ++i)
        ASSERT_LE(host16[i] - back16[i], 1) << host16[i];
    EXPECT_EQ(back16[0], 0);
    EXPECT_EQ(back16[32768], 32768);
    EXPECT_EQ(back16[16384], 16383);

    const std::vector<std::uint8_t> host8 = Narrow(EveryValue(256));
    Export8 out8(ePixelRGB16, ePixelRGB8, Kernels());
    Import8 in8(ePixelRGB8, ePixelRGB16, Kernels());
    EXPECT_EQ(ConvertAll(in8, ConvertAll(out8, MachineBytes(host8))), host8);
}

// ---- Gray averages ---------------------------------------------------------------------

TEST_P(ConvertExhaustive, GrayAveragesOfEveryValueAndSpreadTriples) {
    std::vector<std::uint16_t> exchange;
    for (unsigned w = 0; w < 65536; ++w)
        exchange.insert(exchange.end(), 3, static_cast<std::uint16_t>(w));
    const std::vector<std::uint16_t> spread = SpreadTriples();
    exchange.insert(exchange.end(), spread.begin(), spread.end());
    // Every sum of three converted samples, for both depths: one value climbing behind
    // zeros, then behind one and two channels at the top.
    for (unsigned w = 0; w < 65536; ++w) {
        const auto value = static_cast<std::uint16_t>(w);
        exchange.insert(exchange.end(), {value, 0, 0, 65535, value, 0, 65535, 65535, value});
    }

    std::vector<std::uint16_t> expected16;
    std::vector<std::uint8_t> expected8;
    for (std::size_t i = 0; i < exchange.size(); i += 3) {
        const double mean16 =
            ReferenceMean(ReferenceImport16(exchange[i]), ReferenceImport16(exchange[i + 1]),
                          ReferenceImport16(exchange[i + 2]));
        expected16.push_back(static_cast<std::uint16_t>(ReferenceRound(mean16, 65535.0)));
        const double mean8 =
            ReferenceMean(ReferenceImport8(exchange[i]), ReferenceImport8(exchange[i + 1]),
                          ReferenceImport8(exchange[i + 2]));
        expected8.push_back(static_cast<std::uint8_t>(ReferenceRound(mean8, 255.0)));
    }
    Import16 gray16(ePixelGray16, ePixelRGB16, Kernels());
    EXPECT_EQ(MachineValues<std::uint16_t>(ConvertAll(gray16, ExchangeBytes(exchange))),
              expected16);
    Import8 gray8(ePixelGray8, ePixelRGB16, Kernels());
    EXPECT_EQ(ConvertAll(gray8, ExchangeBytes(exchange)), expected8);
}

TEST_P(ConvertExhaustive, GrayAveragesOfSpreadFloats) {
    // Floats built from the spread triples, from -2 to about 6 with fine fractions.
    std::vector<float> rgb;
    for (std::uint16_t w : SpreadTriples())
        rgb.push_back(static_cast<float>(w / 8192.0 - 2.0 + w * 1e-7));
    std::vector<float> expected;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        expected.push_back(static_cast<float>(
            std::clamp(ReferenceMean(rgb[i], rgb[i + 1], rgb[i + 2]), 0.0, 1.0)));
    Import32 converter(ePixelGray32, ePixelRGB32, Kernels());
    const std::vector<float> gray = MachineValues<float>(ConvertAll(converter, MachineBytes(rgb)));
    // Compared as bytes: equal to the bit, not within a tolerance.
    EXPECT_EQ(MachineBytes(gray), MachineBytes(expected));
}

INSTANTIATE_TEST_SUITE_P(EveryKernelSet, ConvertExhaustive, testing::ValuesIn(RunnableKernels()),
                         [](const auto& param) { return std::string(param.param->name); });

} // namespace
