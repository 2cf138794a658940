// The export and the import through the test host, driven by the test module: each of
// the six document formats exported whole and compared byte for byte with a file built
// here from the input document, the requests the host saw, and the processed files the
// import must accept or refuse.
#include "bridge/FileNames.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostFolders.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string WithoutLastByte(const std::string& bytes) {
    return bytes.substr(0, bytes.size() - 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string BigEndian16(std::uint32_t value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

std::string LittleEndianFloat(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((bits >> shift) & 0xFF);
    return bytes;
}

// A document as the test writes it for the host: `channels` samples per pixel, top row
// first, each sample given as the value the host will hold.
struct TestDocument {
    bool gray;
    int depth; // 8, 16 (host range 0..32768) or 32
    std::int32_t width, height;
    std::vector<double> samples;

    int Channels() const { return gray ? 1 : 3; }
    double At(std::int32_t x, std::int32_t y, int c) const {
        return samples[(static_cast<std::size_t>(y) * width + x) * Channels() + c];
    }

    // PGM/PPM (16-bit values with maxval 32768, so the host keeps them exactly) or PFM
    // (bottom row first, as the published format stores it).
    std::string File() const {
        std::string bytes;
        if (depth == 32) {
            bytes = std::string(gray ? "Pf" : "PF") + "\n" + std::to_string(width) + " " +
                    std::to_string(height) + "\n-1.0\n";
            for (std::int32_t y = height - 1; y >= 0; --y)
                for (std::int32_t x = 0; x < width; ++x)
                    for (int c = 0; c < Channels(); ++c)
                        bytes += LittleEndianFloat(static_cast<float>(At(x, y, c)));
            return bytes;
        }
        bytes = std::string(gray ? "P5" : "P6") + "\n" + std::to_string(width) + " " +
                std::to_string(height) + "\n" + (depth == 8 ? "255" : "32768") + "\n";
        for (double value : samples) {
            const auto v = static_cast<std::uint32_t>(value);
            bytes += depth == 8 ? std::string(1, static_cast<char>(v)) : BigEndian16(v);
        }
        return bytes;
    }

    // What the export must write: 16-bit samples for 8- and 16-bit documents, floats for
    // 32-bit ones, three per pixel, top row first.
    std::string ExpectedExport() const {
        std::string bytes = std::string(depth == 32 ? "PF" : "P6") + "\n" + std::to_string(width) +
                            "\n" + std::to_string(height) + "\n" + (depth == 32 ? "-1" : "65535") +
                            "\n";
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const double v = At(x, y, gray ? 0 : c);
                    if (depth == 8)
                        bytes += BigEndian16(static_cast<std::uint32_t>(v) * 257);
                    else if (depth == 16)
                        bytes += BigEndian16(static_cast<std::uint32_t>(
                            std::fmin(static_cast<float>(v * (65535.0 / 32768.0)), 65535.0f)));
                    else
                        bytes += LittleEndianFloat(static_cast<float>(v));
                }
        return bytes;
    }
};

TestDocument MakeDocument(bool gray, int depth, std::int32_t width, std::int32_t height) {
    TestDocument d{gray, depth, width, height, {}};
    const std::size_t count = static_cast<std::size_t>(width) * height * d.Channels();
    for (std::size_t i = 0; i < count; ++i) {
        if (depth == 8)
            d.samples.push_back(static_cast<double>((i * 37 + i / 7) % 256));
        else if (depth == 16)
            d.samples.push_back(static_cast<double>((i * 7919) % 32769));
        else
            d.samples.push_back(static_cast<double>(static_cast<float>(i % 11) * 0.375f - 0.5f));
    }
    // The extremes of each depth.
    d.samples[0] = 0;
    d.samples[1] = depth == 8 ? 255 : depth == 16 ? 32768 : 2.5;
    return d;
}

struct HostRun {
    int exitCode;
    std::vector<std::string> output;
    std::vector<std::string> requests;

    // The start selector's result as the host printed it, or a text saying it is missing.
    std::string StartResult() const {
        for (const std::string& line : output)
            if (line.rfind("filterhost: start result ", 0) == 0)
                return line.substr(25);
        return "(no start call)";
    }
};

class EndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        scratch =
            (fs::temp_directory_path() / (std::string("lumetra-e2e-") + info->name())).string();
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        working = scratch + PathSeparator() + kWorkingFolderName + PathSeparator();
    }
    void TearDown() override {
        std::error_code ignored;
        if (!HasFailure())
            fs::remove_all(scratch, ignored);
    }
    std::string Path(const std::string& name) const { return scratch + PathSeparator() + name; }

    HostRun Run(const std::string& steps, std::vector<std::string> arguments,
                const std::string& processed = "") {
        const std::string module = PluginModuleFileName();
        const std::string extension = module.substr(module.rfind('.'));
        std::vector<std::string> command{ExecutableFolder() + ProgramFileName("filterhost"),
                                         "--plugin",
                                         ExecutableFolder() + "LumetraExchangeTest" + extension,
                                         "--request-log", Path("requests.log")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::vector<std::string> environment =
            TemporaryFolderEnvironment(scratch + PathSeparator());
        environment.push_back("LUMETRA_TEST_STEPS=" + steps);
        environment.push_back("LUMETRA_TEST_PROCESSED=" + processed);
        std::remove(Path("requests.log").c_str());
        HostRun run;
        run.exitCode = RunProgram(command, environment, Path("host-output.txt"));
        run.output = Lines(ReadFile(Path("host-output.txt")));
        run.requests = Lines(ReadFile(Path("requests.log")));
        return run;
    }

    HostRun Export(const TestDocument& document, std::vector<std::string> arguments = {}) {
        WriteFile(Path("input"), document.File());
        arguments.insert(arguments.begin(), {"--input", Path("input")});
        return Run("export", arguments);
    }

    std::string ExportedFile(const char* extension = "ppm") const {
        return ReadFile(working + "Lumetra." + extension);
    }

    std::string scratch;
    std::string working;
};

