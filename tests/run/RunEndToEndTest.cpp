// Whole filter runs: the product module in the test host, the stand-in program started by
// the module, on every document format, with the program's and the host's faults.
#include "RunFixture.h"

#include "platform/FileIo.h"
#include "platform/Folders.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostFolders.h"
#include "platform/HostProcess.h"
#include "platform/HostProgramServices.h"
#include "platform/Process.h"
#include "ui/ProblemText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace {

constexpr std::int32_t kWidth = 1001; // two segments per row
constexpr std::int32_t kHeight = 3;
constexpr int kRequestsPerTransfer = kHeight * 2;

Document PatternDocument(EColorMode color, int depth) {
    return PatternDocument(color, depth, kWidth, kHeight);
}

struct FormatCase {
    const char* name;
    EColorMode color;
    int depth;
};

class RoundTripTest : public RunTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(RoundTripTest, TheDocumentComesBackThroughTheProgram) {
    const FormatCase& c = GetParam();
    const Document before = PatternDocument(c.color, c.depth);
    const std::string input = WriteDocument(before, "before");
    const std::string output = File(c.depth == 32 ? "after.pfm" : "after.pnm");

    const HostRun run = Host({"--input", input, "--output", output}, {"LUMETRA_APP_MODE=copy"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.Results("start"), std::vector<int>{0});
    EXPECT_EQ(run.Results("finish"), std::vector<int>{0});

    const Document after = ReadDocument(output);
    ASSERT_EQ(after.color, before.color) << "a gray document stays gray";
    ASSERT_EQ(after.channels, before.channels);
    ASSERT_EQ(after.depth, before.depth);
    ASSERT_EQ(after.samples.size(), before.samples.size());
    if (c.depth == 32 && c.color == eColorGray) {
        // A gray document takes the mean of the file's three equal samples, with the
        // single-precision third, limited to 0..1.
        for (std::size_t i = 0; i < before.samples.size() / 4; ++i) {
            float v = 0, got = 0;
            std::memcpy(&v, &before.samples[i * 4], 4);
            std::memcpy(&got, &after.samples[i * 4], 4);
            const float third = 1.0f / 3.0f;
            const float sum = (v + v) + v;
            const float mean = sum * third;
            const float expected = mean < 0.0f ? 0.0f : (mean > 1.0f ? 1.0f : mean);
            ASSERT_EQ(got, expected) << "sample " << i << " of value " << v;
        }
        return;
    }
    if (c.depth != 16) {
        EXPECT_TRUE(after.samples == before.samples) << "8-bit and float samples are kept";
        return;
    }
    for (std::size_t i = 0; i < before.samples.size() / 2; ++i)
        ASSERT_EQ(Sample16(after, i), Import16(Export16(Sample16(before, i)))) << "sample " << i;
    // The worked values: 16384 goes out as 32767 and comes back one lower; the ends survive.
    EXPECT_EQ(Sample16(after, 3 * (before.channels)), 16383);
    EXPECT_EQ(Sample16(after, 0), 0);
    EXPECT_EQ(Sample16(after, 5 * before.channels), 32768);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RoundTripTest,
    ::testing::Values(FormatCase{"Rgb8", eColorRgb, 8}, FormatCase{"Rgb16", eColorRgb, 16},
                      FormatCase{"Rgb32", eColorRgb, 32}, FormatCase{"Gray8", eColorGray, 8},
                      FormatCase{"Gray16", eColorGray, 16}, FormatCase{"Gray32", eColorGray, 32}),
    [](const ::testing::TestParamInfo<FormatCase>& param) {
        return std::string(param.param.name);
    });

// What stands in the way of a run before it starts.
enum ESetup {
    eSetupNone,
    eSetupWorkingFolderIsAFile,
    eSetupTempFolderMissing,
    eSetupWorkingFolderHeld,
    eSetupNoSettings,
    eSetupSettingsEmpty,
    eSetupSettings1022,
    eSetupSettings1023,
    eSetupSettingsWithByteOrderMark,
    eSetupSettingsWithLineFeeds,
    eSetupSettingsWithBrackets,
    eSetupSettingsFifo,
    eSetupProgramMissing,
};

// No such file: ENOENT on Linux and ERROR_FILE_NOT_FOUND on Windows have the same number.
constexpr std::uint32_t kFileNotFound = 2;

constexpr std::size_t kAllPixels = std::numeric_limits<std::size_t>::max();

struct FaultCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string mode;
    int firstStart;
    std::size_t copiedPixels; // leading pixels the faulty run delivered
    ESetup setup = eSetupNone;
    std::vector<int> reenteredStarts = {};
    bool linuxOnly = false; // the stand-in makes FIFOs and symbolic links there only
};

