// Launching the program on every platform: what it receives, how soon the wait ends, and
// the cases in which nothing may be started. (On Windows these run without a host window;
// the tests with one are in win/.)
#include "bridge/Launcher.h"
#include "LaunchFixture.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "host/HostRecords.h"
#include "platform/HostProcess.h"

#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

TEST_F(LaunchTest, ProgramGetsTheJobPathAsItsOnlyArgument) {
    ASSERT_EQ(LaunchAndWatch(0, true), noErr);
    const std::vector<std::string> expected = {"cmdline " + CommandLine(program, jobPath), "argc 2",
                                               "argv[1] " + jobPath};
    EXPECT_EQ(LogLines(), expected);
    EXPECT_TRUE(FileExists(processedPath)) << "the program has ended when the wait ends";
}

TEST_F(LaunchTest, WaitEndsSoonAfterTheProgram) {
    ScopedVariable mode("LUMETRA_APP_MODE", "sleep=400");
    ASSERT_EQ(LaunchAndWatch(0, true), noErr);
    ASSERT_TRUE(seen) << "the program never left its result";
    const double waited = Milliseconds(returned - started);
    const double after = Milliseconds(returned - processedSeen);
    RecordProperty("waited_ms", static_cast<int>(waited));
    RecordProperty("after_end_ms", static_cast<int>(after));
    std::printf("waited %.0f ms, returned %.0f ms after the program's result appeared\n", waited,
                after);
    EXPECT_GE(waited, 400.0);
    // The wait polls every 100 ms; the rest is the program's own ending.
    EXPECT_LE(after, 200.0);
}

TEST_F(LaunchTest, WithoutWaitReturnsAtOnce) {
    ScopedVariable mode("LUMETRA_APP_MODE", "sleep=300");
    ASSERT_EQ(LaunchAndWatch(0, false), noErr);
    EXPECT_FALSE(seen);
    EXPECT_TRUE(WaitForProcessedFile(10)) << "but the program was started";
}

TEST_F(LaunchTest, SettingsAreReadAgainOnEveryLaunch) {
    const std::string other = scratch.Sub("Other Folder", true);
    const std::string otherProgram = other + PathSeparator() + "Lumetra.exe";
    fs::copy_file(ProgramSource(), otherProgram);
    profile->WriteApplicationPath(other);
    ASSERT_EQ(LaunchAndWatch(0, true), noErr);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines()[0], "cmdline " + CommandLine(otherProgram, jobPath));
}

TEST_F(LaunchTest, NothingIsStartedWithoutAProgram) {
    const struct {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"no settings file", [this] { profile->Remove(); }},
        {"no ApplicationPath", [this] { profile->Write("[General]\r\n"); }},
        {"an empty ApplicationPath", [this] { profile->WriteApplicationPath(""); }},
        {"no program in the folder", [this] { fs::remove(program); }},
        {"a folder that does not exist",
         [this] { profile->WriteApplicationPath(scratch.Sub("missing")); }},
        {"a file that is not a program",
         [this] {
             fs::remove(program);
             WriteFileBytes(program, "not a program\n");
         }},
    };
    for (const auto& c : cases) {
        RestoreProgramAndSettings();
        c.arrange();
        PlatformData platform{0};
        EXPECT_EQ(LaunchApplication(&platform, jobPath.c_str(), true), kResultLaunchFailed)
            << c.name;
        EXPECT_TRUE(LogLines().empty()) << c.name << ": something was started";
    }
}

TEST_F(LaunchTest, MissingPlatformDataStartsNothing) {
    EXPECT_EQ(LaunchApplication(nullptr, jobPath.c_str(), true), kResultLaunchFailed);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(LaunchTest, MissingJobPathThrows) {
    PlatformData platform{0};
    EXPECT_THROW(LaunchApplication(&platform, nullptr, true), EError);
    EXPECT_THROW(LaunchApplication(&platform, "", true), EError);
    EXPECT_TRUE(LogLines().empty());
}

} // namespace
