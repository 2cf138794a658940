// What a run finds of an earlier one in the working folder: a file under one of its names
// that cannot be removed, a folder or a link there, and what a run cut short by a full
// disk leaves. Each case plays the user's sequence in separate starts of the test host:
// a run, the fault, a run that must not take what the earlier one left, and a run once
// the fault is mended.
#include "RunFixture.h"

#include "platform/HostFolders.h"
#include "platform/HostProcess.h"
#include "platform/HostProgramServices.h"
#include "ui/ProblemText.h"

#include <cstdlib>
#include <filesystem>

namespace {

constexpr std::int32_t kWidth = 1001;
constexpr std::int32_t kHeight = 3;

// What stands under the file's name after the first run.
enum EBlock {
    eBlockHeld,        // the file, held by another program (Linux: immutable)
    eBlockFolder,      // a folder with a file in it
    eBlockEmptyFolder, // a folder with nothing in it
    eBlockLink,        // a symbolic link to a copy of the first run's result (Linux)
};

struct BlockCase {
    const char* name;
    const char* file; // in the working folder
    EBlock block;
    int blockedStart; // the code of the run that meets it
};

class EarlierFileTest : public RunTest, public ::testing::WithParamInterface<BlockCase> {
protected:
    ~EarlierFileTest() override { ReleaseFile(hold); }

    // Starts the host on `input` with the program in `mode`; the document goes to after.pnm.
    HostRun Run(const std::string& input, const std::string& mode) {
        return Host({"--input", input, "--output", File("after.pnm"), "--count-open-files"},
                    {"LUMETRA_APP_MODE=" + mode, "LUMETRA_APP_LOG=" + File("program.log")});
    }

    // The run and the files it left open: one count before the run, one after.
    static void ExpectNoFileLeftOpen(const HostRun& run) {
        const std::vector<int> openFiles = run.OpenFiles();
        ASSERT_EQ(openFiles.size(), 2u) << run.output;
        EXPECT_EQ(openFiles[1], openFiles[0]) << run.output;
    }