// The settings file for the case: the stand-in's folder, in the way the case spoils it.
std::string SettingsBytes(ESetup setup, const std::string& folder) {
    const std::string basic = "[General]\r\nApplicationPath=" + folder + "\r\n";
    const auto padded = [&basic](std::size_t size) {
        return basic + "; " + std::string(size - basic.size() - 4, 'c') + "\r\n";
    };
    switch (setup) {
    case eSetupSettingsEmpty:
        return "";
    case eSetupSettings1022:
        return padded(1022);
    case eSetupSettings1023:
        return padded(1023);
    case eSetupSettingsWithByteOrderMark:
        return "\xEF\xBB\xBF" + basic;
    case eSetupSettingsWithLineFeeds:
        return "[General]\nApplicationPath=" + folder + "\n";
    case eSetupSettingsWithBrackets:
        return "[General]\r\nApplicationPath=" + folder + PathSeparator() + "[2]\r\n";

    default:
        return basic;
    }
}

class FaultTest : public RunTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    ~FaultTest() override {
        if (heldLock != -1)
            OsCloseFile(heldLock);
    }

    // The one warning the spoilt setting gives the user, with the file or folder in it.
    std::string ExpectedWarning(ESetup setup) const {
        const std::string working = temp + "lumetrafilter";
        const std::string settings = profile->FilePath();
        const auto text = [](ERunProblem cause, const std::string& path,
                             const std::string& detail = {}) {
            return ProblemText({cause, path, detail}, ProblemTableText(cause));
        };
        switch (setup) {
        case eSetupWorkingFolderIsAFile:
        case eSetupTempFolderMissing:
            return text(eProblemTempFolder, working, OsTempFolderVariable());
        case eSetupWorkingFolderHeld:
            return text(eProblemFolderBusy, working);
        case eSetupNoSettings:
            return text(eProblemSettingsMissing, settings);
        case eSetupSettingsEmpty:
            return text(eProblemSettingsNoKey, settings);
        case eSetupSettings1023:
            return text(eProblemSettingsTooLong, settings);
        case eSetupSettingsWithByteOrderMark:
            return text(eProblemSettingsByteOrderMark, settings);
        case eSetupSettingsWithLineFeeds:
            return text(eProblemSettingsLineEnds, settings);
        case eSetupSettingsWithBrackets:
            return text(eProblemSettingsBrackets, settings);
        case eSetupSettingsFifo:
            return text(eProblemSettingsUnreadable, settings);
        case eSetupProgramMissing:
            return text(eProblemProgramNotStarted,
                        WithSeparator(scratch.Sub("no program")) + "Lumetra.exe",
                        OsSystemErrorText(kFileNotFound));
        default:
            return {};
        }
    }

    // Another host's run, played by this process: it holds the working folder's lock.
    std::int32_t heldLock = -1;

    // Spoils the setting for the first run; returns the host switches that give the
    // second run a sound one again where the product reads it afresh.
    std::vector<std::string> Spoil(ESetup setup) {
        switch (setup) {
        case eSetupNone:
            return {};
        case eSetupWorkingFolderIsAFile: {
            WriteFileBytes(temp + "lumetrafilter", "not a folder");
            std::vector<std::string> recovery;
            for (const std::string& name : TemporaryFolderVariables())
                recovery.insert(recovery.end(),
                                {"--run-env", "2," + name + "=" + scratch.Sub("temp 2", true)});
            return recovery;
        }
        case eSetupTempFolderMissing:
        case eSetupWorkingFolderHeld: {
            if (setup == eSetupTempFolderMissing) {
                temp = WithSeparator(scratch.Sub("missing") + PathSeparator() + "deeper");
                tempOverride.reset(); // gives the variables back before they are set again
                tempOverride = std::make_unique<TempFolderOverride>(temp);
            } else {
                const std::string working =
                    scratch.Sub("temp folder") + PathSeparator() + "lumetrafilter";
                std::filesystem::create_directories(working);
                bool busy = false;
                heldLock = OsLockFile((working + PathSeparator() + "Lumetra.lock").c_str(), busy);
                if (heldLock == -1)
                    throw std::runtime_error("cannot hold the working folder's lock");
            }
            std::vector<std::string> recovery;
            for (const std::string& name : TemporaryFolderVariables())
                recovery.insert(recovery.end(),
                                {"--run-env", "2," + name + "=" + scratch.Sub("temp 2", true)});
            return recovery;
        }
        case eSetupNoSettings:
            profile->Remove();
            break;
        case eSetupProgramMissing:
            // A folder that exists and holds no program.
            profile->WriteApplicationPath(scratch.Sub("no program", true));
            break;
        case eSetupSettingsFifo:
            profile->Remove();
            std::filesystem::create_directories(profile->FolderPath());
            if (!MakeFifo(profile->FilePath()))
                throw std::runtime_error("no FIFO for the settings file");
            break;
        default:
            profile->Write(SettingsBytes(setup, ExecutableFolder()));
            break;
        }
        // Under Wine the profile is the prefix's one, so the second run meets the same file.
        const std::string variable = ProfileFolderVariable();
        if (variable.empty())
            return {};
        const std::string home = scratch.Sub("profile 2", true);
        const std::string folder = home + PathSeparator() + "Lumetra";
        std::filesystem::create_directories(folder);
        WriteFileBytes(folder + PathSeparator() + "plugin.ini",
                       "[General]\r\nApplicationPath=" + ExecutableFolder() + "\r\n");
        return {"--run-env", "2," + variable + "=" + home};
    }
};