std::string Request(std::int32_t row, std::int32_t left, std::int32_t right, int hiPlane,
                    int coords = 32) {
    const std::string rect = std::to_string(row) + " " + std::to_string(left) + " " +
                             std::to_string(row + 1) + " " + std::to_string(right) + " 0 " +
                             std::to_string(hiPlane);
    return "in " + rect + " out " + rect + " rate 65536 mask 65536 coords " +
           std::to_string(coords) + " result 0";
}

TEST_F(EndToEndTest, EachFormatIsExportedWhole) {
    struct Case {
        const char* name;
        bool gray;
        int depth;
    };
    const Case cases[] = {{"RGB 8", false, 8}, {"RGB 16", false, 16}, {"RGB 32", false, 32},
                          {"gray 8", true, 8}, {"gray 16", true, 16}, {"gray 32", true, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TestDocument document = MakeDocument(c.gray, c.depth, 1001, 2);
        const HostRun run = Export(document);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.StartResult(), "0");
        const std::string exported = ExportedFile(c.depth == 32 ? "pfm" : "ppm");
        const std::string expected = document.ExpectedExport();
        ASSERT_EQ(exported.size(), expected.size());
        EXPECT_TRUE(exported == expected) << "the exported bytes differ";
        const int hi = c.gray ? 0 : 2;
        EXPECT_EQ(run.requests,
                  (std::vector<std::string>{Request(0, 0, 1000, hi), Request(0, 1000, 1001, hi),
                                            Request(1, 0, 1000, hi), Request(1, 1000, 1001, hi)}));
    }
}

