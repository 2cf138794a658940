// The stand-in's modes: their names, and what each does to the image and the file.
#include "ImageModes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ExchangeImage MakeImage(const char* magic, std::int32_t width, std::int32_t height) {
    ExchangeImage image;
    image.header = {magic, width, height, std::string(magic) == "P6" ? 65535 : -1};
    image.raster.assign(std::size_t(width) * height * 3 * (image.header.maxval == -1 ? 4 : 2),
                        '\0');
    return image;
}

// A gray ramp: pixel i has all three samples at `values[i]`.
ExchangeImage Ramp(const char* magic, const std::vector<double>& values) {
    ExchangeImage image = MakeImage(magic, static_cast<std::int32_t>(values.size()), 1);
    for (std::size_t i = 0; i < values.size(); ++i)
        for (int c = 0; c < 3; ++c)
            WriteSample(image, 3 * i + c, values[i]);
    return image;
}

TEST(AppModeTest, ParsesEveryModeAndRefusesOthers) {
    struct Case {
        const char* text;
        EAppMode mode;
        std::uint32_t sleepMs;
    };
    const Case cases[] = {
        {nullptr, eModeTonemap, 0},       {"", eModeTonemap, 0},
        {"tonemap", eModeTonemap, 0},     {"copy", eModeCopy, 0},
        {"invert", eModeInvert, 0},       {"none", eModeNone, 0},
        {"badheader", eModeBadHeader, 0}, {"truncate", eModeTruncate, 0},
        {"crash", eModeCrash, 0},         {"sleep=250", eModeSleep, 250},
        {"sleep=0", eModeSleep, 0},       {"crashwrite", eModeCrashWrite, 0},
        {"folder", eModeFolder, 0},       {"link", eModeLink, 0},
    };
    for (const Case& c : cases) {
        AppMode mode;
        std::string error;
        ASSERT_TRUE(ParseAppMode(c.text, mode, error)) << (c.text ? c.text : "(unset)");
        EXPECT_EQ(mode.mode, c.mode);
        EXPECT_EQ(mode.sleepMs, c.sleepMs);
    }
    for (const char* bad : {"Copy", "sleep=", "sleep=-5", "sleep=1x", "sleep=9999999", "blur"}) {
        AppMode mode;
        std::string error;
        EXPECT_FALSE(ParseAppMode(bad, mode, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos);
    }
}

TEST(ImageModesTest, InvertFlipsEverySample) {
    ExchangeImage p6 = Ramp("P6", {0, 1000, 65535});
    Invert(p6);
    EXPECT_EQ(ReadSample(p6, 0), 65535);
    EXPECT_EQ(ReadSample(p6, 4), 64535);
    EXPECT_EQ(ReadSample(p6, 8), 0);
    ExchangeImage pf = Ramp("PF", {0.0, 0.25, 3.0});
    Invert(pf);
    EXPECT_EQ(ReadSample(pf, 0), 1.0);
    EXPECT_EQ(ReadSample(pf, 3), 0.75);
    EXPECT_EQ(ReadSample(pf, 6), -2.0);
}

TEST(ImageModesTest, ToneMapBrightensShadowsAndCompressesHighlights) {
    const std::vector<double> input = {0, 2000, 6553, 16384, 32768, 49151, 58982, 65535};
    ExchangeImage image = Ramp("P6", input);
    ToneMap(image);
    EXPECT_EQ(ReadSample(image, 0), 0) << "black stays black";
    EXPECT_EQ(ReadSample(image, 21), 65535) << "white stays white";
    double previous = -1;
    for (std::size_t i = 1; i + 1 < input.size(); ++i) {
        const double out = ReadSample(image, 3 * i);
        EXPECT_GT(out, input[i] * 1.02) << "brightened: " << input[i];
        EXPECT_GT(out, previous) << "monotonic";
        previous = out;
    }
    const double shadowGain = ReadSample(image, 3) / input[1];
    const double highlightGain = ReadSample(image, 18) / input[6];
    EXPECT_GT(shadowGain, 1.5);
    EXPECT_LT(highlightGain, 1.1) << "the highlights are compressed towards white";
    EXPECT_LT(highlightGain - 1, (shadowGain - 1) / 5) << "shadows gain far more than highlights";
}

TEST(ImageModesTest, ToneMapKeepsColourRatiosBelowWhite) {
    ExchangeImage image = MakeImage("P6", 1, 1);
    WriteSample(image, 0, 30000);
    WriteSample(image, 1, 15000);
    WriteSample(image, 2, 5000);
    ToneMap(image);
    const double r = ReadSample(image, 0), g = ReadSample(image, 1), b = ReadSample(image, 2);
    EXPECT_GT(r, g);
    EXPECT_GT(g, b);
    // Ratios of linear light survive the curve: compare them after undoing the gamma.
    EXPECT_NEAR(std::pow(r / g, 2.2), std::pow(30000.0 / 15000.0, 2.2), 0.02);
}

TEST(ImageModesTest, ToneMapMapsLinearFloatsIntoTheUnitRange) {
    ExchangeImage image = Ramp("PF", {0.0, 0.01, 1.0, 40.0});
    WriteSample(image, 1, -5.0);         // negative light counts as black
    WriteSample(image, 2, std::nan("")); // so does NaN
    ToneMap(image);
    for (std::size_t i = 0; i < SampleCount(image); ++i) {
        EXPECT_GE(ReadSample(image, i), 0.0) << i;
        EXPECT_LE(ReadSample(image, i), 1.0) << i;
    }
    EXPECT_NEAR(ReadSample(image, 9), 1.0, 1e-6) << "the brightest pixel becomes white";
    EXPECT_GT(ReadSample(image, 3), 0.01) << "dark values come up";
    EXPECT_EQ(ReadSample(image, 2), 0.0);
}

TEST(ImageModesTest, ResultFilesOfTheFailureModes) {
    ExchangeImage image = Ramp("P6", {1, 2, 3, 4});
    const std::string header = "P6\n4\n1\n65535\n";
    EXPECT_EQ(ResultFile(image, eModeCopy), header + image.raster);
    EXPECT_EQ(ResultFile(image, eModeBadHeader), "P6\n5\n1\n65535\n" + image.raster);
    const std::string truncated = ResultFile(image, eModeTruncate);
    EXPECT_EQ(truncated, header + image.raster.substr(0, image.raster.size() - 12))
        << "the last half row is missing";
    ExchangeImage pf = MakeImage("PF", 1, 2);
    EXPECT_EQ(ResultFile(pf, eModeTruncate).size(), std::string("PF\n1\n2\n-1\n").size() + 24 - 6);
}

} // namespace
