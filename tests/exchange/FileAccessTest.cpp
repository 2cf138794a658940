// The file layer's all-or-nothing rules and argument checks, and the text helpers.
#include "core/FileAccess.h"
#include "core/Error.h"
#include "core/TextUtilities.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

namespace {

class FileAccessTest : public testing::Test {
protected:
    void TearDown() override {
        CloseFile(cell);
        std::remove(path.c_str());
    }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string path = "file-access-test.bin";
    std::int32_t cell = -1;
};

TEST_F(FileAccessTest, CreateTruncatesAndWritesUntranslated) {
    Write("a much longer earlier content");
    ASSERT_TRUE(OpenFile(cell, path.c_str(), true, true));
    ASSERT_TRUE(WriteExact(cell, "P6\n\r\n", 5));
    ASSERT_TRUE(CloseFile(cell));
    EXPECT_EQ(cell, -1);
    EXPECT_EQ(Read(), "P6\n\r\n");
}

TEST_F(FileAccessTest, ReadsExactlyOrFails) {
    Write("0123456789abcd");
    ASSERT_TRUE(OpenFile(cell, path.c_str(), false, false));
    EXPECT_EQ(GetFileLength(cell), 14);
    char buffer[16] = {};
    ASSERT_TRUE(ReadExact(cell, buffer, 10));
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    // Four bytes left: a read of ten fails but leaves them in the buffer.
    std::memset(buffer, '.', sizeof buffer);
    EXPECT_FALSE(ReadExact(cell, buffer, 10));
    EXPECT_EQ(std::string(buffer, 5), "abcd.");
    EXPECT_FALSE(ReadExact(cell, buffer, 1)); // end of file
    EXPECT_EQ(GetFileLength(cell), 14);       // the position does not matter
    // ReadSome counts what one read moved: the last four bytes, then 0 at the end.
    ASSERT_TRUE(CloseFile(cell));
    ASSERT_TRUE(OpenFile(cell, path.c_str(), false, false));
    ASSERT_EQ(ReadSome(cell, buffer, 10), 10u);
    EXPECT_EQ(ReadSome(cell, buffer, 10), 4u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(ReadSome(cell, buffer, 10), 0u);
}

TEST_F(FileAccessTest, EmptyAndMissingFiles) {
    Write("");
    ASSERT_TRUE(OpenFile(cell, path.c_str(), false, false));
    EXPECT_EQ(GetFileLength(cell), 0);
    ASSERT_TRUE(CloseFile(cell));
    EXPECT_TRUE(CloseFile(cell)); // nothing open: harmless
    std::remove(path.c_str());
    EXPECT_FALSE(OpenFile(cell, path.c_str(), false, false));
    EXPECT_EQ(cell, -1);
}

TEST_F(FileAccessTest, WriteToAReadOnlyDescriptorFails) {
    Write("x");
    ASSERT_TRUE(OpenFile(cell, path.c_str(), false, false));
    EXPECT_FALSE(WriteExact(cell, "y", 1));
}

TEST_F(FileAccessTest, MissingArgumentsThrow) {
    char byte = 0;
    EXPECT_THROW(OpenFile(cell, "", true, true), EError);
    EXPECT_THROW(OpenFile(cell, nullptr, false, false), EError);
    EXPECT_THROW(WriteExact(cell, "x", 1), EError); // closed
    EXPECT_THROW(ReadExact(cell, &byte, 1), EError);
    EXPECT_THROW(ReadSome(cell, &byte, 1), EError);
    EXPECT_THROW(GetFileLength(cell), EError);
    ASSERT_TRUE(OpenFile(cell, path.c_str(), true, true));
    EXPECT_THROW(WriteExact(cell, "x", 0), EError);
    EXPECT_THROW(WriteExact(cell, nullptr, 1), EError);
    EXPECT_THROW(ReadExact(cell, nullptr, 1), EError);
}

TEST(TextUtilitiesTest, FormatTextAlwaysTerminates) {
    char buffer[33];
    std::memset(buffer, 'x', sizeof buffer);
    FormatText(buffer, sizeof buffer, "%s", std::string(40, 'a').c_str());
    EXPECT_EQ(buffer[32], '\0');
    EXPECT_EQ(std::strlen(buffer), 32u);
    FormatText(buffer, sizeof buffer, "%i", -1);
    EXPECT_STREQ(buffer, "-1");
    char one[1] = {'x'};
    FormatText(one, 1, "%s", "abc");
    EXPECT_EQ(one[0], '\0');
    EXPECT_THROW(FormatText(nullptr, 4, "%s", "a"), EError);
    EXPECT_THROW(FormatText(buffer, 0, "%s", "a"), EError);
}

TEST(TextUtilitiesTest, NullTextsThrow) {
    EXPECT_THROW(TextLength(nullptr), EError);
    EXPECT_THROW(TextEquals("a", nullptr), EError);
    EXPECT_THROW(FindChar(static_cast<const char*>(nullptr), 'a'), EError);
    EXPECT_THROW(ReadDecimal(nullptr), EError);
    EXPECT_TRUE(TextEquals("P6", "P6"));
    EXPECT_FALSE(TextEquals("P6", "p6"));
    EXPECT_FALSE(TextEquals("P6", "P6\r"));
}

TEST(TextUtilitiesTest, ClampValueIsUnsigned) {
    EXPECT_EQ(ClampValue(5, 0, 3), 3u);
    EXPECT_EQ(ClampValue(0, 0, 32767), 0u);
    EXPECT_EQ(ClampValue(0xFFFFFFFFu, 0, 32767), 32767u); // -1 is large
    EXPECT_EQ(ClampValue(2, 4, 9), 4u);
}

TEST(TextUtilitiesTest, ReadDecimalFollowsAtoiWithoutOverflow) {
    struct Case {
        const char* text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"640", 640},
        {"-1", -1},
        {"-1.0", -1},
        {"-1.000000", -1},
        {"1.0", 1},
        {"-0.5", 0},
        {"+12", 12},
        {"  \t\r\n\v\f42", 42},
        {"#comment", 0},
        {"", 0},
        {"-", 0},
        {"12abc", 12},
        {"0007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDecimal(c.text), c.value) << '"' << c.text << '"';

    // Beyond 32 bits the value stays beyond them, however many digits follow.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_GT(ReadDecimal("2147483648"), kMax);
    EXPECT_GT(ReadDecimal("4294967936"), kMax); // 2^32 + 640 must not wrap to 640
    EXPECT_GT(ReadDecimal("99999999999999999999999999999999"), kMax);
    EXPECT_LT(ReadDecimal("-2147483649"), kMin);
    EXPECT_LT(ReadDecimal("-99999999999999999999999999999999"), kMin);
}

} // namespace
