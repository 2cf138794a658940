// Exchange image headers: the exact bytes written, and what the reader makes of every
// kind of header a processed file may bring.
#include "BatchHost.h"

#include "convert/ConverterFactory.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <string>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ExchangeImageTest : public testing::Test {
protected:
    void SetUp() override {
        std::remove(path.c_str());
        ASSERT_TRUE(CreateExportConverter(&state));
    }
    void TearDown() override {
        CloseFile(state.exportFile);
        CloseFile(state.processedFile);
        std::remove(path.c_str());
    }
    void OpenForWriting() { ASSERT_TRUE(OpenFile(state.exportFile, path.c_str(), true, true)); }
    std::string Written() {
        CloseFile(state.exportFile);
        return ReadFile(path);
    }
    void OpenForReading(const std::string& bytes) {
        WriteFile(path, bytes);
        ASSERT_TRUE(OpenFile(state.processedFile, path.c_str(), false, false));
    }

    std::string path = "exchange-image-test.bin";
    BatchHost host{plugInModeRGB48, 16, 3, 1, 1};
    PluginState& state = host.State();
};

TEST_F(ExchangeImageTest, HeadersAreByteExact) {
    OpenForWriting();
    ASSERT_EQ(WriteExchangeHeader(&state, {"P6", 640, 480, 65535}), noErr);
    EXPECT_EQ(Written(), std::string("\x50\x36\x0A\x36\x34\x30\x0A\x34\x38\x30\x0A"
                                     "\x36\x35\x35\x33\x35\x0A"));
    OpenForWriting();
    ASSERT_EQ(WriteExchangeHeader(&state, {"PF", 640, 480, -1}), noErr);
    EXPECT_EQ(Written(), std::string("\x50\x46\x0A\x36\x34\x30\x0A\x34\x38\x30\x0A\x2D\x31\x0A"));
}

TEST_F(ExchangeImageTest, HeaderNeedsAConverter) {
    OpenForWriting();
    ReleaseConverter(&state);
    EXPECT_EQ(WriteExchangeHeader(&state, {"P6", 640, 480, 65535}), paramErr);
    EXPECT_EQ(Written(), "");
}

TEST_F(ExchangeImageTest, LinesOfThirtyTwoCharactersAreRefused) {
    OpenForWriting();
    EXPECT_EQ(WriteHeaderLine(&state, "%s", std::string(31, 'm').c_str()), noErr);
    EXPECT_EQ(WriteHeaderLine(&state, "%s", std::string(32, 'n').c_str()), paramErr);
    EXPECT_EQ(WriteHeaderLine(&state, "%i", std::numeric_limits<std::int32_t>::min()), noErr);
    // A failed line leaves the ones before it.
    EXPECT_EQ(WriteExchangeHeader(&state, {std::string(40, 'P'), 1, 1, 65535}), paramErr);
    EXPECT_EQ(Written(), std::string(31, 'm') + "\n-2147483648\n");
}

TEST_F(ExchangeImageTest, MisuseThrows) {
    OpenForWriting();
    EXPECT_THROW(WriteHeaderLine(&state, "%i", "text"), EError);
    EXPECT_THROW(WriteHeaderLine(&state, "%s", 5), EError);
    EXPECT_THROW(WriteHeaderLine(&state, nullptr, 5), EError);
    EXPECT_THROW(WriteHeaderLine(&state, "%s", static_cast<const char*>(nullptr)), EError);
    EXPECT_THROW(WriteText(&state, ""), EError);
    EXPECT_THROW(WriteBytes(&state, nullptr, 1), EError);
    EXPECT_THROW(WriteBytes(nullptr, "x", 1), EError);
    char token[kHeaderLineSize];
    EXPECT_THROW(ReadHeaderToken(&state, token, kHeaderLineSize), EError); // not open
    EXPECT_THROW(ReadHeaderToken(&state, nullptr, kHeaderLineSize), EError);
}

TEST_F(ExchangeImageTest, FailingWriteGivesWriteError) {
    WriteFile(path, "kept");
    ASSERT_TRUE(OpenFile(state.exportFile, path.c_str(), false, false)); // read-only
    EXPECT_EQ(WriteBytes(&state, "x", 1), writErr);
    EXPECT_EQ(WriteExchangeHeader(&state, {"P6", 1, 1, 65535}), writErr);
    EXPECT_EQ(Written(), "kept");
}

