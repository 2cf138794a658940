// The settings reader, through ReadApplicationPath on a real plugin.ini in the profile
// folder the product looks in, and the reader's own rules on a file of our choosing.
#include "bridge/IniFile.h"
#include "BridgeFixtures.h"
#include "core/Error.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kSep(1, PathSeparator());

// "[General]" and "ApplicationPath=<folder>" with CRLF after both.
std::string Basic(const std::string& folder) {
    return "[General]\r\nApplicationPath=" + folder + "\r\n";
}

// `count` entries "K<i>=v" before the key line.
std::string Keys(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "K" + std::to_string(i) + "=v\r\n";
    return text;
}

// The basic file padded with a comment line to exactly `size` bytes.
std::string OfSize(std::size_t size) {
    const std::string body = Basic("Tools");
    std::string comment = "; ";
    comment.append(size - body.size() - comment.size() - 2, 'c');
    return body + comment + "\r\n";
}

struct ApplicationPathCase {
    const char* name;
    std::string bytes;
    bool found;
    std::string output;
    EIniRefusal refusal = eIniAccepted; // why the reader gave no folder
};

class ReadApplicationPathTest : public ::testing::TestWithParam<ApplicationPathCase> {};

TEST_P(ReadApplicationPathTest, ReadsTheFolder) {
    const ApplicationPathCase& c = GetParam();
    SettingsProfile profile;
    profile.Write(c.bytes);
    std::string output = "stale";
    EXPECT_EQ(ReadApplicationPath(output), c.found);
    EXPECT_EQ(output, c.output);
    // Asking why changes nothing of what is read.
    SettingsLookup lookup;
    output = "stale";
    EXPECT_EQ(ReadApplicationPath(output, lookup), c.found);
    EXPECT_EQ(output, c.output);
    EXPECT_EQ(lookup.refusal, c.refusal);
    EXPECT_EQ(lookup.filePath, profile.FilePath());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ReadApplicationPathTest,
    ::testing::Values(
        ApplicationPathCase{"Basic", Basic("Apps"), true, "Apps" + kSep},
        ApplicationPathCase{"TrailingSeparatorKept", Basic("Apps" + kSep), true, "Apps" + kSep},
        ApplicationPathCase{"BlanksInTheValue", Basic("C:\\Program Files (x86)\\Lumetra"), true,
                            "C:\\Program Files (x86)\\Lumetra" + kSep},
        ApplicationPathCase{"LastLineWithoutLineEnd", "[General]\r\nApplicationPath=Apps", false,
                            "", eIniLineEnds},
        ApplicationPathCase{"LineFeedsOnly", "[General]\nApplicationPath=Apps\n", false, "",
                            eIniLineEnds},
        ApplicationPathCase{"CarriageReturnsOnly", "[General]\rApplicationPath=Apps\r", false, "",
                            eIniLineEnds},
        ApplicationPathCase{"BlanksAndTabs",
                            "\t[ General ] \r\n  ApplicationPath \t=\t Apps  \t\r\n", true,
                            "Apps" + kSep},
        ApplicationPathCase{"SectionNameIsCaseSensitive", "[general]\r\nApplicationPath=A\r\n",
                            false, "", eIniNoKey},
        ApplicationPathCase{"KeyNameIsCaseSensitive", "[General]\r\napplicationpath=A\r\n", false,
                            "", eIniNoKey},
        ApplicationPathCase{"KeyBeforeTheSection", "ApplicationPath=A\r\n[General]\r\n", false, "",
                            eIniNoKey},
        ApplicationPathCase{"KeyInALaterSection",
                            "[General]\r\nOther=1\r\n[Other]\r\nApplicationPath=Later\r\n", true,
                            "Later" + kSep},
        ApplicationPathCase{"BracketsInTheValue", Basic("C:\\Tools [2]"), false, "",
                            eIniBracketsInKey},
        ApplicationPathCase{"EqualsSignInTheValue", Basic("a=b"), true, "a=b" + kSep},
        ApplicationPathCase{"ByteOrderMark", "\xEF\xBB\xBF" + Basic("Apps"), false, "",
                            eIniByteOrderMark},
        ApplicationPathCase{"ByteOrderMarkOnABlankFirstLine", "\xEF\xBB\xBF\r\n" + Basic("Apps"),
                            true, "Apps" + kSep},
        ApplicationPathCase{"Of1022Bytes", OfSize(1022), true, "Tools" + kSep},
        ApplicationPathCase{"Of1023Bytes", OfSize(1023), false, "", eIniTooLong},
        ApplicationPathCase{"EmptyFile", "", false, "", eIniNoKey},
        ApplicationPathCase{"KeyIsTheSixteenthEntry",
                            "[General]\r\n\r\n; comment\r\n" + Keys(14) + "\r\n" +
                                "ApplicationPath=Sixteenth\r\n",
                            true, "Sixteenth" + kSep},
        ApplicationPathCase{"KeyIsTheSeventeenthEntry",
                            "[General]\r\n" + Keys(15) + "ApplicationPath=Seventeenth\r\n", false,
                            "", eIniNoKey},
        ApplicationPathCase{"EmptyValue", "[General]\r\nApplicationPath=\r\n", true, ""},
        ApplicationPathCase{"BlankValue", "[General]\r\nApplicationPath= \t \r\n", true, ""},
        ApplicationPathCase{"FirstOfDuplicateKeys", Basic("First") + "ApplicationPath=Second\r\n",
                            true, "First" + kSep},
        ApplicationPathCase{"KeyIsASectionHeader", "[General]\r\n[ApplicationPath]\r\n", false, "",
                            eIniNoKey},
        ApplicationPathCase{"NoSection", "ApplicationPath=Apps\r\n", false, "", eIniNoKey},
        ApplicationPathCase{"ZeroByteEndsTheText", std::string("[General]\r\n") + '\0' + Basic("A"),
                            false, "", eIniNoKey},
        ApplicationPathCase{"Utf16WithItsMark", std::string("\xFF\xFE[\0G\0]\0\r\0\n\0", 12), false,
                            "", eIniByteOrderMark},
        ApplicationPathCase{"OneLineFeedAmongPairs", "[General]\r\n; note\nApplicationPath=Apps",
                            false, "", eIniLineEnds}),
    [](const ::testing::TestParamInfo<ApplicationPathCase>& param) { return param.param.name; });

