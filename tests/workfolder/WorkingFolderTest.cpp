// The working folder under a temporary folder that each test points at a scratch folder
// of its own: creation, cleaning, the length limits, the file paths of a run and the
// creation of the export file, and on Linux the refusal of foreign or linked folders.
#include "bridge/WorkingFolder.h"
#include "bridge/FileNames.h"
#include "bridge/Paths.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"
#include "platform/HostFolders.h"
#include "platform/HostProcess.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

bool OnLinux() {
    return PathSeparator() == '/';
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FieldIsZero(const char* field) {
    return std::all_of(field, field + kPathFieldSize, [](char c) { return c == '\0'; });
}

class WorkingFolderTest : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        scratch =
            (fs::temp_directory_path() / (std::string("lumetra-wf-") + info->name())).string();
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        temp = scratch + PathSeparator();
        SetTemporaryFolder(temp);
        working = temp + kWorkingFolderName;
        host.SetDocument(plugInModeRGB48, 16, 3, 2, 2);
        InitialisePluginState(state);
        state.filterRecord = &host.record;
        state.hostResult = &host.result;
    }
    void TearDown() override {
        CloseFile(state.exportFile);
        CloseFile(state.lockFile);
        SetTemporaryFolder(original);
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    std::string Child(const std::string& name) const { return working + PathSeparator() + name; }

    // The temporary folder is read at every call; remember the test program's own.
    std::string original = fs::temp_directory_path().string();
    std::string scratch;
    std::string temp;
    std::string working;
    FakeHost host;
    PluginState state{};
};

TEST_F(WorkingFolderTest, TemporaryFolderIsReadAtEveryCallWithOneTrailingSeparator) {
    std::string folder = "stale";
    ASSERT_TRUE(GetTempFolder(folder));
    EXPECT_EQ(folder, temp);
    SetTemporaryFolder(scratch); // without the separator
    ASSERT_TRUE(GetTempFolder(folder));
    EXPECT_EQ(folder, temp);
}

TEST_F(WorkingFolderTest, TemporaryPathLimits) {
    // Up to 259 characters (separator included) fit the 260-character buffer. Wine's own
    // GetTempPathA already refuses 259, so the rule is checked against what the system
    // reported; on Linux the report is the variable itself.
    for (std::size_t length : {258u, 259u, 260u, 300u}) {
        SCOPED_TRACE(length);
        const std::string path =
            temp + std::string(length - temp.size() - 1, 'd') + PathSeparator();
        SetTemporaryFolder(path);
        char reported[260];
        const std::uint32_t reportedLength = OsGetTempPath(reported, sizeof reported);
        if (OnLinux()) {
            EXPECT_EQ(reportedLength, length <= 259 ? length : length + 1);
        }
        const bool fits = reportedLength >= 1 && reportedLength <= 259;
        std::string folder = "stale";
        EXPECT_EQ(GetTempFolder(folder), fits);
        EXPECT_EQ(folder, fits ? path : "");
        // Even the shortest of these leaves no room for the working folder's files: the
        // preparations refuse rather than cut.
        std::memset(state.exportFilePath, 'x', kPathFieldSize);
        EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
        EXPECT_TRUE(FieldIsZero(state.exportFilePath));
    }
}

TEST_F(WorkingFolderTest, LongestPathsThatFitAreStoredWhole) {
    // The processed path is the longer one; make it exactly 259 characters.
    const std::string tail =
        std::string(kWorkingFolderName) + PathSeparator() + "Lumetra_Processed.ppm";
    const std::string deep = temp + std::string(259 - tail.size() - temp.size() - 1, 'd');
    fs::create_directories(deep);
    SetTemporaryFolder(deep + PathSeparator());
    ASSERT_EQ(PrepareProcessedFilePath(&state), noErr);
    EXPECT_EQ(std::string(state.processedFilePath), deep + PathSeparator() + tail);
    EXPECT_EQ(std::strlen(state.processedFilePath), 259u);
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);

    // One character more and the processed path would have to be cut: refused.
    fs::create_directories(deep + "d");
    SetTemporaryFolder(deep + "d" + PathSeparator());
    EXPECT_EQ(PrepareExportFilePath(&state), noErr); // still fits
    EXPECT_EQ(PrepareProcessedFilePath(&state), paramErr);
    EXPECT_TRUE(FieldIsZero(state.processedFilePath));
}