    std::intptr_t hold = -1;
};

// Document A is inverted by the first run; then its result (or another file of that run)
// cannot be removed, and the program of the run on B leaves no result. B must stay as it
// was, and the user must learn which file is in the way.
TEST_P(EarlierFileTest, OnlyThisRunsResultReachesTheDocument) {
    const BlockCase& c = GetParam();
    const std::string path = temp + "lumetrafilter" + PathSeparator() + c.file;
    const Document a = PatternDocument(eColorRgb, 16, kWidth, kHeight, 1);
    const Document b = PatternDocument(eColorRgb, 16, kWidth, kHeight, 2);
    const std::string inputA = WriteDocument(a, "a");
    const std::string inputB = WriteDocument(b, "b");

    const HostRun first = Run(inputA, "invert");
    ASSERT_EQ(first.Results("start"), std::vector<int>{0}) << first.output;
    ASSERT_TRUE(FileExists(path));

    namespace fs = std::filesystem;
    switch (c.block) {
    case eBlockHeld: {
        std::string why;
        hold = HoldFile(path, why);
        if (hold == -1)
            GTEST_SKIP() << why;
        break;
    }
    case eBlockFolder:
    case eBlockEmptyFolder:
        fs::remove(path);
        fs::create_directory(path);
        if (c.block == eBlockFolder)
            WriteFileBytes(path + PathSeparator() + "kept.txt", "the user's");
        break;
    case eBlockLink:
        fs::copy_file(path, File("earlier result.ppm"));
        fs::remove(path);
        if (!MakeSymbolicLink(File("earlier result.ppm"), path))
            GTEST_SKIP() << "no symbolic links on this system";
        break;
    }
    fs::remove(File("program.log"));

    const HostRun second = Run(inputB, "none");
    EXPECT_EQ(second.Results("start"), std::vector<int>{c.blockedStart}) << second.output;
    EXPECT_EQ(FirstDifference(ReadDocument(File("after.pnm")), b), -1) << "B stays as it was";
    std::vector<std::string> warnings;
    for (const SeenWarning& warning : second.warnings)
        warnings.push_back(warning.text);
    const ERunProblem held = eProblemEarlierFileHeld;
    EXPECT_EQ(warnings, c.blockedStart == 0 ? std::vector<std::string>{}
                                            : std::vector<std::string>{ProblemText(
                                                  {held, path, {}}, ProblemTableText(held))});
    EXPECT_EQ(FileExists(File("program.log")), c.blockedStart == 0)
        << "the program starts only once the names are free";
    ExpectNoFileLeftOpen(second);

    // The user closes the other program or removes what was in the way.
    ReleaseFile(hold);
    hold = -1;
    if (c.block == eBlockFolder)
        fs::remove_all(path);
    const HostRun third = Run(inputB, "invert");
    EXPECT_EQ(third.Results("start"), std::vector<int>{0}) << third.output;
    EXPECT_TRUE(third.warnings.empty());
    EXPECT_EQ(FirstDifference(ReadDocument(File("after.pnm")), Inverted(b)), -1);
    ExpectNoFileLeftOpen(third);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, EarlierFileTest,
    ::testing::Values(
        BlockCase{"ProcessedImageHeld", "Lumetra_Processed.ppm", eBlockHeld, -50},
        BlockCase{"ExportImageHeld", "Lumetra.ppm", eBlockHeld, -50},
        BlockCase{"JobDocumentHeld", "Data.lif", eBlockHeld, -50},
        BlockCase{"FolderWhereTheProcessedImageGoes", "Lumetra_Processed.ppm", eBlockFolder, -50},
        // Nothing is lost by removing these: the run goes ahead, and ends quietly.
        BlockCase{"EmptyFolderWhereTheProcessedImageGoes", "Lumetra_Processed.ppm",
                  eBlockEmptyFolder, 0},
        BlockCase{"LinkWhereTheProcessedImageGoes", "Lumetra_Processed.ppm", eBlockLink, 0}),
    [](const ::testing::TestParamInfo<BlockCase>& param) { return std::string(param.param.name); });

// The small disk that CTest mounts for the run (tests/run/small_disk.sh), as this
// program names it, with its separator; empty when there is none.
std::string SmallDisk() {
    const char* folder = std::getenv("LUMETRA_SMALL_DISK");
    if (folder == nullptr || *folder == '\0')
        return {};
    std::string path = folder;
    if (PathSeparator() == '\\') {
        // Wine shows the whole Unix tree as drive Z:.
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        path = "Z:" + path;
    }
    // With the separator: MinGW's runtime asks the drive's root for a path without it.
    path = WithSeparator(path);
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(path, error);
    return !error && space.capacity <= 1024 * 1024 ? path : std::string();
}

// The disk fills up while the module writes the export: the run ends with the write's
// code before the program is started and leaves the document as it was; once there is
// room again, the next run in the same folder works.
TEST_F(RunTest, TheDiskFillsUpDuringTheExport) {
    const std::string disk = SmallDisk();
    if (disk.empty())
        GTEST_SKIP() << "no small disk mounted (CTest mounts one when it runs as root)";
    temp = disk;
    tempOverride.reset();
    tempOverride = std::make_unique<TempFolderOverride>(temp);
    std::filesystem::remove_all(temp + "lumetrafilter");
    // Room for the first 8 KB of the export's 18 KB.
    const std::string filler = temp + "filler.bin";
    std::filesystem::remove(filler);
    const std::uintmax_t room = std::filesystem::space(temp).available;
    ASSERT_GT(room, 8192u);
    WriteFileBytes(filler, std::string(room - 8192, 'f'));

    const Document before = PatternDocument(eColorRgb, 16, kWidth, kHeight);
    const std::string input = WriteDocument(before, "before");
    const std::string output = File("after.pnm");
    const std::string log = File("program.log");
    const std::vector<std::string> arguments = {"--input", input, "--output", output,
                                                "--count-open-files"};
    const HostRun full = Host(arguments, {"LUMETRA_APP_MODE=invert", "LUMETRA_APP_LOG=" + log});
    EXPECT_EQ(full.Results("start"), std::vector<int>{-20}) << full.output;
    EXPECT_TRUE(full.warnings.empty());
    EXPECT_FALSE(FileExists(log)) << "nothing was started";
    EXPECT_EQ(FirstDifference(ReadDocument(output), before), -1);
    const std::vector<int> openFiles = full.OpenFiles();
    ASSERT_EQ(openFiles.size(), 2u) << full.output;
    EXPECT_EQ(openFiles[1], openFiles[0]);

    std::filesystem::remove(filler);
    const HostRun next = Host(arguments, {"LUMETRA_APP_MODE=invert"});
    EXPECT_EQ(next.Results("start"), std::vector<int>{0}) << next.output;
    EXPECT_EQ(FirstDifference(ReadDocument(output), Inverted(before)), -1);
    std::filesystem::remove_all(temp + "lumetrafilter");
}

} // namespace