TEST(ReadApplicationPathTest, MissingFileOrFolderIsAFailure) {
    SettingsProfile profile;
    std::string output = "stale";
    EXPECT_FALSE(ReadApplicationPath(output)) << "no Lumetra folder";
    EXPECT_EQ(output, "");
    profile.Write(Basic("Apps"));
    ASSERT_TRUE(ReadApplicationPath(output));
    profile.Remove();
    EXPECT_FALSE(ReadApplicationPath(output)) << "read anew on every call";
    EXPECT_EQ(output, "");
    SettingsLookup lookup;
    EXPECT_FALSE(ReadApplicationPath(output, lookup));
    EXPECT_EQ(lookup.refusal, eIniNoFile);
    // A folder where the file should be is there, but cannot be read as a file.
    std::filesystem::create_directories(profile.FilePath());
    EXPECT_FALSE(ReadApplicationPath(output, lookup));
    EXPECT_EQ(lookup.refusal, eIniUnreadable);
    std::filesystem::remove(profile.FilePath());
}

TEST(ReadApplicationPathTest, ProfileFolderMissing) {
    const std::string variable = ProfileFolderVariable();
    if (variable.empty())
        GTEST_SKIP() << "the profile folder cannot be taken away from this process";
    ScopedVariable unset(variable, "");
    std::string output = "stale";
    EXPECT_FALSE(ReadApplicationPath(output));
    EXPECT_EQ(output, "");
    SettingsLookup lookup;
    EXPECT_FALSE(ReadApplicationPath(output, lookup));
    EXPECT_EQ(lookup.refusal, eIniNoProfile);
    EXPECT_EQ(lookup.filePath, "");
}

