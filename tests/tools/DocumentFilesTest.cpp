// The test host's documents and image files: 16-bit range mapping, the gradient, and the
// PGM/PPM/PFM readers and writers (round trips, byte order, row order, malformed files).
#include "Document.h"
#include "GradientDocument.h"
#include "ImageFile.h"
#include "PfmFile.h"
#include "PnmFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

std::uint16_t Host16(const Document& d, std::int32_t x, std::int32_t y, int c) {
    std::uint16_t value;
    std::memcpy(&value, d.samples.data() + SampleOffset(d, x, y, c), sizeof value);
    return value;
}

TEST(RangeMappingTest, FileValuesMapToTheHostRangeRoundingToNearest) {
    struct Case {
        std::uint32_t value, maxval;
        std::uint16_t host;
    };
    const Case cases[] = {
        {0, 65535, 0},         {65535, 65535, 32768}, {1, 65535, 1},         {32767, 65535, 16384},
        {32768, 65535, 16384}, {2, 65535, 1},         {3, 65535, 2},         {1000, 1000, 32768},
        {500, 1000, 16384},    {1, 3, 10923},         {70000, 65535, 32768}, // clamped first
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileToHost16(c.value, c.maxval), c.host) << c.value << "/" << c.maxval;
    EXPECT_EQ(FileToHost16(5, 0), 0) << "maxval 0 must not divide by zero";
}

TEST(RangeMappingTest, EveryHostValueSurvivesTheTripThroughA16BitFile) {
    for (std::uint32_t host = 0; host <= kHost16Max; ++host)
        ASSERT_EQ(FileToHost16(HostToFile16(host, 65535), 65535), host) << host;
    EXPECT_EQ(HostToFile16(32768, 65535), 65535u);
    EXPECT_EQ(HostToFile16(16384, 65535), 32768u);
    EXPECT_EQ(HostToFile16(40000, 65535), 65535u) << "host values above white clamp";
}

TEST(GradientTest, EveryChannelVariesAndStaysInRange) {
    for (const EColorMode color : {eColorRgb, eColorGray})
        for (const int depth : {8, 16, 32}) {
            const Document d = MakeGradientDocument(color, depth, 40, 30);
            for (int c = 0; c < d.channels; ++c) {
                std::set<long> values;
                for (std::int32_t y = 0; y < d.height; ++y)
                    for (std::int32_t x = 0; x < d.width; ++x) {
                        const double unit = ReadUnit(d, x, y, c);
                        ASSERT_GE(unit, 0.0);
                        ASSERT_LE(unit, 1.0);
                        values.insert(static_cast<long>(unit * 1000));
                    }
                EXPECT_GT(values.size(), 20u) << "channel " << c << " depth " << depth;
            }
        }
}

TEST(DocumentTest, ShapeLimitsAndOpaqueExtraChannels) {
    EXPECT_EQ(DocumentBytes(eColorRgb, 16, 10, 5, 3), 300u);
    EXPECT_EQ(DocumentBytes(eColorRgb, 16, 0, 5, 3), 0u);
    EXPECT_EQ(DocumentBytes(eColorRgb, 12, 10, 5, 3), 0u);
    EXPECT_EQ(DocumentBytes(eColorRgb, 8, 10, 5, 2), 0u) << "fewer channels than colours";
    EXPECT_EQ(DocumentBytes(eColorRgb, 32, kMaxDocumentSide, kMaxDocumentSide, 4), 0u);

    Document d = MakeGradientDocument(eColorRgb, 16, 4, 3);
    WidenChannels(d, 4);
    ASSERT_EQ(d.channels, 4);
    EXPECT_EQ(Host16(d, 3, 2, 3), kHost16Max);
    EXPECT_EQ(Host16(d, 3, 2, 0), kHost16Max) << "red at the right edge survives widening";
}

TEST(DocumentTest, DepthConversionKeepsValues) {
    Document d = MakeGradientDocument(eColorGray, 8, 256, 1);
    const std::uint8_t first = d.samples[0];
    ConvertDepth(d, 16);
    EXPECT_EQ(Host16(d, 0, 0, 0), FileToHost16(first, 255));
    Document back = d;
    ConvertDepth(back, 8);
    EXPECT_EQ(back.samples, MakeGradientDocument(eColorGray, 8, 256, 1).samples);
    ConvertDepth(d, 32);
    EXPECT_EQ(d.samples.size(), 256u * 4);
}

TEST(PnmTest, RoundTripsEveryColourAndDepth) {
    for (const EColorMode color : {eColorRgb, eColorGray})
        for (const int depth : {8, 16}) {
            const Document original = MakeGradientDocument(color, depth, 37, 11);
            Document parsed;
            std::string error;
            ASSERT_TRUE(ParsePnm(FormatPnm(original), parsed, error)) << error;
            EXPECT_EQ(parsed.color, color);
            EXPECT_EQ(parsed.depth, depth);
            EXPECT_EQ(parsed.samples, original.samples);
        }
}

TEST(PnmTest, HeaderAndSampleBytesFollowTheFormat) {
    Document d = MakeDocument(eColorRgb, 16, 2, 1, 3);
    WriteUnit(d, 1, 0, 2, 1.0); // host 32768: file 65535
    WriteUnit(d, 0, 0, 0, 0.5); // host 16384: file 32768
    const std::string file = FormatPnm(d);
    EXPECT_EQ(file.substr(0, 13), "P6\n2 1\n65535\n");
    EXPECT_EQ(file.size(), 13u + 12u);
    EXPECT_EQ(file.substr(13, 2), std::string("\x80\x00", 2)) << "big-endian samples";
    EXPECT_EQ(file.substr(23, 2), "\xFF\xFF");

    Document gray = MakeDocument(eColorGray, 8, 3, 1, 2); // the alpha channel is not written
    EXPECT_EQ(FormatPnm(gray), std::string("P5\n3 1\n255\n\0\0\0", 14));
}