// The faulty run comes first; a second run in the same host process inverts the document,
// so the final document shows what the first run left, and the open files show that the
// first run closed what it opened.
TEST_P(FaultTest, TheRunEndsWithItsCodeAndTheNextRunSucceeds) {
    const FaultCase& c = GetParam();
    if (c.linuxOnly && ProfileFolderVariable().empty())
        GTEST_SKIP() << "the stand-in makes no FIFOs or symbolic links on Windows";
    const Document before = PatternDocument(eColorRgb, 16);
    const std::string output = File("after.pnm");
    std::vector<std::string> arguments = {
        "--input",   WriteDocument(before, "before"), "--output",          output, "--runs", "2",
        "--run-env", "2,LUMETRA_APP_MODE=invert",     "--count-open-files"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const std::vector<std::string> recovery = Spoil(c.setup);
    arguments.insert(arguments.end(), recovery.begin(), recovery.end());
    // Under Wine a settings file stays spoilt for the second run too.
    const bool settingsStaySpoilt =
        c.setup >= eSetupNoSettings && recovery.empty() && c.setup != eSetupSettings1022;

    std::vector<std::string> environment = {"LUMETRA_APP_MODE=" + c.mode};
    if (c.arguments.size() == 2 && c.arguments[1] == "none")
        // Without handle procs the state block comes from the plug-in's own heap, and the
        // host keeps it in the data slot for as long as the host lives: no leak, but the
        // leak checker cannot tell.
        environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    const HostRun run = Host(arguments, environment);
    const int secondStart = settingsStaySpoilt ? c.firstStart : 0;
    EXPECT_EQ(run.exitCode, c.firstStart == 0 && secondStart == 0 ? 0 : 1) << run.output;
    EXPECT_EQ(run.Results("start"), (std::vector<int>{c.firstStart, secondStart})) << run.output;
    EXPECT_EQ(run.Results("reentered start"), c.reenteredStarts) << run.output;
    // One box for each run the setting spoilt; none for a cancel, a program that left no
    // result, or any other fault of the host or the program.
    std::vector<std::string> expectedWarnings;
    if (c.setup != eSetupNone && c.firstStart != 0)
        expectedWarnings.assign(secondStart != 0 ? 2 : 1, ExpectedWarning(c.setup));
    std::vector<std::string> warnings;
    for (const SeenWarning& warning : run.warnings) {
        warnings.push_back(warning.text);
        EXPECT_TRUE(warning.ownedByHostWindow) << warning.text;
    }
    EXPECT_EQ(warnings, expectedWarnings) << run.output;
    const std::vector<int> openFiles = run.OpenFiles();
    ASSERT_EQ(openFiles.size(), 3u) << run.output;
    EXPECT_EQ(openFiles[1], openFiles[0]) << "the faulty run left a file open";
    EXPECT_EQ(openFiles[2], openFiles[0]);

    const Document first = CopiedPixels(before, c.copiedPixels);
    const Document expected = settingsStaySpoilt ? first : Inverted(first);
    const Document after = ReadDocument(output);
    EXPECT_EQ(FirstDifference(after, expected), -1) << run.output;
}

// A host that gives no window (GIMP's platform data holds 0) still shows the user why the
// run could not go ahead: one box without an owner on Windows, one text on Linux.
TEST_P(FaultTest, WithoutAHostWindowTheWarningStillShows) {
    const FaultCase& c = GetParam();
    if (c.setup == eSetupNone || c.firstStart == 0)
        GTEST_SKIP() << "the case gives no warning";
    if (c.linuxOnly && ProfileFolderVariable().empty())
        GTEST_SKIP() << "Windows has no FIFOs or device links in a folder";
    const std::string input = WriteDocument(PatternDocument(eColorRgb, 16), "before");
    const std::vector<std::string> arguments = {"--input", input, "--output", File("after.pnm"),
                                                "--null-window"};
    Spoil(c.setup);
    const HostRun run = Host(arguments, {"LUMETRA_APP_MODE=" + c.mode});
    EXPECT_EQ(run.Results("start"), std::vector<int>{c.firstStart}) << run.output;
    ASSERT_EQ(run.warnings.size(), 1u) << run.output;
    EXPECT_EQ(run.warnings[0].text, ExpectedWarning(c.setup));
    const bool windows = PathSeparator() == '\\';
    EXPECT_EQ(run.warnings[0].ownerless, windows) << "a box owned by no window";
}

const std::string kLastBatch = std::to_string(2 * kRequestsPerTransfer);
const std::string kFirstImportBatch = std::to_string(kRequestsPerTransfer + 1);
constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(
        // The program's faults.
        FaultCase{"ProgramLeavesNoResult", {}, "none", 0, 0},
        FaultCase{"ProgramCrashes", {}, "crash", 0, 0},
        FaultCase{"ProgramCrashesWhileWritingItsResult", {}, "crashwrite", -19, kPixels - kWidth},
        FaultCase{"ResultWithAnotherHeader", {}, "badheader", -19, 0},
        FaultCase{"ResultIsGarbage", {}, "garbage", -50, 0},
        FaultCase{"ResultCutShortInTheLastRow", {}, "truncate", -19, kPixels - kWidth},
        // The last batch of the last row is its one pixel in the second segment.
        FaultCase{"ResultOneByteShort", {}, "short", -19, kPixels - 1},
        FaultCase{"ResultOneByteLonger", {}, "long", 0, kAllPixels},
        FaultCase{"SlowProgram", {}, "sleep=1500", 0, kAllPixels},
        FaultCase{"ResultIsAFifo", {}, "fifo", 0, 0, eSetupNone, {}, true},
        FaultCase{"ResultIsALinkToDevZero", {}, "devzero", 0, 0, eSetupNone, {}, true},
        // Neither is a result, and the next run removes both.
        FaultCase{"ResultIsAFolder", {}, "folder", 0, 0},
        FaultCase{"ResultIsALinkToTheExport", {}, "link", 0, 0, eSetupNone, {}, true},
        // What the run finds before it starts.
        FaultCase{"WorkingFolderIsAPlainFile", {}, "copy", -23, 0, eSetupWorkingFolderIsAFile},
        FaultCase{"TemporaryFolderMissing", {}, "copy", -50, 0, eSetupTempFolderMissing},
        FaultCase{"WorkingFolderHeldByAnotherRun", {}, "copy", -50, 0, eSetupWorkingFolderHeld},
        FaultCase{"ProgramMissing", {}, "copy", -30901, 0, eSetupProgramMissing},
        FaultCase{"NoSettingsFile", {}, "copy", -30901, 0, eSetupNoSettings},
        FaultCase{"SettingsFileEmpty", {}, "copy", -30901, 0, eSetupSettingsEmpty},
        FaultCase{"SettingsFileOf1022Bytes", {}, "copy", 0, kAllPixels, eSetupSettings1022},
        FaultCase{"SettingsFileOf1023Bytes", {}, "copy", -30901, 0, eSetupSettings1023},
        FaultCase{"SettingsFileWithByteOrderMark",
                  {},
                  "copy",
                  -30901,
                  0,
                  eSetupSettingsWithByteOrderMark},
        FaultCase{"SettingsFileWithLineFeeds", {}, "copy", -30901, 0, eSetupSettingsWithLineFeeds},
        FaultCase{
            "SettingsFolderNameWithBrackets", {}, "copy", -30901, 0, eSetupSettingsWithBrackets},
        FaultCase{"SettingsFileIsAFifo", {}, "copy", -30901, 0, eSetupSettingsFifo, {}, true},
        // The host's faults, in the first run only.
        FaultCase{"CancelAtTheFirstBatch",
                  {"--abort-after", "1", "--faults-in-run", "1"},
                  "copy",
                  -128,
                  0},
        FaultCase{"CancelAtTheLastBatch",
                  {"--abort-after", kLastBatch, "--faults-in-run", "1"},
                  "copy",
                  -128,
                  kAllPixels},
        FaultCase{"AdvanceStateFailsInTheExport",
                  {"--advance-error", "2,-36", "--faults-in-run", "1"},
                  "copy",
                  -36,
                  0},
        FaultCase{"AdvanceStateFailsInTheImport",
                  {"--advance-error", kFirstImportBatch + ",-108", "--faults-in-run", "1"},
                  "copy",
                  -108,
                  0},
        FaultCase{"NoHandleProcs", {"--handle-procs", "none"}, "copy", 0, kAllPixels},
        // The user starts the filter again while the first run is busy.
        FaultCase{"StartAgainDuringTheExport",
                  {"--reenter-start", "3", "--faults-in-run", "1"},
                  "copy",
                  0,
                  kAllPixels,
                  eSetupNone,
                  {-50}},
        FaultCase{"StartAgainDuringTheImport",
                  {"--reenter-start", kFirstImportBatch, "--faults-in-run", "1"},
                  "copy",
                  0,
                  kAllPixels,
                  eSetupNone,
                  {-50}}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

// A 2500-pixel row travels in three batches (1000, 1000, 500): the host cancels, or its
// advanceState fails, after each batch of the export and of the import in turn.
TEST_F(RunTest, CancelAndAdvanceStateErrorsAtEveryBatch) {
    constexpr std::int32_t kWide = 2500;
    const std::size_t batchPixels[] = {1000, 1000, 500};
    constexpr int kBatches = 3 * kHeight;
    const Document before = PatternDocument(eColorRgb, 16, kWide, kHeight);
    const std::string input = WriteDocument(before, "wide");
    const std::string output = File("wide-after.pnm");
    for (bool cancel : {true, false}) {
        for (int batch = 1; batch <= 2 * kBatches; ++batch) {
            SCOPED_TRACE((cancel ? "cancel after batch " : "advanceState error at batch ") +
                         std::to_string(batch));
            const std::vector<std::string> fault =
                cancel
                    ? std::vector<std::string>{"--abort-after", std::to_string(batch)}
                    : std::vector<std::string>{"--advance-error", std::to_string(batch) + ",-36"};
            std::vector<std::string> arguments = {"--input",
                                                  input,
                                                  "--output",
                                                  output,
                                                  "--runs",
                                                  "2",
                                                  "--faults-in-run",
                                                  "1",
                                                  "--run-env",
                                                  "2,LUMETRA_APP_MODE=invert",
                                                  "--count-open-files"};
            arguments.insert(arguments.end(), fault.begin(), fault.end());
            const HostRun run = Host(arguments, {"LUMETRA_APP_MODE=copy"});
            EXPECT_EQ(run.Results("start"), (std::vector<int>{cancel ? -128 : -36, 0}))
                << run.output;
            const std::vector<int> openFiles = run.OpenFiles();
            ASSERT_EQ(openFiles.size(), 3u) << run.output;
            EXPECT_EQ(openFiles[1], openFiles[0]);
            EXPECT_EQ(openFiles[2], openFiles[0]);

            // A cancel comes after its batch was delivered; a failed request delivers
            // nothing. Only the import's batches reach the document.
            const int delivered = batch - kBatches - (cancel ? 0 : 1);
            std::size_t copied = 0;
            for (int b = 0; b < delivered; ++b)
                copied += batchPixels[b % 3];
            const Document after = ReadDocument(output);
            EXPECT_EQ(FirstDifference(after, Inverted(CopiedPixels(before, copied))), -1);
        }
    }
}

TEST_F(RunTest, UnsupportedDocumentsAndHostsAreRefusedInPrepare) {
    const std::string log = File("program.log");
    struct Case {
        std::vector<std::string> arguments;
        int prepare;
    };
    const Case cases[] = {
        {{"--make", "8x2", "--mode", "cmyk"}, -30201},
        {{"--make", "8x2", "--mode", "lab"}, -30201},
        {{"--make", "8x2", "--mode", "cmyk", "--no-big-document"}, -30201},
    };
    for (const Case& c : cases) {
        const HostRun run = Host(c.arguments, {"LUMETRA_APP_LOG=" + log});
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_EQ(run.Results("prepare"), std::vector<int>{c.prepare}) << run.output;
        EXPECT_TRUE(run.Results("start").empty()) << "a host does not start a refused filter";
    }
    EXPECT_FALSE(FileExists(log)) << "nothing was started";
}

// The lines of a request log, each as its words.
std::vector<std::vector<std::string>> LogWords(const std::string& log) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream text(log);
    for (std::string line; std::getline(text, line);) {
        std::istringstream words(line);
        lines.emplace_back(std::istream_iterator<std::string>(words),
                           std::istream_iterator<std::string>());
    }
    return lines;
}

// What a run leaves behind: the document, the exchange file it wrote and the one it read.
struct RunTrace {
    std::string document;
    std::string exported;
    std::string processed;
    std::string requests;
};

// Hosts without the big-document block, alone and with what such hosts also lack (the
// basic suite, handle procs) or add (a transparency plane beside the colour planes), get
// exactly what a host with the block gets: the run works in 16-bit coordinates instead.
TEST_F(RunTest, HostsWithoutTheBigDocumentBlockGetWhatTheBlockGives) {
    const std::vector<std::vector<std::string>> smallHosts = {
        {"--no-big-document"},
        {"--no-big-document", "--no-basic-suite"},
        {"--no-big-document", "--handle-procs", "none"},
        {"--no-big-document", "--planes", "+1"},
    };
    struct Shape {
        EColorMode color;
        int depth;
        std::int32_t width;
        std::int32_t height;
    };
    std::vector<Shape> shapes;
    for (EColorMode color : {eColorRgb, eColorGray})
        for (int depth : {8, 16, 32})
            shapes.push_back({color, depth, kWidth, kHeight});
    shapes.push_back({eColorRgb, 16, 32767, 2}); // the widest document 16 bits can describe

    const std::string requests = File("requests.txt");
    const auto run = [&](const Document& before, const std::vector<std::string>& host) {
        const int planes = before.color == eColorRgb ? 3 : 1;
        const std::string extension = before.depth == 32 ? "pfm" : "ppm";
        std::vector<std::string> arguments = {"--input",       WriteDocument(before, "before"),
                                              "--output",      File("after"),
                                              "--request-log", requests};
        for (const std::string& argument : host) {
            if (argument != "+1") {
                arguments.push_back(argument);
                continue;
            }
            arguments.push_back(std::to_string(planes + 1));
            arguments.push_back("--layer-planes");
            arguments.push_back(std::to_string(planes) + "," + std::to_string(planes));
        }
        std::filesystem::remove(requests);
        // The plug-in's own heap holds the state block of a host without handle procs
        // for as long as the host keeps the slot.
        const HostRun result = Host(arguments, {"ASAN_OPTIONS=detect_leaks=0"});
        EXPECT_EQ(result.exitCode, 0) << result.output;
        const std::string folder = temp + "lumetrafilter" + PathSeparator();
        return RunTrace{
            ReadFileBytes(File("after")), ReadFileBytes(folder + "Lumetra." + extension),
            ReadFileBytes(folder + "Lumetra_Processed." + extension), ReadFileBytes(requests)};
    };

    for (const Shape& shape : shapes) {
        const Document before =
            PatternDocument(shape.color, shape.depth, shape.width, shape.height, 7);
        const RunTrace withBlock = run(before, {});
        ASSERT_FALSE(withBlock.processed.empty());
        ASSERT_NE(withBlock.document, ReadFileBytes(WriteDocument(before, "before")))
            << "the program changed the document";
        const std::string hiPlane = before.color == eColorRgb ? "2" : "0";
        for (const std::vector<std::string>& host : smallHosts) {
            SCOPED_TRACE(std::string(shape.color == eColorRgb ? "RGB " : "gray ") +
                         std::to_string(shape.depth) + "-bit " + std::to_string(shape.width) +
                         " wide, " + host.back());
            const RunTrace small = run(before, host);
            EXPECT_TRUE(small.exported == withBlock.exported) << "the same exchange file";
            EXPECT_TRUE(small.processed == withBlock.processed);
            EXPECT_TRUE(small.document == withBlock.document) << "the same document";
            // As many requests as with the block, each for the colour planes only, in the
            // 16-bit rectangles.
            const std::vector<std::vector<std::string>> lines = LogWords(small.requests);
            EXPECT_EQ(lines.size(), LogWords(withBlock.requests).size());
            for (const std::vector<std::string>& words : lines) {
                ASSERT_EQ(words.size(), 22u);
                EXPECT_EQ(words[5] + words[6] + words[12] + words[13],
                          "0" + hiPlane + "0" + hiPlane);
                EXPECT_EQ(words[19], "16");
            }
        }
    }
}

TEST_F(RunTest, APathThatCannotBeFormedStopsBeforeAnythingIsWritten) {
    // The temporary folder names a folder that does not exist: the working folder cannot
    // be created inside it.
    const std::string missing = scratch.Sub("missing");
    TempFolderOverride unusable(WithSeparator(missing) + "deeper" + PathSeparator());
    const std::string log = File("program.log");
    const HostRun run =
        Host({"--make", "8x2", "--mode", "rgb", "--depth", "16"}, {"LUMETRA_APP_LOG=" + log});
    EXPECT_EQ(run.Results("start"), std::vector<int>{-50}) << run.output;
    EXPECT_FALSE(FileExists(missing)) << "nothing was created";
    EXPECT_FALSE(FileExists(log)) << "nothing was started";
}

TEST_F(RunTest, WithoutASettingsFileNothingIsStarted) {
    profile->Remove();
    const Document before = PatternDocument(eColorGray, 8);
    const std::string output = File("after.pnm");
    const std::string log = File("program.log");
    const HostRun run = Host({"--input", WriteDocument(before, "before"), "--output", output},
                             {"LUMETRA_APP_LOG=" + log});
    EXPECT_EQ(run.Results("start"), std::vector<int>{-30901}) << run.output;
    EXPECT_FALSE(FileExists(log));
    EXPECT_TRUE(ReadDocument(output).samples == before.samples);
    // The export and the job document were written before the launch, and stay.
    EXPECT_TRUE(FileExists(temp + "lumetrafilter" + PathSeparator() + "Lumetra.ppm"));
    EXPECT_TRUE(FileExists(temp + "lumetrafilter" + PathSeparator() + "Data.lif"));
}

TEST_F(RunTest, TheProgramGetsTheJobDocumentAsItsOneArgument) {
    const std::string log = File("program.log");
    const HostRun run = Host({"--make", "8x2", "--mode", "gray", "--depth", "32"},
                             {"LUMETRA_APP_LOG=" + log, "LUMETRA_APP_MODE=copy"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string text = ReadFileBytes(log);
    EXPECT_NE(text.find("argc 2"), std::string::npos) << text;
    const std::string job = temp + "lumetrafilter" + PathSeparator() + "Data.lif";
    EXPECT_NE(text.find("argv[1] " + job), std::string::npos) << text;
}

} // namespace