class IniFileTest : public ::testing::Test {
protected:
    ScratchFolder folder{"ini"};
    std::string path = folder.Sub("settings.ini");
};

TEST_F(IniFileTest, LookupRules) {
    WriteFileBytes(path, "[A]\r\nx=1\r\n[B]\r\nx=2\r\ny=\r\nA=3\r\nz=4\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path.c_str()));
    EXPECT_EQ(ini.EntryCount(), 7);
    EXPECT_STREQ(ini.GetValue("A", "x", "d"), "1");
    EXPECT_STREQ(ini.GetValue("B", "x", "d"), "2");
    EXPECT_STREQ(ini.GetValue("B", "y", "d"), "");
    EXPECT_STREQ(ini.GetValue("C", "x", "d"), "d") << "no such section: the default";
    EXPECT_STREQ(ini.GetValue("A", "w", "d"), "d") << "no such key: the default";
    EXPECT_EQ(ini.GetValue("A", "B", "d"), nullptr) << "a section header has no value";
    // The search runs on past the next section header, and a key named like the section
    // opens it too.
    EXPECT_STREQ(ini.GetValue("A", "y", "d"), "");
    EXPECT_STREQ(ini.GetValue("y", "z", "d"), "4");
    EXPECT_STREQ(ini.GetValue("A", "A", "d"), "3");
}

TEST_F(IniFileTest, SectionLinesKeepTheirOtherText) {
    // Both brackets become blanks and the whole line is trimmed; a "]" before the "[" is
    // a section header too.
    WriteFileBytes(path, "pre[ X ]post\r\n]Y[\r\nk=v\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path.c_str()));
    EXPECT_STREQ(ini.GetValue("pre  X  post", "k", nullptr), "v");
    EXPECT_STREQ(ini.GetValue("Y", "k", nullptr), "v");
}

TEST_F(IniFileTest, ReloadForgetsTheEarlierFile) {
    WriteFileBytes(path, "[S]\r\nk=first\r\n");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path.c_str()));
    WriteFileBytes(path, "comment only\r\n");
    EXPECT_FALSE(ini.Load(path.c_str()));
    EXPECT_EQ(ini.EntryCount(), 0);
    EXPECT_THROW(ini.GetValue("S", "k", nullptr), EError) << "nothing loaded";
    EXPECT_FALSE(ini.Load(folder.Sub("missing.ini").c_str()));
    EXPECT_FALSE(ini.Load(folder.Path().c_str())) << "a folder is not a settings file";
}

TEST_F(IniFileTest, MissingArgumentsThrow) {
    IniFile ini;
    EXPECT_THROW(ini.Load(nullptr), EError);
    EXPECT_THROW(ini.Load(""), EError);
    EXPECT_THROW(ini.GetValue("S", "k", nullptr), EError);
    WriteFileBytes(path, "[S]\r\n");
    ASSERT_TRUE(ini.Load(path.c_str()));
    EXPECT_THROW(ini.GetValue(nullptr, "k", nullptr), EError);
    EXPECT_THROW(ini.GetValue("S", nullptr, nullptr), EError);
}

TEST(IniFileTrimTest, DropsSpacesAndTabsOnlyAtBothEnds) {
    const struct {
        const char* text;
        const char* trimmed;
    } cases[] = {
        {"", ""},       {" \t ", ""},    {"a", "a"},           {"\t a b \t", "a b"},
        {"a\r", "a\r"}, {"\ra ", "\ra"}, {"a\t\tb", "a\t\tb"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_STREQ(IniFile::TrimBlanks(&text[0]), c.trimmed) << '"' << c.text << '"';
    }
    EXPECT_THROW(IniFile::TrimBlanks(nullptr), EError);
}

} // namespace
