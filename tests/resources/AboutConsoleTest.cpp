// On Linux the about box and the warning are texts on standard error; the result codes
// are those of the Windows module.
#include "core/Alert.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "entry/About.h"
#include "host/HostConstants.h"
#include "support/FakeHost.h"
#include "ui/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The registered sign reaches the terminal as UTF-8.
const std::string kAboutText = "Lumetra Plugin (64-Bit) v1.11\n\n\n"
                               "A Filter plug-in module for Adobe Photoshop\xC2\xAE.\n\n"
                               "Copyright (C) Corvane. All rights reserved.\n";

TEST(AboutConsoleTest, AboutWritesTheTextAndSucceeds) {
    PlatformData platform{};
    AboutRecord record{};
    record.platformData = &platform;
    testing::internal::CaptureStderr();
    EXPECT_EQ(DoAbout(&record), noErr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kAboutText);
}

TEST(AboutConsoleTest, AboutWithoutPlatformDataFailsSilently) {
    AboutRecord record{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(DoAbout(&record), paramErr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_THROW(DoAbout(nullptr), EError);
}

TEST(AboutConsoleTest, AboutThroughTheModule) {
    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << module.Error();
    PlatformData platform{};
    AboutRecord record{};
    record.platformData = &platform;
    std::intptr_t slot = 0;
    std::int16_t result = 99;
    testing::internal::CaptureStderr();
    module.Call(filterSelectorAbout, &record, &slot, &result);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kAboutText);
    EXPECT_EQ(result, noErr);
    EXPECT_EQ(slot, 0);
}

TEST(AboutConsoleTest, MissingAdvanceStateWarnsWithVersion) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CheckAdvanceState(nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "This plug-in requires Adobe Photoshop\xC2\xAE 3.0 or later functionality.\n");
}

struct AlertCase {
    const char* name;
    std::int16_t stringId;
    std::string first;
    std::string second;
    std::string expected;
};

class AlertConsoleTest : public testing::TestWithParam<AlertCase> {};

TEST_P(AlertConsoleTest, WritesTheMessageAndReportsOk) {
    const AlertCase& c = GetParam();
    const LengthPrefixedText first = MakeLengthPrefixed(c.first);
    const LengthPrefixedText second = MakeLengthPrefixed(c.second);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowAlert(0, 1, c.stringId, first.bytes, second.bytes), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected + "\n");
}

const std::string kDecimal = "A decimal number is required between ";

INSTANTIATE_TEST_SUITE_P(
    Strings, AlertConsoleTest,
    testing::Values(
        AlertCase{"Integer", 16990, "1", "10", "An integer is required between 1 and 10."},
        AlertCase{"Decimal", 16991, "0.5", "2.5",
                  "A decimal number is required between 0.5 and 2.5."},
        AlertCase{"Incompatible", 16993, "x", "y",
                  "This plug-in is incompatible with this version of the host program."},
        AlertCase{"SuiteNameDropped", 16994, "x", "y", "the required suite '' is unavailable"},
        AlertCase{"CutAt254", 16991, std::string(254, 'n'), "2",
                  kDecimal + std::string(254 - kDecimal.size(), 'n')},
        AlertCase{"UnknownStringIsEmpty", 17999, "1", "2", ""}),
    [](const testing::TestParamInfo<AlertCase>& c) { return c.param.name; });

// A run's problem goes out with its path exactly as the file system names it (UTF-8 here),
// uncut, on one line, whether or not the host gave a window.
TEST(AboutConsoleTest, ARunProblemKeepsItsPathWhole) {
    const RunProblem problem{eProblemSettingsMissing,
                             "/home/Jos\xC3\xA9/" + std::string(300, 'p') + "/plugin.ini", ""};
    testing::internal::CaptureStderr();
    ShowRunProblem(1, problem);
    ShowRunProblem(0, problem); // a host that gives no window
    ShowRunProblem(1, RunProblem{});
    const std::string line = ProblemText(problem, ProblemTableText(eProblemSettingsMissing)) + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line);
}

} // namespace
