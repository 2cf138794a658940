// The stand-in's exchange image: the exact header token rules, atoi-style numbers, what
// it accepts and refuses, and the byte order of both sample encodings.
#include "ExchangeImage.h"

#include <gtest/gtest.h>

namespace {

std::string Raster16(std::size_t samples) {
    return std::string(samples * 2, '\x11');
}

TEST(HeaderTokenTest, ATokenEndsAtOneLineFeedOrOneBlank) {
    struct Case {
        std::string bytes;
        std::vector<std::string> tokens; // read until the first failure
    };
    const Case cases[] = {
        {"P6\n640\n", {"P6", "640"}},
        {"640 480\n", {"640", "480"}},
        {"P6\r\n", {"P6\r"}},       // a carriage return belongs to the token
        {"1  2\n", {"1", "", "2"}}, // two blanks: an empty token between them
        {"\t7\n", {"\t7"}},
        {std::string(32, 'x') + "\n", {std::string(32, 'x')}},
        {std::string(33, 'x') + "\n", {}}, // 33 bytes without a delimiter
        {"65535", {}},                     // the end of the data before a delimiter
    };
    for (const Case& c : cases) {
        std::size_t position = 0;
        std::vector<std::string> tokens;
        for (std::string token; ReadHeaderToken(c.bytes, position, token);)
            tokens.push_back(token);
        EXPECT_EQ(tokens, c.tokens) << c.bytes;
    }
}

TEST(HeaderTokenTest, NumbersReadAsAtoiReadsThem) {
    struct Case {
        const char* token;
        std::int32_t value;
    };
    const Case cases[] = {
        {"640", 640},
        {"-1", -1},
        {"-1.0", -1},
        {"-1.000000", -1},
        {"+12", 12},
        {"  42", 42},
        {"\t-7x", -7},
        {"abc", 0},
        {"", 0},
        {"0065535", 65535},
        {"-0.5", 0},
        {"99999999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TokenValue(c.token), c.value) << "'" << c.token << "'";
}

TEST(ExchangeImageTest, AcceptsBothLayoutsByTheirHeaderRules) {
    struct Case {
        std::string header;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"P6\n2\n1\n65535\n", 2, 1}, {"P6\n2 1\n65535\n", 2, 1}, // width and height on one line
        {"P6 2 1 65535 ", 2, 1},                                 // blanks only
        {"PF\n2\n1\n-1\n", 2, 1},    {"PF\n2\n1\n-1.0\n", 2, 1},
    };
    for (const Case& c : cases) {
        const bool isFloat = c.header[1] == 'F';
        const std::string raster(std::size_t(c.width) * c.height * 3 * (isFloat ? 4 : 2), '\x22');
        ExchangeImage image;
        std::string error;
        ASSERT_TRUE(ParseExchangeImage(c.header + raster + "trailing bytes", image, error))
            << c.header << ": " << error;
        EXPECT_EQ(image.header.width, c.width);
        EXPECT_EQ(image.header.height, c.height);
        EXPECT_EQ(image.raster, raster) << "bytes after the raster are ignored";
        EXPECT_EQ(IsFloatImage(image), isFloat);
    }
}

TEST(ExchangeImageTest, RefusesWhatThePluginNeverWrites) {
    const char* const cases[] = {
        "P6\r\n2\r\n1\r\n65535\r\n", // CRLF: the magic reads "P6\r"
        "P5\n2\n1\n65535\n",         // one-channel layouts
        "Pf\n2\n1\n-1\n",
        "P6\n2\n1\n255\n",                     // an 8-bit PPM
        "PF\n2\n1\n1.0\n",                     // big-endian PFM
        "PF\n2\n1\n-0.5\n",                    // reads as 0
        "P6\n# comment\n2\n1\n65535\n",        // comments are not skipped
        "P6\n2\n\n1\n65535\n",                 // two line feeds: an empty height
        "P6\n-2\n1\n65535\n",                  // a negative width reads as 0
        "P6\n2\n1\n",                          // ends inside the header
        "P6\n2\n1\n65535\n\x11\x11",           // raster short
        "P6\n2147483647\n2147483647\n65535\n", // a raster larger than any file
    };
    for (const char* bytes : cases) {
        ExchangeImage image;
        std::string error;
        EXPECT_FALSE(ParseExchangeImage(bytes + Raster16(0), image, error)) << bytes;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ExchangeImageTest, WritesTheHeaderAsThePluginDoes) {
    EXPECT_EQ(FormatExchangeHeader({"P6", 640, 480, 65535}), "P6\n640\n480\n65535\n");
    EXPECT_EQ(FormatExchangeHeader({"P6", 640, 480, 65535}).size(), 17u);
    EXPECT_EQ(FormatExchangeHeader({"PF", 640, 480, -1}), "PF\n640\n480\n-1\n");
}

TEST(ExchangeImageTest, SamplesUseEachLayoutsByteOrder) {
    ExchangeImage p6;
    std::string error;
    ASSERT_TRUE(ParseExchangeImage(std::string("P6\n1\n1\n65535\n\x12\x34\x00\x01\xFF\xFF", 19), p6,
                                   error));
    EXPECT_EQ(ReadSample(p6, 0), 0x1234);
    EXPECT_EQ(ReadSample(p6, 2), 65535);
    WriteSample(p6, 1, 0xABCD);
    WriteSample(p6, 2, 70000.0); // clamped
    WriteSample(p6, 0, -3.0);
    EXPECT_EQ(p6.raster, std::string("\x00\x00\xAB\xCD\xFF\xFF", 6));

    ExchangeImage pf;
    ASSERT_TRUE(
        ParseExchangeImage(std::string("PF\n1\n1\n-1\n") +
                               std::string("\x00\x00\x80\x3F\x00\x00\x00\x3F\x00\x00\x80\x3E", 12),
                           pf, error));
    EXPECT_EQ(ReadSample(pf, 0), 1.0);
    EXPECT_EQ(ReadSample(pf, 1), 0.5);
    EXPECT_EQ(ReadSample(pf, 2), 0.25);
    WriteSample(pf, 0, 0.25);
    EXPECT_EQ(pf.raster.substr(0, 4), std::string("\x00\x00\x80\x3E", 4));
}

} // namespace
