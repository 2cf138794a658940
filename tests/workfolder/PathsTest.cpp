// The path operations and file names: pure string rules, checked with the platform's own
// separator so that the same tables hold on Linux and on Windows.
#include "bridge/Paths.h"
#include "bridge/FileNames.h"
#include "core/Error.h"
#include "host/HostConstants.h"
#include "platform/HostProcess.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Writes a path with '|' standing for the platform's separator.
std::string P(std::string text) {
    for (char& character : text) {
        if (character == '|')
            character = PathSeparator();
    }
    return text;
}

TEST(PathsTest, TrailingSeparators) {
    struct Case {
        std::string path;
        bool ends;
        std::string with;
        std::string without;
    };
    const Case cases[] = {
        {"", false, "", ""},     {"a", false, "a|", "a"},
        {"a|", true, "a|", "a"}, {"a||", true, "a||", "a|"}, // one separator only
        {"|", true, "|", ""},    {"a|b", false, "a|b|", "a|b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(P(c.path));
        EXPECT_EQ(EndsWithBackslash(P(c.path)), c.ends);
        EXPECT_EQ(WithTrailingBackslash(P(c.path)), P(c.with));
        EXPECT_EQ(WithoutTrailingBackslash(P(c.path)), P(c.without));
    }
}

TEST(PathsTest, JoinPathAddsExactlyOneSeparatorAndChangesNothingElse) {
    struct Case {
        std::string folder;
        std::string name;
        std::string joined;
    };
    const Case cases[] = {
        {"", "Data.lif", "Data.lif"},
        {"C:|Temp", "Data.lif", "C:|Temp|Data.lif"},
        {"C:|Temp|", "Data.lif", "C:|Temp|Data.lif"},
        {"t", "|x", "t||x"},         // a leading separator in the name stays
        {"t", "../x", "t|../x"},     // nothing is normalised
        {"t", "a/b\\c", "t|a/b\\c"}, // only the platform separator is added
        {"t", "", "t|"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinPath(P(c.folder), P(c.name)), P(c.joined)) << P(c.folder) << " + " << c.name;
}

TEST(FileNamesTest, AlphabetHasExactlySixtySevenCharacters) {
    std::string allowed;
    for (int value = 0; value < 256; ++value) {
        if (IsFileNameChar(static_cast<char>(value)))
            allowed += static_cast<char>(value);
    }
    EXPECT_EQ(allowed, "()+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
}

TEST(FileNamesTest, MakeFileNameSafeKeepsTheLengthAndReplacesOutsiders) {
    struct Case {
        std::string text;
        std::string safe;
    };
    const Case cases[] = {
        {"Lumetra", "Lumetra"},          {"", ""},
        {"a.b c/d\\e:f", "a_b_c_d_e_f"}, {"(x)+y-z_0", "(x)+y-z_0"},
        {"caf\xC3\xA9", "caf__"},        {std::string("a\0b", 3), "a_b"},
        {"\t*?\"<>|", "_______"},
    };
    for (const Case& c : cases) {
        const std::string safe = MakeFileNameSafe(c.text);
        EXPECT_EQ(safe, c.safe);
        EXPECT_EQ(safe.size(), c.text.size());
    }
}

TEST(FileNamesTest, NamesFollowTheDepthOfTheDocument) {
    struct Case {
        std::int16_t mode;
        std::int32_t depth;
        std::int16_t planes;
        const char* exported; // null: unsupported
        const char* processed;
    };
    const Case cases[] = {
        {plugInModeRGBColor, 8, 3, "Lumetra.ppm", "Lumetra_Processed.ppm"},
        {plugInModeGrayScale, 8, 1, "Lumetra.ppm", "Lumetra_Processed.ppm"},
        {plugInModeRGB48, 16, 3, "Lumetra.ppm", "Lumetra_Processed.ppm"},
        {plugInModeGray16, 16, 1, "Lumetra.ppm", "Lumetra_Processed.ppm"},
        {plugInModeRGB96, 32, 3, "Lumetra.pfm", "Lumetra_Processed.pfm"},
        {plugInModeGray32, 32, 1, "Lumetra.pfm", "Lumetra_Processed.pfm"},
        {plugInModeCMYKColor, 8, 4, nullptr, nullptr},
        {plugInModeRGBColor, 1, 3, nullptr, nullptr},
        {plugInModeRGBColor, 8, 2, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << "/" << c.depth);
        FakeHost host;
        host.SetDocument(c.mode, c.depth, c.planes, 2, 2);
        PluginState state{};
        InitialisePluginState(state);
        state.filterRecord = &host.record;
        std::string exported = "old";
        std::string processed = "old";
        EXPECT_EQ(GetExportFileName(&state, exported), c.exported != nullptr);
        EXPECT_EQ(GetProcessedFileName(&state, processed), c.processed != nullptr);
        EXPECT_EQ(exported, c.exported != nullptr ? c.exported : "");
        EXPECT_EQ(processed, c.processed != nullptr ? c.processed : "");
    }
}

TEST(FileNamesTest, MissingRecordOrStateThrows) {
    std::string name;
    PluginState state{};
    InitialisePluginState(state);
    EXPECT_THROW(GetBaseFileName(nullptr), EError);
    EXPECT_THROW(GetExportFileName(&state, name), EError);
    EXPECT_THROW(GetProcessedFileName(nullptr, name), EError);
}

TEST(FileNamesTest, CopyPathTruncatedAlwaysTerminates) {
    struct Case {
        std::size_t sourceLength;
        std::size_t copied;
    };
    const Case cases[] = {{0, 0}, {10, 10}, {259, 259}, {260, 259}, {400, 259}};
    for (const Case& c : cases) {
        std::string source(c.sourceLength, 'p');
        char field[kPathFieldSize];
        std::memset(field, 'x', sizeof field);
        CopyPathTruncated(field, sizeof field, source.c_str());
        EXPECT_EQ(std::strlen(field), c.copied) << c.sourceLength;
        EXPECT_EQ(field[kPathFieldSize - 1], '\0');
    }
    char field[4];
    EXPECT_THROW(CopyPathTruncated(nullptr, 4, "a"), EError);
    EXPECT_THROW(CopyPathTruncated(field, 4, nullptr), EError);
}

TEST(PathsTest, EmptyArgumentsThrowOrGiveNothing) {
    EXPECT_THROW(PathExists(""), EError);
    EXPECT_THROW(CreateFolder(""), EError);
    EXPECT_TRUE(ListFiles("").empty());
}

} // namespace