TEST_F(WorkingFolderTest, CreatedWhenMissingAndPathsFilled) {
    ASSERT_FALSE(fs::exists(working));
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);
    EXPECT_TRUE(fs::is_directory(working));
    if (OnLinux()) {
        EXPECT_EQ(fs::status(working).permissions(), fs::perms::owner_all);
    }
    ASSERT_EQ(PrepareProcessedFilePath(&state), noErr);
    EXPECT_EQ(std::string(state.exportFilePath), Child("Lumetra.ppm"));
    EXPECT_EQ(std::string(state.processedFilePath), Child("Lumetra_Processed.ppm"));
    std::string folder;
    ASSERT_TRUE(GetWorkingFolder(folder, false));
    EXPECT_EQ(JoinPath(folder, kJobDocumentName), Child("Data.lif"));

    // A second round leaves the same fields.
    char exported[kPathFieldSize];
    char processed[kPathFieldSize];
    std::memcpy(exported, state.exportFilePath, kPathFieldSize);
    std::memcpy(processed, state.processedFilePath, kPathFieldSize);
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);
    ASSERT_EQ(PrepareProcessedFilePath(&state), noErr);
    EXPECT_EQ(std::memcmp(exported, state.exportFilePath, kPathFieldSize), 0);
    EXPECT_EQ(std::memcmp(processed, state.processedFilePath, kPathFieldSize), 0);
}

TEST_F(WorkingFolderTest, CleaningRemovesPlainAndHiddenFilesAndKeepsSubfolders) {
    fs::create_directories(Child("sub"));
    WriteFile(Child("Lumetra.ppm"), "old export");
    WriteFile(Child("Data.lif"), "old job");
    WriteFile(Child(".hidden"), "hidden");
    ASSERT_TRUE(MakeFileHidden(Child(".hidden")));
    WriteFile(Child("sub") + PathSeparator() + "kept.txt", "kept");

    std::vector<std::string> listed = ListFiles(working);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".hidden", "Data.lif", "Lumetra.ppm"}));

    std::string folder;
    ASSERT_TRUE(GetWorkingFolder(folder, false)); // looked up only
    EXPECT_EQ(folder, working);
    EXPECT_EQ(ListFiles(working).size(), 3u);

    ASSERT_TRUE(GetWorkingFolder(folder, true));
    EXPECT_TRUE(ListFiles(working).empty());
    EXPECT_EQ(ReadFile(Child("sub") + PathSeparator() + "kept.txt"), "kept");
}

TEST_F(WorkingFolderTest, MissingTemporaryFolderCannotBeUsed) {
    SetTemporaryFolder(temp + "missing" + PathSeparator() + "deeper" + PathSeparator());
    std::string folder = "stale";
    EXPECT_FALSE(GetWorkingFolder(folder, true));
    EXPECT_EQ(folder, "");
    EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
    EXPECT_EQ(PrepareProcessedFilePath(&state), paramErr);
    EXPECT_TRUE(FieldIsZero(state.exportFilePath));
    EXPECT_FALSE(fs::exists(temp + "missing")); // parents are never created
}

TEST_F(WorkingFolderTest, UnsupportedDocumentHasNoPaths) {
    host.SetDocument(plugInModeLabColor, 8, 3, 2, 2);
    EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
    EXPECT_EQ(PrepareProcessedFilePath(&state), paramErr);
    EXPECT_TRUE(FieldIsZero(state.exportFilePath));
    EXPECT_TRUE(FieldIsZero(state.processedFilePath));
}

TEST_F(WorkingFolderTest, PlainFileInPlaceOfTheFolder) {
    WriteFile(working, "not a folder");
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);
    EXPECT_TRUE(ListFiles(working).empty());
    EXPECT_EQ(LockWorkingFolder(&state), openErr);
    EXPECT_EQ(OpenExportFile(&state), openErr);
    EXPECT_EQ(state.exportFile, -1);
    EXPECT_EQ(ReadFile(working), "not a folder");
}

TEST_F(WorkingFolderTest, OpenExportFileCreatesAndTruncates) {
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);
    ASSERT_EQ(OpenExportFile(&state), noErr);
    ASSERT_NE(state.exportFile, -1);
    ASSERT_TRUE(WriteExact(state.exportFile, "first run", 9));

    // Opening again closes the open descriptor and truncates the file.
    ASSERT_EQ(OpenExportFile(&state), noErr);
    ASSERT_TRUE(WriteExact(state.exportFile, "2", 1));
    ASSERT_TRUE(CloseFile(state.exportFile));
    EXPECT_EQ(ReadFile(state.exportFilePath), "2");

    // A file of an earlier run that survived the cleaning is truncated as well.
    WriteFile(state.exportFilePath, "leftover\n\n");
    ASSERT_EQ(OpenExportFile(&state), noErr);
    ASSERT_TRUE(WriteExact(state.exportFile, "\n", 1)); // untranslated
    ASSERT_TRUE(CloseFile(state.exportFile));
    EXPECT_EQ(ReadFile(state.exportFilePath), "\n");
}