TEST_F(EndToEndTest, RowSegmentsAndCoordinates) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::int32_t width;
        int coords;
    };
    const Case cases[] = {
        {"2500 pixels", {"--make", "2500x3", "--mode", "rgb", "--depth", "16"}, 2500, 32},
        {"1000 pixels", {"--make", "1000x3", "--mode", "rgb", "--depth", "8"}, 1000, 32},
        {"16-bit coordinates",
         {"--make", "2500x3", "--mode", "rgb", "--depth", "8", "--coords16"},
         2500,
         16},
        {"layer with transparency",
         {"--make", "1001x3", "--mode", "rgb", "--depth", "8", "--planes", "4"},
         1001,
         32},
        {"selection",
         {"--make", "1001x3", "--mode", "rgb", "--depth", "32", "--selection", "1,1,2,2"},
         1001,
         32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HostRun run = Run("export", c.arguments);
        EXPECT_EQ(run.StartResult(), "0");
        std::vector<std::string> expected;
        for (std::int32_t row = 0; row < 3; ++row)
            for (std::int32_t left = 0; left < c.width; left += 1000)
                expected.push_back(Request(row, left, std::min(left + 1000, c.width), 2, c.coords));
        EXPECT_EQ(run.requests, expected);
        const bool floats = c.name == std::string("selection");
        const std::string header = std::string(floats ? "PF" : "P6") + "\n" +
                                   std::to_string(c.width) + "\n3\n" + (floats ? "-1" : "65535") +
                                   "\n";
        const std::string exported = ExportedFile(floats ? "pfm" : "ppm");
        EXPECT_EQ(exported.substr(0, header.size()), header);
        EXPECT_EQ(exported.size(),
                  header.size() + static_cast<std::size_t>(c.width) * 3 * (floats ? 12 : 6));
    }
}

TEST_F(EndToEndTest, ExportStopsAtTheFirstFailure) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        const char* result;
        std::size_t requests;
        std::size_t batches; // written after the header
    };
    const Case cases[] = {
        {"cancel after the first batch", {"--abort-after", "1"}, "-128", 1, 1},
        {"host error", {"--advance-error", "2,-108"}, "-108", 2, 1},
        {"planes matching neither field", {"--planes", "4", "--layer-planes", "0,0"}, "-50", 0, 0},
    };
    const std::string header = "P6\n2500\n2\n65535\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments{"--make", "2500x2", "--mode", "rgb", "--depth", "8"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const HostRun run = Run("export", arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.StartResult(), c.result);
        EXPECT_EQ(run.requests.size(), c.requests);
        const std::string exported = ExportedFile();
        if (c.batches == 0) {
            EXPECT_EQ(exported, "");
        } else {
            EXPECT_EQ(exported.size(), header.size() + c.batches * 1000 * 6);
            EXPECT_EQ(exported.substr(0, header.size()), header);
        }
    }
}

TEST_F(EndToEndTest, HostWithoutAdvanceState) {
    if (PathSeparator() != '/')
        GTEST_SKIP() << "the warning would wait for a click on Windows";
    const HostRun run = Run("export", {"--make", "3x2", "--no-advance-state"});
    EXPECT_EQ(run.StartResult(), "-50");
    EXPECT_EQ(ExportedFile(), "P6\n3\n2\n65535\n");
    // The user was told why (on Linux the warning goes to standard error).
    bool warned = false;
    for (const std::string& line : run.output)
        warned = warned || line.find("3.0 or later") != std::string::npos;
    EXPECT_TRUE(warned);
}

// The import, on an 8-bit RGB document whose host values the output file shows exactly.
class ImportTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        document = MakeDocument(false, 8, 1001, 3);
        WriteFile(Path("input"), document.File());
    }
    // A processed file: header, then for every sample the exchange value v × 257 + 3,
    // whose high byte (what the import keeps) is 255 - v.
    std::string Processed(const std::string& header, std::size_t samples) const {
        std::string bytes = header;
        for (std::size_t i = 0; i < samples; ++i) {
            const auto v =
                255u - static_cast<std::uint32_t>(document.samples[i % document.samples.size()]);
            bytes += BigEndian16(v * 256 + 3);
        }
        return bytes;
    }
    HostRun Import(const std::string& processed, std::vector<std::string> arguments = {}) {
        WriteFile(Path("processed"), processed);
        arguments.insert(arguments.end(), {"--input", Path("input"), "--output", Path("output")});
        return Run("import", arguments, Path("processed"));
    }
    // The output's samples: its last bytes, whatever header the host wrote.
    std::string OutputSamples() const {
        const std::string output = ReadFile(Path("output"));
        const std::size_t count = document.samples.size();
        return output.size() > count ? output.substr(output.size() - count) : "(no output)";
    }
    std::string Inverted(std::size_t samples) const {
        std::string bytes;
        for (std::size_t i = 0; i < document.samples.size(); ++i) {
            const auto v = static_cast<std::uint32_t>(document.samples[i]);
            bytes += static_cast<char>(i < samples ? 255 - v : v);
        }
        return bytes;
    }
    TestDocument document;
    const std::size_t rowSamples = 1001 * 3;
    const std::string matching = "P6\n1001\n3\n65535\n";
};

