// Placeholder replacement, the 254-character cut, length-prefixed strings, and the texts
// that name a path, which are never cut.
#include "ui/MessageText.h"
#include "ui/ProblemText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct PlaceholderCase {
    const char* name;
    std::string text;
    std::string first;
    std::string second;
    std::string expected;
};

class PlaceholderTest : public testing::TestWithParam<PlaceholderCase> {};

TEST_P(PlaceholderTest, Replaces) {
    const PlaceholderCase& c = GetParam();
    EXPECT_EQ(ReplacePlaceholders(c.text, c.first, c.second), c.expected);
}

const std::string kLong(300, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceholderTest,
    testing::Values(
        PlaceholderCase{"First", "between ^1 and", "1", "10", "between 1 and"},
        PlaceholderCase{"Second", "between ^1 and ^2.", "1", "10", "between 1 and 10."},
        PlaceholderCase{"SecondBeforeFirst", "^2-^1", "A", "B", "B-A"},
        PlaceholderCase{"Repeated", "^1^1^1", "ab", "", "ababab"},
        PlaceholderCase{"ZeroRemoved", "suite '^0' is", "A", "B", "suite '' is"},
        PlaceholderCase{"ZeroThenFirst", "^0^1", "A", "B", "A"},
        PlaceholderCase{"CaretBeforeOtherDigit", "^3 ^9", "A", "B", "^3 ^9"},
        PlaceholderCase{"CaretBeforeLetter", "^a ^ ^", "A", "B", "^a ^ ^"},
        PlaceholderCase{"CaretAtEnd", "end^", "A", "B", "end^"},
        PlaceholderCase{"DoubleCaret", "^^1", "A", "B", "^A"},
        // Parameters are inserted as they are, never read as placeholders themselves.
        PlaceholderCase{"ParameterHoldsPlaceholder", "[^1]", "x^2y", "B", "[x^2y]"},
        PlaceholderCase{"ParameterNamesItself", "[^1]", "a^1", "", "[a^1]"},
        PlaceholderCase{"EmptyParameters", "^1^2", "", "", ""},
        PlaceholderCase{"Empty", "", "A", "B", ""},
        PlaceholderCase{"HighBytesKept", "Photoshop\xAE ^1", "3.0", "", "Photoshop\xAE 3.0"},
        PlaceholderCase{"ParameterOverflows", "[^1]", kLong, "", "[" + std::string(253, 'a')},
        PlaceholderCase{"TailCut", "^1 tail", std::string(250, 'b'), "",
                        std::string(250, 'b') + " tai"},
        PlaceholderCase{"SecondAfterFullFirst", "^1^2", std::string(254, 'c'), "lost",
                        std::string(254, 'c')},
        PlaceholderCase{"TextAtLimit", std::string(254, 'd'), "", "", std::string(254, 'd')},
        PlaceholderCase{"TextOverLimit", std::string(255, 'd') + "^1", "A", "",
                        std::string(254, 'd')}),
    [](const testing::TestParamInfo<PlaceholderCase>& c) { return c.param.name; });

TEST(LengthPrefixedTest, HoldsTextLengthAndNul) {
    const LengthPrefixedText text = MakeLengthPrefixed("3.0");
    EXPECT_EQ(text.bytes[0], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text.bytes + 1), 4),
              std::string("3.0\0", 4));
    EXPECT_EQ(LengthPrefixedView(text.bytes), "3.0");
}

TEST(LengthPrefixedTest, CutsAt254AndKeepsTheNul) {
    const LengthPrefixedText text = MakeLengthPrefixed(kLong);
    EXPECT_EQ(text.bytes[0], 254);
    EXPECT_EQ(text.bytes[255], 0);
    EXPECT_EQ(LengthPrefixedView(text.bytes), std::string(254, 'a'));
}

TEST(LengthPrefixedTest, ReadsTheStatedLengthOnly) {
    const unsigned char text[] = {2, 'a', 'b', 'c'};
    EXPECT_EQ(LengthPrefixedView(text), "ab");
    const unsigned char empty[] = {0, 'x'};
    EXPECT_EQ(LengthPrefixedView(empty), "");
    EXPECT_EQ(LengthPrefixedView(nullptr), "");
}

TEST(FormatOneDecimalTest, WritesOneFractionalDigit) {
    EXPECT_EQ(FormatOneDecimal(3.0), "3.0");
    EXPECT_EQ(FormatOneDecimal(10.0), "10.0");
    EXPECT_EQ(FormatOneDecimal(4.06), "4.1");
    EXPECT_EQ(FormatOneDecimal(0.0), "0.0");
}

// The texts that tell why a run could not go ahead: every cause with a plain path, one far
// beyond the 254-character cut, and one with bytes outside ASCII comes out whole, with
// its path, its second text where it has one, and no placeholder left.
TEST(ProblemTextTest, EveryCauseNamesItsPathInFull) {
    const ERunProblem causes[] = {
        eProblemSettingsMissing, eProblemSettingsLineEnds,   eProblemSettingsByteOrderMark,
        eProblemSettingsNoKey,   eProblemSettingsEmptyValue, eProblemSettingsBrackets,
        eProblemSettingsTooLong, eProblemSettingsUnreadable, eProblemProgramNotStarted,
        eProblemFolderBusy,      eProblemTempFolder,         eProblemProfileFolder,
        eProblemEarlierFileHeld};
    const std::string paths[] = {
        "C:\\Users\\ann\\Lumetra\\plugin.ini", "C:\\" + std::string(600, 'x') + "\\lumetrafilter",
        "C:\\Users\\Jos\xE9\\\x95\\\xE8\xA1\xA8\\plugin.ini", // ANSI and UTF-8 bytes alike
    };
    const std::string detail = "The system cannot find the file specified.";
    std::vector<int> ids;
    for (const ERunProblem cause : causes) {
        const std::string_view table = ProblemTableText(cause);
        SCOPED_TRACE(std::string(table));
        ASSERT_FALSE(table.empty());
        ids.push_back(ProblemStringId(cause));
        EXPECT_GT(ids.back(), 16994) << "after the table's first five";
        for (const char c : table)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "plain ASCII on one line";
        const bool hasDetail = table.find("^2") != std::string_view::npos;
        for (const std::string& path : paths) {
            const std::string text = ProblemText({cause, path, detail}, table);
            EXPECT_NE(text.find(path), std::string::npos);
            EXPECT_EQ(text.find(detail) != std::string::npos, hasDetail);
            // Nothing but the placeholders changed: the whole text, never cut.
            EXPECT_EQ(text.size(),
                      table.size() - 2 + path.size() + (hasDetail ? detail.size() - 2 : 0));
            for (std::size_t at = text.find('^'); at != std::string::npos;
                 at = text.find('^', at + 1))
                ADD_FAILURE() << "a caret is left at " << at;
        }
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "one id per cause";
    EXPECT_EQ(ProblemStringId(eProblemNone), 0);
    EXPECT_TRUE(ProblemTableText(eProblemNone).empty());
}

TEST(ProblemTextTest, ARunKeepsItsFirstProblem) {
    RunProblem problem;
    NoteProblem(nullptr, eProblemFolderBusy, "ignored");
    NoteProblem(&problem, eProblemTempFolder, "T", "TMP");
    NoteProblem(&problem, eProblemFolderBusy, "W");
    EXPECT_EQ(problem.cause, eProblemTempFolder);
    EXPECT_EQ(problem.path, "T");
    EXPECT_EQ(problem.detail, "TMP");
}

} // namespace