TEST_F(WorkingFolderTest, OneRunAtATimeAndTheLockFileOutlivesTheCleaning) {
    ASSERT_EQ(PrepareExportFilePath(&state), noErr);
    WriteFile(Child("Lumetra.ppm"), "the other run's export");
    // Another run holds the folder: nothing of it may go.
    bool busy = false;
    std::int32_t other = OsLockFile(Child(kLockFileName).c_str(), busy);
    ASSERT_NE(other, -1);
    EXPECT_EQ(LockWorkingFolder(&state), paramErr);
    EXPECT_EQ(state.lockFile, -1);
    EXPECT_EQ(ReadFile(Child("Lumetra.ppm")), "the other run's export");

    ASSERT_TRUE(CloseFile(other));
    ASSERT_EQ(LockWorkingFolder(&state), noErr);
    EXPECT_EQ(ListFiles(working), std::vector<std::string>{kLockFileName});
    EXPECT_EQ(OsLockFile(Child(kLockFileName).c_str(), busy), -1);
    EXPECT_TRUE(busy);
    UnlockWorkingFolder(&state);
    EXPECT_EQ(state.lockFile, -1);
    other = OsLockFile(Child(kLockFileName).c_str(), busy);
    EXPECT_NE(other, -1);
    CloseFile(other);
}

TEST_F(WorkingFolderTest, OpenExportFileWithoutPathThrows) {
    EXPECT_THROW(OpenExportFile(&state), EError);
    EXPECT_THROW(OpenExportFile(nullptr), EError);
    EXPECT_THROW(PrepareExportFilePath(nullptr), EError);
}

TEST_F(WorkingFolderTest, LinkedWorkingFolderIsRefused) {
    if (!OnLinux())
        GTEST_SKIP() << "the ownership rule is the Linux build's";
    const std::string elsewhere = temp + "elsewhere";
    fs::create_directories(elsewhere);
    WriteFile(elsewhere + "/precious", "keep");
    fs::create_directory_symlink(elsewhere, working);
    std::string folder;
    EXPECT_FALSE(GetWorkingFolder(folder, true));
    EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
    EXPECT_EQ(ReadFile(elsewhere + "/precious"), "keep");

    // A dangling link cannot be created over either.
    fs::remove(working);
    fs::create_directory_symlink(temp + "nowhere", working);
    EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
    EXPECT_FALSE(fs::exists(temp + "nowhere"));
}

TEST_F(WorkingFolderTest, ForeignWorkingFolderIsRefused) {
    if (!OnLinux())
        GTEST_SKIP() << "the ownership rule is the Linux build's";
    fs::create_directories(working);
    WriteFile(Child("theirs"), "keep");
    if (!GiveFolderToAnotherUser(working))
        GTEST_SKIP() << "giving a folder away needs root";
    EXPECT_EQ(PrepareExportFilePath(&state), paramErr);
    EXPECT_EQ(PrepareProcessedFilePath(&state), paramErr);
    EXPECT_EQ(ReadFile(Child("theirs")), "keep");
}

TEST(ProfileFolderTest, EndsWithOneSeparator) {
    std::string folder = "stale";
    ASSERT_TRUE(GetProfileFolder(folder));
    EXPECT_TRUE(EndsWithBackslash(folder));
    EXPECT_FALSE(EndsWithBackslash(WithoutTrailingBackslash(folder)));
    EXPECT_TRUE(PathExists(folder));
}

TEST(ProfileFolderTest, LinuxReadsHomeAtEveryCall) {
    if (!OnLinux())
        GTEST_SKIP() << "the Windows profile folder comes from the shell";
    const char* saved = std::getenv("HOME");
    const std::string home = saved != nullptr ? saved : "";
    std::string folder;
    SetEnvironmentValue("HOME", "/some/where");
    EXPECT_TRUE(GetProfileFolder(folder));
    EXPECT_EQ(folder, "/some/where/");
    SetEnvironmentValue("HOME", "");
    EXPECT_FALSE(GetProfileFolder(folder));
    EXPECT_EQ(folder, "");
    SetEnvironmentValue("HOME", home);
}

} // namespace
