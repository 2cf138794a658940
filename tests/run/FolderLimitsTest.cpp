// Whole runs under temporary and profile folders at the edges of what the product takes:
// long paths, a temporary folder the user may not write, one that is missing.
#include "RunFixture.h"

#include "platform/HostDynamicModule.h"
#include "platform/HostFolders.h"
#include "platform/HostProcess.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A folder path of exactly `length` characters (its separator not counted) under `base`,
// created, made of components short enough for any file system.
std::string FolderOfLength(const std::string& base, std::size_t length) {
    std::string path = base;
    while (path.size() < length) {
        const std::size_t room = length - path.size() - 1; // after the separator
        std::size_t component = std::min<std::size_t>(room, 100);
        if (room - component == 1)
            --component; // a last component needs a separator and a character
        path += PathSeparator() + std::string(component, 'd');
    }
    fs::create_directories(path);
    return path;
}

class FolderLimitsTest : public RunTest {
protected:
    // One run on a small document in copy mode, a second one inverting; the results of
    // both starts. The document after both is checked against what the codes promise.
    std::vector<int> RunTwice(const std::vector<std::string>& extra,
                              const std::vector<std::string>& prefix = {}) {
        const Document before = PatternDocument(eColorRgb, 16, 5, 2);
        const std::string output = File("after.pnm");
        std::vector<std::string> arguments = {"--input",
                                              WriteDocument(before, "before"),
                                              "--output",
                                              output,
                                              "--runs",
                                              "2",
                                              "--run-env",
                                              "2,LUMETRA_APP_MODE=invert",
                                              "--count-open-files"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const HostRun run = Host(arguments, {"LUMETRA_APP_MODE=copy"}, prefix);
        const std::vector<int> starts = run.Results("start");
        const std::vector<int> openFiles = run.OpenFiles();
        EXPECT_EQ(openFiles.size(), 3u) << run.output;
        if (openFiles.size() == 3u) {
            EXPECT_EQ(openFiles[1], openFiles[0]) << run.output;
            EXPECT_EQ(openFiles[2], openFiles[0]) << run.output;
        }
        if (starts.size() == 2) {
            Document expected = starts[0] == 0 ? CopiedPixels(before, 10) : before;
            if (starts[1] == 0)
                expected = Inverted(expected);
            EXPECT_EQ(FirstDifference(ReadDocument(output), expected), -1) << run.output;
        }
        return starts;
    }

    // Switches that give the second run the fixture's own temporary folder again.
    std::vector<std::string> SoundTempForTheSecondRun() const {
        std::vector<std::string> switches;
        for (const std::string& name : TemporaryFolderVariables())
            switches.insert(switches.end(), {"--run-env", "2," + name + "=" + temp});
        return switches;
    }
};

// The processed image's path is the longest: the temporary folder, "lumetrafilter", a
// separator and "Lumetra_Processed.ppm" must fit 259 characters, so a temporary folder
// of 224 characters with its separator (223 without) is the longest that works.
TEST_F(FolderLimitsTest, LongTemporaryFolders) {
    struct Case {
        std::size_t length; // with the separator
        int start;
    };
    for (const Case c :
         {Case{223, 0}, Case{224, 0}, Case{225, -50}, Case{259, -50}, Case{260, -50}}) {
        SCOPED_TRACE(c.length);
        const std::string folder = FolderOfLength(scratch.Sub("t", true), c.length - 1);
        TempFolderOverride longTemp(folder + PathSeparator());
        EXPECT_EQ(RunTwice(SoundTempForTheSecondRun()), (std::vector<int>{c.start, 0}));
    }
}

TEST_F(FolderLimitsTest, LongProfileFolders) {
    const std::string variable = ProfileFolderVariable();
    if (variable.empty())
        GTEST_SKIP() << "under Wine the profile folder is fixed for the whole prefix";
    // The profile folder itself must fit 259 characters; the settings file's path below it
    // is not cut, and Linux opens it at any length.
    struct Case {
        std::size_t length;
        int start;
    };
    for (const Case c : {Case{223, 0}, Case{224, 0}, Case{259, 0}, Case{260, -30901}}) {
        SCOPED_TRACE(c.length);
        const std::string home = FolderOfLength(scratch.Sub("p", true), c.length);
        fs::create_directories(home + "/Lumetra");
        WriteFileBytes(home + "/Lumetra/plugin.ini",
                       "[General]\r\nApplicationPath=" + ExecutableFolder() + "\r\n");
        std::string soundHome;
        GetEnvironmentValue(variable, soundHome);
        ScopedVariable longHome(variable, home);
        const std::vector<int> starts = RunTwice({"--run-env", "2," + variable + "=" + soundHome});
        EXPECT_EQ(starts, (std::vector<int>{c.start, 0}));
    }
}

// Without a profile folder no program can be found: the run says so before it writes
// anything, so the export and the job document are not left behind.
TEST_F(FolderLimitsTest, NoProfileFolderWritesNothing) {
    const std::string variable = ProfileFolderVariable();
    if (variable.empty())
        GTEST_SKIP() << "under Wine the profile folder is fixed for the whole prefix";
    std::string soundHome;
    GetEnvironmentValue(variable, soundHome);
    ScopedVariable noHome(variable, "");
    std::vector<std::string> second = {"--run-env", "2," + variable + "=" + soundHome};
    for (const std::string& name : TemporaryFolderVariables())
        second.insert(second.end(), {"--run-env", "2," + name + "=" + scratch.Sub("t2", true)});
    EXPECT_EQ(RunTwice(second), (std::vector<int>{-30901, 0}));
    EXPECT_FALSE(FileExists(temp + "lumetrafilter"));
}

TEST_F(FolderLimitsTest, TemporaryFolderMissing) {
    TempFolderOverride missing(WithSeparator(scratch.Sub("missing")) + "deeper" + PathSeparator());
    EXPECT_EQ(RunTwice(SoundTempForTheSecondRun()), (std::vector<int>{-50, 0}));
    EXPECT_FALSE(FileExists(scratch.Sub("missing")));
}

TEST_F(FolderLimitsTest, TemporaryFolderReadOnly) {
    if (ProfileFolderVariable().empty())
        GTEST_SKIP() << "a read-only folder on Windows does not keep new folders out";
    // Root may write anywhere: the host then runs as nobody, who may read the build and
    // the scratch folder but write only where the test allows it.
    std::vector<std::string> unprivileged;
    if (!UnprivilegedCommandPrefix(unprivileged))
        GTEST_SKIP() << "running as root without setpriv to become another user";
    const std::string readOnly = scratch.Sub("read-only", true);
    const std::string writable = scratch.Sub("writable", true);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(writable, fs::perms::all);
    fs::permissions(scratch.Path(), fs::perms::all);
    TempFolderOverride unusable(WithSeparator(readOnly));
    const std::vector<int> starts = RunTwice({"--run-env", "2,TMPDIR=" + writable}, unprivileged);
    EXPECT_EQ(starts, (std::vector<int>{-50, 0}));
    EXPECT_FALSE(FileExists(readOnly + "/lumetrafilter"));
}

} // namespace