TEST_F(ImportTest, MatchingFileIsDeliveredTopRowFirst) {
    const HostRun run = Import(Processed(matching, 3 * rowSamples) + "excess is ignored");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.StartResult(), "0");
    EXPECT_TRUE(OutputSamples() == Inverted(3 * rowSamples));
    ASSERT_EQ(run.requests.size(), 6u);
    EXPECT_EQ(run.requests[3], Request(1, 1000, 1001, 2));
}

TEST_F(ImportTest, FilesThatDoNotMatchAreRefused) {
    struct Case {
        const char* name;
        std::string file;
        const char* result;
        std::size_t deliveredSamples;
    };
    const Case cases[] = {
        {"one pixel narrower", Processed("P6\n1000\n3\n65535\n", 3 * 1000 * 3), "-19", 0},
        {"maxval 255 for an 8-bit document", Processed("P6\n1001\n3\n255\n", 3 * rowSamples), "-19",
         0},
        {"PF header", Processed("PF\n1001\n3\n-1\n", 6 * rowSamples), "-19", 0},
        {"CRLF header", Processed("P6\r\n1001\r\n3\r\n65535\r\n", 3 * rowSamples), "-19", 0},
        {"truncated in its last row", WithoutLastByte(Processed(matching, 3 * rowSamples)), "-19",
         2 * rowSamples + 1000 * 3},
        {"ends inside the header", "P6\n1001\n", "-50", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HostRun run = Import(c.file);
        EXPECT_EQ(run.StartResult(), c.result);
        EXPECT_TRUE(OutputSamples() == Inverted(c.deliveredSamples));
    }
}

TEST_F(ImportTest, MissingFileEndsTheRunQuietly) {
    const HostRun run =
        Run("import", {"--input", Path("input"), "--output", Path("output")}, Path("no-such-file"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.StartResult(), "0");
    EXPECT_TRUE(run.requests.empty());
    EXPECT_TRUE(OutputSamples() == Inverted(0));
}

TEST_F(EndToEndTest, ImportIntoOtherDepths) {
    // A 16-bit document refuses a PF file; a gray document averages the three samples
    // into plane 0.
    WriteFile(Path("processed"), "PF\n2\n1\n-1\n" + std::string(24, '\0'));
    HostRun run =
        Run("import", {"--make", "2x1", "--mode", "rgb", "--depth", "16"}, Path("processed"));
    EXPECT_EQ(run.StartResult(), "-19");

    WriteFile(Path("processed"), "P6\n2\n1\n65535\n" + BigEndian16(0x0AFF) + BigEndian16(0x1400) +
                                     BigEndian16(0x1F00) + BigEndian16(0xFF00) + BigEndian16(0) +
                                     BigEndian16(0));
    run = Run("import",
              {"--make", "2x1", "--mode", "gray", "--depth", "8", "--output", Path("gray.pgm")},
              Path("processed"));
    EXPECT_EQ(run.StartResult(), "0");
    EXPECT_EQ(run.requests, (std::vector<std::string>{Request(0, 0, 2, 0)}));
    const std::string gray = ReadFile(Path("gray.pgm"));
    ASSERT_GE(gray.size(), 2u);
    EXPECT_EQ(gray.substr(gray.size() - 2), std::string("\x14\x55")); // 20 and 85
}

} // namespace
