// Whole filter runs: the product module in the test host, the stand-in program started by
// the module, on every document format, with the program's and the host's faults.
#include "RunFixture.h"

#include "platform/HostProcess.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::int32_t kWidth = 1001; // two segments per row
constexpr std::int32_t kHeight = 3;
constexpr int kRequestsPerTransfer = kHeight * 2;

// A document whose samples cover what the conversion must keep or change: the ends of the
// 16-bit range and 16384, floats outside 0..1 and infinite ones.
Document PatternDocument(EColorMode color, int depth) {
    const int channels = color == eColorRgb ? 3 : 1;
    Document d = MakeDocument(color, depth, kWidth, kHeight, channels);
    const std::uint16_t special16[] = {0, 1, 2, 16384, 32767, 32768};
    const float specialFloat[] = {2.5f, -0.25f, std::numeric_limits<float>::infinity(),
                                  0.0f, 1.0f,   -std::numeric_limits<float>::infinity()};
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            for (int c = 0; c < channels; ++c) {
                std::uint8_t* at = &d.samples[SampleOffset(d, x, y, c)];
                const int i = x * 7 + y * 31 + c * 85;
                if (depth == 8) {
                    *at = static_cast<std::uint8_t>(i % 256);
                } else if (depth == 16) {
                    const std::uint16_t v =
                        x < 6 ? special16[x] : static_cast<std::uint16_t>(i * 131 % 32769);
                    std::memcpy(at, &v, sizeof v);
                } else {
                    const float v = x < 6 ? specialFloat[x] : (i - 500) / 250.0f;
                    std::memcpy(at, &v, sizeof v);
                }
            }
        }
    }
    return d;
}

std::uint16_t Sample16(const Document& d, std::size_t index) {
    std::uint16_t v = 0;
    std::memcpy(&v, &d.samples[index * 2], sizeof v);
    return v;
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

// What a faulty run leaves in a 16-bit RGB document, row by row: nothing, or the copy.
enum ERowsAfter { eUnchanged, eCopied, eAllButLastCopied };

struct FaultCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string mode;
    int firstStart;
    ERowsAfter rows;
};

class FaultTest : public RunTest, public ::testing::WithParamInterface<FaultCase> {};

// The faulty run comes first; a second run in the same host process inverts the document,
// so the final document shows what the first run left, and the open files show that the
// first run closed what it opened.
TEST_P(FaultTest, TheRunEndsWithItsCodeAndTheNextRunSucceeds) {
    const FaultCase& c = GetParam();
    const Document before = PatternDocument(eColorRgb, 16);
    const std::string output = File("after.pnm");
    std::vector<std::string> arguments = {
        "--input",   WriteDocument(before, "before"), "--output",          output, "--runs", "2",
        "--run-env", "2,LUMETRA_APP_MODE=invert",     "--count-open-files"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());

    const HostRun run = Host(arguments, {"LUMETRA_APP_MODE=" + c.mode});
    EXPECT_EQ(run.exitCode, c.firstStart == 0 ? 0 : 1) << run.output;
    EXPECT_EQ(run.Results("start"), (std::vector<int>{c.firstStart, 0})) << run.output;
    const std::vector<int> openFiles = run.OpenFiles();
    ASSERT_EQ(openFiles.size(), 3u) << run.output;
    EXPECT_EQ(openFiles[1], openFiles[0]) << "the faulty run left a file open";
    EXPECT_EQ(openFiles[2], openFiles[0]);

    const Document after = ReadDocument(output);
    ASSERT_EQ(after.samples.size(), before.samples.size());
    const std::size_t rowSamples = static_cast<std::size_t>(kWidth) * 3;
    for (std::size_t i = 0; i < before.samples.size() / 2; ++i) {
        const bool lastRow = i >= rowSamples * (kHeight - 1);
        const bool copied = c.rows == eCopied || (c.rows == eAllButLastCopied && !lastRow);
        std::uint16_t first = Sample16(before, i);
        if (copied)
            first = Import16(Export16(first));
        const auto inverted = static_cast<std::uint16_t>(65535 - Export16(first));
        ASSERT_EQ(Sample16(after, i), Import16(inverted)) << "sample " << i;
    }
}

const std::string kLastBatch = std::to_string(2 * kRequestsPerTransfer);
const std::string kFirstImportBatch = std::to_string(kRequestsPerTransfer + 1);

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(
        // The program's faults.
        FaultCase{"ProgramLeavesNoResult", {}, "none", 0, eUnchanged},
        FaultCase{"ProgramCrashes", {}, "crash", 0, eUnchanged},
        FaultCase{"ResultWithAnotherHeader", {}, "badheader", -19, eUnchanged},
        FaultCase{"ResultCutShortInTheLastRow", {}, "truncate", -19, eAllButLastCopied},
        FaultCase{"SlowProgram", {}, "sleep=300", 0, eCopied},
        // The host's faults, in the first run only.
        FaultCase{"CancelAtTheFirstBatch",
                  {"--abort-after", "1", "--faults-in-run", "1"},
                  "copy",
                  -128,
                  eUnchanged},
        FaultCase{"CancelAtTheLastBatch",
                  {"--abort-after", kLastBatch, "--faults-in-run", "1"},
                  "copy",
                  -128,
                  eCopied},
        FaultCase{"AdvanceStateFailsInTheExport",
                  {"--advance-error", "2,-36", "--faults-in-run", "1"},
                  "copy",
                  -36,
                  eUnchanged},
        FaultCase{"AdvanceStateFailsInTheImport",
                  {"--advance-error", kFirstImportBatch + ",-108", "--faults-in-run", "1"},
                  "copy",
                  -108,
                  eUnchanged}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

TEST_F(RunTest, UnsupportedDocumentsAndHostsAreRefusedInPrepare) {
    const std::string log = File("program.log");
    struct Case {
        std::vector<std::string> arguments;
        int prepare;
    };
    const Case cases[] = {
        {{"--make", "8x2", "--mode", "cmyk"}, -30201},
        {{"--make", "8x2", "--mode", "lab"}, -30201},
        {{"--make", "8x2", "--mode", "rgb", "--depth", "16", "--no-big-document"}, -50},
    };
    for (const Case& c : cases) {
        const HostRun run = Host(c.arguments, {"LUMETRA_APP_LOG=" + log});
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_EQ(run.Results("prepare"), std::vector<int>{c.prepare}) << run.output;
        EXPECT_TRUE(run.Results("start").empty()) << "a host does not start a refused filter";
    }
    EXPECT_FALSE(FileExists(log)) << "nothing was started";
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