TEST(PnmTest, ReadsCommentsSmallMaxvalsAndIgnoresTrailingBytes) {
    Document d;
    std::string error;
    const std::string file = std::string("P5\n# made by hand\n3 1 # width height\n15\n") +
                             std::string("\x00\x07\x0F", 3) + "extra";
    ASSERT_TRUE(ParsePnm(file, d, error)) << error;
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.samples, (std::vector<std::uint8_t>{0, 119, 255}));

    ASSERT_TRUE(ParsePnm(std::string("P5 1 1 1000\n\x03\xE8\x01\xF4", 16), d, error)) << error;
    EXPECT_EQ(d.depth, 16);
    EXPECT_EQ(Host16(d, 0, 0, 0), kHost16Max);
}

TEST(PnmTest, RefusesMalformedFiles) {
    struct Case {
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"", "empty"},
        {"P3\n1 1\n255\n0 0 0", "ASCII PPM"},
        {"P6\n0 1\n255\n", "zero width"},
        {"P6\n1 -1\n255\n", "negative height"},
        {"P6\n1 1\n0\n\x00\x00\x00", "maxval 0"},
        {"P6\n1 1\n65536\n\x00\x00\x00\x00\x00\x00", "maxval above 65535"},
        {"P6\n2 1\n255\n\x00\x00\x00", "raster truncated"},
        {"P6\n1 1\n255", "header without its last white space"},
        {"P6\n1x 1\n255\n\x00\x00\x00", "junk in a number"},
        {"P6\n99999999999 1\n255\n", "huge width"},
        {"P6\n1048576 1048576\n65535\n", "image too large"},
    };
    for (const Case& c : cases) {
        Document d;
        std::string error;
        EXPECT_FALSE(ParsePnm(c.bytes, d, error)) << c.reason;
        EXPECT_FALSE(error.empty()) << c.reason;
    }
}

TEST(PfmTest, RoundTripsAndStoresTheBottomRowFirst) {
    for (const EColorMode color : {eColorRgb, eColorGray}) {
        Document original = MakeGradientDocument(color, 32, 5, 4);
        WriteUnit(original, 0, 0, 0, 7.5); // over-range values stay as they are
        WriteUnit(original, 1, 0, 0, -0.25);
        Document parsed;
        std::string error;
        ASSERT_TRUE(ParsePfm(FormatPfm(original), parsed, error)) << error;
        EXPECT_EQ(parsed.samples, original.samples);
    }
    Document d = MakeDocument(eColorGray, 32, 1, 2, 1);
    WriteUnit(d, 0, 0, 0, 1.0); // top row
    const std::string file = FormatPfm(d);
    EXPECT_EQ(file, std::string("Pf\n1 2\n-1.0\n\0\0\0\0\0\0\x80\x3F", 20));
}

TEST(PfmTest, ThePositiveScaleMeansBigEndianSamples) {
    const std::string file("PF\n1 2\n1.0\n"
                           "\x3F\x80\x00\x00\x3F\x00\x00\x00\x3E\x80\x00\x00"  // bottom row
                           "\x00\x00\x00\x00\x40\x00\x00\x00\xBF\x80\x00\x00", // top row
                           11 + 24);
    Document d;
    std::string error;
    ASSERT_TRUE(ParsePfm(file, d, error)) << error;
    EXPECT_EQ(ReadUnit(d, 0, 1, 0), 1.0);
    EXPECT_EQ(ReadUnit(d, 0, 1, 1), 0.5);
    EXPECT_EQ(ReadUnit(d, 0, 1, 2), 0.25);
    EXPECT_EQ(ReadUnit(d, 0, 0, 1), 2.0);
    EXPECT_EQ(ReadUnit(d, 0, 0, 2), -1.0);
}

TEST(PfmTest, RefusesMalformedFiles) {
    const char* const cases[] = {
        "PF\n1 1\n0\n123456789012",             // scale 0
        "PF\n1 1\nabc\n123456789012",           // scale not a number
        "PF\n1 1\n-1.0\n12345678901",           // raster one byte short
        "Pf\n0 1\n-1.0\n",                      // zero width
        "PF\n1 1\ninf\n123456789012",           // infinite scale
        "PF\n# comment\n1 1\n-1\n123456789012", // no comments in PFM
    };
    for (const char* bytes : cases) {
        Document d;
        std::string error;
        EXPECT_FALSE(ParsePfm(bytes, d, error)) << bytes;
    }
}

TEST(ImageFileTest, FormatFollowsTheExtensionElseTheFallback) {
    EXPECT_EQ(FormatForPath("out.PFM", eFormatPnm), eFormatPfm);
    EXPECT_EQ(FormatForPath("dir.pfm/out.pgm", eFormatPfm), eFormatPnm);
    EXPECT_EQ(FormatForPath("dir.pfm/out", eFormatPnm), eFormatPnm);
    EXPECT_EQ(FormatForPath("out.bin", eFormatPfm), eFormatPfm);
}

TEST(ImageFileTest, MissingAndUnknownFilesAreReportedByName) {
    Document d;
    EImageFormat format;
    std::string error;
    EXPECT_FALSE(ReadImageFile("no-such-image.ppm", d, format, error));
    EXPECT_NE(error.find("no-such-image.ppm"), std::string::npos);
    ASSERT_TRUE(WriteWholeFile("not-an-image.ppm", "GIF89a"));
    EXPECT_FALSE(ReadImageFile("not-an-image.ppm", d, format, error));
    EXPECT_NE(error.find("not a binary PGM, PPM or PFM"), std::string::npos);
    std::remove("not-an-image.ppm");
}

} // namespace