TEST_F(ExchangeImageTest, ReadingHeaders) {
    const ExchangeHeader p6{"P6", 640, 480, 65535};
    const ExchangeHeader pf{"PF", 640, 480, -1};
    const std::int32_t unmatchable = std::numeric_limits<std::int32_t>::min();
    struct Case {
        const char* name;
        std::string bytes;
        std::int16_t result;
        ExchangeHeader read;
        bool sameAsP6;
        bool sameAsPF;
    };
    const Case cases[] = {
        {"plain P6", "P6\n640\n480\n65535\n", noErr, p6, true, false},
        {"plain PF", "PF\n640\n480\n-1\n", noErr, pf, false, true},
        {"CRLF", "P6\r\n640\r\n480\r\n65535\r\n", noErr, {"P6\r", 640, 480, 65535}, false, false},
        {"size on one line", "P6\n640 480\n65535\n", noErr, p6, true, false},
        {"comment", "P6\n# x\n640\n480\n65535\n", noErr, {"P6", 0, 0, 640}, false, false},
        {"two blanks", "P6\n640  480\n65535\n", noErr, {"P6", 640, 0, 480}, false, false},
        {"scale -1.0", "PF\n640\n480\n-1.0\n", noErr, pf, false, true},
        {"scale 1.0", "PF\n640\n480\n1.0\n", noErr, {"PF", 640, 480, 1}, false, false},
        {"scale -0.5", "PF\n640\n480\n-0.5\n", noErr, {"PF", 640, 480, 0}, false, false},
        {"negative width", "P6\n-640\n480\n65535\n", noErr, {"P6", 0, 480, 65535}, false, false},
        {"maxval 255", "P6\n640\n480\n255\n", noErr, {"P6", 640, 480, 255}, false, false},
        {"lower case", "p6\n640\n480\n65535\n", noErr, {"p6", 640, 480, 65535}, false, false},
        {"tab in token", "P6\t\n640\n480\n65535\n", noErr, {"P6\t", 640, 480, 65535}, false, false},
        {"zero in magic",
         std::string("P6\0\n640\n480\n65535\n", 18),
         noErr,
         {std::string("P6\0", 3), 640, 480, 65535},
         false,
         false},
        // Numbers beyond 32 bits must not wrap into a valid value.
        {"width 2^32 + 640",
         "P6\n4294967936\n480\n65535\n",
         noErr,
         {"P6", 0xFFFFFFFFu, 480, 65535},
         false,
         false},
        {"scale 2^32 - 1",
         "PF\n640\n480\n4294967295\n",
         noErr,
         {"PF", 640, 480, unmatchable},
         false,
         false},
        {"huge negative height",
         "P6\n640\n-99999999999\n65535\n",
         noErr,
         {"P6", 640, 0, 65535},
         false,
         false},
        {"ends inside the header", "P6\n640\n48", paramErr, {"P6", 640, 0, 0}, false, false},
        {"ends before the maxval delimiter",
         "P6\n640\n480\n65535",
         paramErr,
         {"P6", 640, 480, 0},
         false,
         false},
        {"empty file", "", paramErr, {}, false, false},
        {"32-character token",
         std::string(32, '7') + "\n",
         paramErr,
         {std::string(32, '7'), 0, 0, 0},
         false,
         false},
        {"33-character token",
         std::string(33, 'P') + "\n640\n480\n65535\n",
         paramErr,
         {},
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenForReading(c.bytes);
        ExchangeHeader read{"stale", 1, 2, 3};
        EXPECT_EQ(ReadExchangeHeader(&state, read), c.result);
        EXPECT_EQ(read.magic, c.read.magic);
        EXPECT_EQ(read.width, c.read.width);
        EXPECT_EQ(read.height, c.read.height);
        EXPECT_EQ(read.maxval, c.read.maxval);
        EXPECT_EQ(IsSameHeader(read, p6), c.sameAsP6);
        EXPECT_EQ(IsSameHeader(read, pf), c.sameAsPF);
        CloseFile(state.processedFile);
    }
}

TEST_F(ExchangeImageTest, TokenReaderStopsAtEachDelimiter) {
    OpenForReading(std::string(32, 'a') + " \nb\x01\n");
    char token[kHeaderLineSize];
    ASSERT_EQ(ReadHeaderToken(&state, token, kHeaderLineSize), noErr);
    EXPECT_EQ(std::string(token), std::string(32, 'a'));
    ASSERT_EQ(ReadHeaderToken(&state, token, kHeaderLineSize), noErr);
    EXPECT_EQ(std::string(token), ""); // two delimiters in a row
    ASSERT_EQ(ReadHeaderToken(&state, token, kHeaderLineSize), noErr);
    EXPECT_EQ(std::string(token), "b\x01");
    EXPECT_EQ(ReadHeaderToken(&state, token, kHeaderLineSize), paramErr);
    // A smaller buffer limits the token the same way.
    CloseFile(state.processedFile);
    OpenForReading("abcd\n");
    EXPECT_EQ(ReadHeaderToken(&state, token, 4), paramErr);
}

TEST_F(ExchangeImageTest, RasterStartsRightAfterTheHeader) {
    OpenForReading(std::string("P6\n1\n1\n65535\n") + "\x12\x34" + "trailing bytes");
    ExchangeHeader read;
    ASSERT_EQ(ReadExchangeHeader(&state, read), noErr);
    char first[2];
    ASSERT_TRUE(ReadExact(state.processedFile, first, 2));
    EXPECT_EQ(std::string(first, 2), "\x12\x34");
}

TEST(IsSameHeaderTest, EveryFieldCounts) {
    const ExchangeHeader base{"P6", 640, 480, 65535};
    EXPECT_TRUE(IsSameHeader(base, base));
    EXPECT_FALSE(IsSameHeader(base, {"P6", 639, 480, 65535}));
    EXPECT_FALSE(IsSameHeader(base, {"P6", 640, 481, 65535}));
    EXPECT_FALSE(IsSameHeader(base, {"P6", 640, 480, 255}));
    EXPECT_FALSE(IsSameHeader(base, {"P6 ", 640, 480, 65535}));
    EXPECT_FALSE(IsSameHeader(base, {"P", 640, 480, 65535}));
    EXPECT_TRUE(IsSameHeader({}, {}));
}

} // namespace
