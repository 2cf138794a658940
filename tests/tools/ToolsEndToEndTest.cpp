// The built tools run as processes, as the other tests will run them: filterhost with
// the copy module (the host's data path end to end, its switches and its refusals), with
// the product module as each host it plays, and the stand-in Lumetra.exe (job document,
// modes, command-line log).
#include "BridgeFixtures.h"
#include "Document.h"
#include "ExchangeImage.h"
#include "GradientDocument.h"
#include "ImageFile.h"
#include "PfmFile.h"
#include "PnmFile.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

bool OnWindows() {
    return PathSeparator() == '\\';
}

std::string ModulePath(const std::string& name) {
    const std::string product = PluginModuleFileName();
    return ExecutableFolder() + name + product.substr(product.find('.'));
}

// A fresh folder for one test, inside the folder of the test program.
std::string Scratch(const std::string& name) {
    const fs::path folder = fs::path(ExecutableFolder()) / "tools-e2e" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string() + PathSeparator();
}

std::string Slurp(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    // Windows programs end their lines with CR LF.
    std::string text;
    for (char c : bytes)
        if (c != '\r')
            text.push_back(c);
    return text;
}

std::string Bytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

struct Result {
    int code;
    std::string output; // standard output and standard error together
};

Result Launch(const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment, const std::string& scratch) {
    const std::string capture = scratch + "output.txt";
    const int code = RunProgram(arguments, environment, capture);
    return {code, Slurp(capture)};
}

Result Host(const std::string& switches, const std::vector<std::string>& environment,
            const std::string& scratch, const std::string& module = "CopyModule") {
    std::vector<std::string> arguments = {ExecutableFolder() + ProgramFileName("filterhost"),
                                          "--plugin", ModulePath(module)};
    std::istringstream in(switches);
    for (std::string word; in >> word;)
        arguments.push_back(word);
    return Launch(arguments, environment, scratch);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The document the copy module's invert mode makes of `document`.
Document Inverted(Document document) {
    for (std::int32_t y = 0; y < document.height; ++y)
        for (std::int32_t x = 0; x < document.width; ++x)
            for (int c = 0; c < document.channels; ++c) {
                std::uint8_t* at = document.samples.data() + SampleOffset(document, x, y, c);
                if (document.depth == 8) {
                    *at = static_cast<std::uint8_t>(255 - *at);
                } else if (document.depth == 16) {
                    std::uint16_t v;
                    std::memcpy(&v, at, 2);
                    v = static_cast<std::uint16_t>(32768 - v);
                    std::memcpy(at, &v, 2);
                } else {
                    float v;
                    std::memcpy(&v, at, 4);
                    v = 1.0f - v;
                    std::memcpy(at, &v, 4);
                }
            }
    return document;
}

std::string FileOf(const Document& document) {
    return document.depth == 32 ? FormatPfm(document) : FormatPnm(document);
}

TEST(FilterHostEndToEndTest, CopiesAndInvertsEveryColourAndDepth) {
    const std::string scratch = Scratch("copies");
    for (const EColorMode color : {eColorRgb, eColorGray})
        for (const int depth : {8, 16, 32}) {
            const std::string mode = color == eColorRgb ? "rgb" : "gray";
            const std::string out = scratch + "out" + (depth == 32 ? ".pfm" : ".pnm");
            const std::string made = " --make 37x9 --mode " + mode + " --depth " +
                                     std::to_string(depth) + " --output " + out;
            const Document gradient = MakeGradientDocument(color, depth, 37, 9);

            Result r = Host(made, {"COPY_MODULE_OPERATION=copy"}, scratch);
            ASSERT_EQ(r.code, 0) << mode << depth << "\n" << r.output;
            EXPECT_EQ(Bytes(out), FileOf(gradient)) << mode << depth;
            EXPECT_NE(r.output.find("filterhost: start result 0\n"), std::string::npos);

            r = Host(made, {"COPY_MODULE_OPERATION=invert"}, scratch);
            ASSERT_EQ(r.code, 0) << r.output;
            EXPECT_EQ(Bytes(out), FileOf(Inverted(gradient))) << mode << depth;
        }
}

TEST(FilterHostEndToEndTest, AWideDocumentTravelsInSegmentsOfAThousandPixels) {
    const std::string scratch = Scratch("wide");
    const std::string log = scratch + "requests.txt";
    const Result r =
        Host("--make 2500x3 --depth 16 --request-log " + log + " --output " + scratch + "out.ppm",
             {"COPY_MODULE_OPERATION=invert"}, scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    const std::vector<std::string> lines = Lines(Slurp(log));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0],
              "in 0 0 1 1000 0 2 out 0 0 1 1000 0 2 rate 65536 mask 65536 coords 32 result 0");
    EXPECT_EQ(
        lines[2],
        "in 0 2000 1 2500 0 2 out 0 2000 1 2500 0 2 rate 65536 mask 65536 coords 32 result 0");
    EXPECT_EQ(
        lines[8],
        "in 2 2000 3 2500 0 2 out 2 2000 3 2500 0 2 rate 65536 mask 65536 coords 32 result 0");
    EXPECT_EQ(Bytes(scratch + "out.ppm"),
              FormatPnm(Inverted(MakeGradientDocument(eColorRgb, 16, 2500, 3))));
}

TEST(FilterHostEndToEndTest, SixteenBitCoordinatesCarryTheSameData) {
    const std::string scratch = Scratch("coords16");
    const Document expected = Inverted(MakeGradientDocument(eColorRgb, 8, 1200, 4));
    for (const char* host : {"--coords16", "--no-big-document"}) {
        const std::string log = scratch + "requests.txt";
        fs::remove(log);
        const Result r = Host(std::string(host) + " --make 1200x4 --request-log " + log +
                                  " --output " + scratch + "out.ppm",
                              {"COPY_MODULE_OPERATION=invert"}, scratch);
        ASSERT_EQ(r.code, 0) << host << "\n" << r.output;
        const std::vector<std::string> lines = Lines(Slurp(log));
        ASSERT_EQ(lines.size(), 8u) << host;
        for (const std::string& line : lines)
            EXPECT_NE(line.find("coords 16 result 0"), std::string::npos) << host << ": " << line;
        EXPECT_EQ(Bytes(scratch + "out.ppm"), FormatPnm(expected)) << host;
    }
}

TEST(FilterHostEndToEndTest, ImageFilesComeBackInTheirOwnFormat) {
    const std::string scratch = Scratch("files");
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Document gray16 = MakeGradientDocument(eColorGray, 16, 20, 6);
    const Case cases[] = {
        {"rgb8.ppm", FormatPnm(MakeGradientDocument(eColorRgb, 8, 21, 5))},
        {"gray16.pgm", FormatPnm(gray16)},
        {"rgb32.pfm", FormatPfm(MakeGradientDocument(eColorRgb, 32, 13, 7))},
        {"gray32.pfm", FormatPfm(MakeGradientDocument(eColorGray, 32, 3, 2))},
        {"maxval1000.pgm", std::string("P5\n2 1\n1000\n\x03\xE8\x01\xF4", 16)},
    };
    for (const Case& c : cases) {
        const std::string in = scratch + c.name;
        ASSERT_TRUE(WriteWholeFile(in, c.bytes));
        const std::string out = scratch + "out-" + c.name;
        const Result r =
            Host("--input " + in + " --output " + out + " --preview " + scratch + "preview.png",
                 {"COPY_MODULE_OPERATION=copy"}, scratch);
        ASSERT_EQ(r.code, 0) << c.name << "\n" << r.output;
        Document read;
        EImageFormat format;
        std::string error;
        ASSERT_TRUE(ReadImageFile(in, read, format, error)) << error;
        EXPECT_EQ(Bytes(out), format == eFormatPfm ? FormatPfm(read) : FormatPnm(read)) << c.name;
        EXPECT_EQ(Bytes(scratch + "preview.png").substr(0, 4), "\x89PNG") << c.name;
    }
    EXPECT_EQ(Bytes(scratch + "out-maxval1000.pgm"),
              std::string("P5\n2 1\n65535\n\xFF\xFF\x80\x00", 17));
}

TEST(FilterHostEndToEndTest, ContinueCallsSelectionsAlphaAndRepeatedRuns) {
    const std::string scratch = Scratch("protocol");
    const std::string out = scratch + "out.ppm";
    // The older protocol, on a selection only.
    Result r = Host(
        "--make 9x6 --selection 1,2,4,6 --output " + out,
        {"COPY_MODULE_OPERATION=invert", "COPY_MODULE_STYLE=continue", "COPY_MODULE_SEGMENT=3"},
        scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    const Document original = MakeGradientDocument(eColorRgb, 8, 9, 6);
    const Document inverted = Inverted(original);
    Document expected = original;
    for (std::int32_t y = 1; y < 4; ++y)
        for (std::int32_t x = 2; x < 6; ++x)
            for (int c = 0; c < 3; ++c)
                expected.samples[SampleOffset(expected, x, y, c)] =
                    inverted.samples[SampleOffset(inverted, x, y, c)];
    EXPECT_EQ(Bytes(out), FormatPnm(expected));
    std::size_t continues = 0;
    for (const std::string& line : Lines(r.output))
        continues += line == "filterhost: continue result 0" ? 1 : 0;
    EXPECT_EQ(continues, 6u) << "3 rows of 2 segments";

    // Two runs in one process invert twice; alpha planes travel too.
    r = Host("--make 9x6 --planes 4 --runs 2 --output " + out, {"COPY_MODULE_OPERATION=invert"},
             scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Bytes(out), FormatPnm(original));
    EXPECT_EQ(Lines(r.output).front(), "filterhost: parameters result 0");
    EXPECT_EQ(r.output.find("parameters"), r.output.rfind("parameters"))
        << "asked once per process";
    EXPECT_NE(r.output.find("filterhost: run 2 took "), std::string::npos);
}

TEST(FilterHostEndToEndTest, PluginResultsBecomeExitCodes) {
    const std::string scratch = Scratch("results");
    struct Case {
        const char* switches;
        int code;
        const char* line;
    };
    const Case cases[] = {
        {"--make 30x30 --abort-after 2", 1, "filterhost: start result -128"},
        {"--make 30x30 --advance-error 3,-108", 1, "filterhost: start result -108"},
        {"--make 30x30 --no-advance-state", 1, "filterhost: start result -30900"},
        {"--make 30x30 --mode cmyk", 1, "filterhost: prepare result -30101"},
        {"--make 30x30 --mode lab --depth 16", 1, "filterhost: prepare result -30101"},
        {"--about", 0, "filterhost: about result 0"},
        {"--about --no-platform-data", 1, "filterhost: about result -50"},
    };
    for (const Case& c : cases) {
        const Result r = Host(c.switches, {}, scratch);
        EXPECT_EQ(r.code, c.code) << c.switches << "\n" << r.output;
        EXPECT_NE(r.output.find(std::string(c.line) + "\n"), std::string::npos)
            << c.switches << "\n"
            << r.output;
    }
}

TEST(FilterHostEndToEndTest, InfoShowsWhatTheHostFound) {
    const std::string scratch = Scratch("info");
    const Result r = Host("--info", {}, scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    if (OnWindows()) {
        EXPECT_EQ(r.output, "filterhost: category Test Modules\nfilterhost: name Copy Through\n"
                            "filterhost: modes GrayScale RGBColor Gray16 RGB48 RGB96 Gray32\n"
                            "filterhost: entry point PluginMain\n");
    } else {
        EXPECT_EQ(r.output, "filterhost: entry point PluginMain\n");
    }
}

TEST(FilterHostEndToEndTest, WindowTimerMessagesReachTheHostWhileThePluginPumps) {
    const std::string scratch = Scratch("timer");
    const Result r = Host("--make 4x4 --window-timer 20", {"COPY_MODULE_PUMP_MS=400"}, scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("filterhost: prepare window-timer-messages 0\n"), std::string::npos);
    const std::string marker = "filterhost: start window-timer-messages ";
    const std::size_t at = r.output.find(marker);
    ASSERT_NE(at, std::string::npos) << r.output;
    const int messages = std::atoi(r.output.c_str() + at + marker.size());
    if (OnWindows()) {
        EXPECT_GE(messages, 3) << r.output;
    } else {
        EXPECT_EQ(messages, 0);
    }
}

TEST(FilterHostEndToEndTest, BadInputGetsAClearMessageAndExitCodeTwo) {
    const std::string scratch = Scratch("bad");
    ASSERT_TRUE(WriteWholeFile(scratch + "broken.ppm", "P6\n10 10\n255\nshort"));
    struct Case {
        std::string switches;
        std::string module;
        const char* message;
    };
    std::vector<Case> cases = {
        {"--input " + scratch + "missing.ppm", "CopyModule", "cannot read the image file"},
        {"--input " + scratch + "broken.ppm", "CopyModule", "the raster is truncated"},
        {"--make 4x4 --frobnicate", "CopyModule", "unknown switch --frobnicate"},
        {"--make 4x4 --runs many", "CopyModule", "bad value for --runs"},
        {"--make 4x4", "NoSuchModule", "cannot load the module"},
        {"--make 4x4", "NoEntryModule", "does not export its entry point PluginMain"},
        {"--info", "NoEntryModule", "does not export its entry point PluginMain"},
        {"--make 4x4 --selection 0,0,5,5", "CopyModule", "--selection lies outside"},
    };
    if (OnWindows()) {
        cases.push_back({"--make 4x4", "NoPiplModule", "has no PiPL resource"});
        cases.push_back({"--info", "OtherArchModule", "no entry point for this architecture"});
    }
    for (const Case& c : cases) {
        const Result r = Host(c.switches, {}, scratch, c.module);
        EXPECT_EQ(r.code, 2) << c.module << " " << c.switches << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos)
            << c.module << " " << c.switches << "\n"
            << r.output;
        EXPECT_EQ(r.output.find("result"), std::string::npos) << "no plug-in call was made";
    }
}

// The product module, run by each host the test host plays, with the stand-in program
// inverting a document two segments wide: every run leaves exactly the program's result.
// A second run follows as each host makes it: in the same process where the host keeps
// the module (reloaded for Paint.NET), and for GIMP as a Repeat in a new process that finds
// the earlier process's 4-byte slot value and a lock that answers null or foreign memory.
class HostProfileTest : public ::testing::Test {
protected:
    void SetUp() override { profile.WriteApplicationPath(ExecutableFolder()); }

    // The host with the product module, its output, and its app starts counted from the log.
    Result Run(const std::string& switches, const std::string& mode) {
        return Host(switches, {"LUMETRA_APP_MODE=" + mode, "LUMETRA_APP_LOG=" + appLog}, scratch,
                    "Lumetra");
    }

    std::size_t AppStarts() const {
        std::size_t starts = 0;
        for (const std::string& line : Lines(Slurp(appLog)))
            starts += line.compare(0, 8, "cmdline ") == 0 ? 1 : 0;
        return starts;
    }

    const std::string scratch = Scratch("profiles");
    const std::string appLog = scratch + "app-log.txt";
    TempFolderOverride temp{scratch};
    SettingsProfile profile;
};

std::size_t Count(const std::string& text, const std::string& line) {
    std::size_t count = 0;
    for (const std::string& each : Lines(text))
        count += each == line ? 1 : 0;
    return count;
}

TEST_F(HostProfileTest, EveryHostGetsTheProgramsResult) {
    struct Case {
        const char* profile;
        int depth;
        const char* mode;       // of the program; float documents are copied
        std::size_t parameters; // parameters calls in a process of two runs
        std::size_t finishes;   // finish calls in a process of two runs
    };
    const Case cases[] = {
        {"gimp", 8, "invert", 1, 0},     {"paintnet", 8, "invert", 1, 2},
        {"pspihost", 8, "invert", 2, 2}, {"bigdoc", 8, "invert", 1, 2},
        {"bigdoc", 32, "copy", 1, 2},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.profile) + std::to_string(c.depth);
        const Document before = MakeGradientDocument(eColorRgb, c.depth, 1500, 3);
        const bool invert = std::string(c.mode) == "invert";
        const std::string once = FileOf(invert ? Inverted(before) : before);
        const std::string extension = c.depth == 32 ? ".pfm" : ".ppm";
        const std::string input = scratch + "before" + extension;
        const std::string output = scratch + "after" + extension;
        ASSERT_TRUE(WriteWholeFile(input, FileOf(before)));
        const std::string run = "--host-profile " + std::string(c.profile) + " --input " + input +
                                " --output " + output;
        const std::size_t starts = AppStarts();

        Result r = Run(run, c.mode);
        EXPECT_EQ(r.code, 0) << name << "\n" << r.output;
        if (r.code != 0)
            continue;
        EXPECT_TRUE(Bytes(output) == once) << name;
        EXPECT_EQ(AppStarts(), starts + 1) << name;

        if (std::string(c.profile) != "gimp") {
            // Run twice: the program started twice more, an inverted document inverted back.
            r = Run(run + " --runs 2", c.mode);
            EXPECT_EQ(r.code, 0) << name << "\n" << r.output;
            EXPECT_EQ(Count(r.output, "filterhost: start result 0"), 2u) << name;
            EXPECT_EQ(Count(r.output, "filterhost: parameters result 0"), c.parameters) << name;
            EXPECT_EQ(Count(r.output, "filterhost: finish result 0"), c.finishes) << name;
            EXPECT_TRUE(Bytes(output) == FileOf(before)) << name;
            EXPECT_EQ(AppStarts(), starts + 3) << name;
            continue;
        }
        EXPECT_EQ(r.output.find("finish"), std::string::npos) << "GIMP never calls finish";
        const std::string saved = "filterhost: saved data slot ";
        const std::size_t at = r.output.find(saved);
        ASSERT_NE(at, std::string::npos) << r.output;
        const std::string slot =
            r.output.substr(at + saved.size(), r.output.find('\n', at) - at - saved.size());
        for (const char* lock : {"memory", "null"}) {
            r = Run(run + " --repeat-slot " + slot + " --foreign-lock " + lock, c.mode);
            EXPECT_EQ(r.code, 0) << lock << "\n" << r.output;
            EXPECT_EQ(r.output.find("parameters"), std::string::npos) << "a Repeat asks none";
            EXPECT_EQ(Count(r.output, "filterhost: start result 0"), 1u) << lock << r.output;
            EXPECT_EQ(Count(r.output, "filterhost: foreign-handle calls 0"), 1u) << lock;
            EXPECT_EQ(Count(r.output, "filterhost: foreign memory unchanged"), 1u) << lock;
            EXPECT_TRUE(Bytes(output) == once) << lock;
        }
    }
}

// A working folder with a blank in its name, an exchange image and a job document.
struct Job {
    std::string folder;   // no trailing separator, as the plug-in writes it
    std::string document; // the job document's path
    std::string input;
    std::string output;
};

Job MakeJob(const std::string& scratch, const std::string& image, const std::string& extension) {
    Job job;
    job.folder = scratch + "work folder";
    fs::create_directories(job.folder);
    const std::string separator(1, PathSeparator());
    job.input = job.folder + separator + "Lumetra." + extension;
    job.output = job.folder + separator + "Lumetra_Processed." + extension;
    job.document = job.folder + separator + "Data.lif";
    fs::remove(job.output);
    WriteWholeFile(job.input, image);
    WriteWholeFile(job.document, "<?xml version=\"1.0\"?>\r\n<General>\r\n"
                                 "<SourceApplication>Photoshop</SourceApplication>\r\n"
                                 "<PluginType>FILTER</PluginType>\r\n<ImageCount>1</ImageCount>\r\n"
                                 "<ImportPath>" +
                                     job.folder +
                                     "</ImportPath>\r\n<SourcePath>NA</SourcePath>\r\n"
                                     "<ImageList>\r\n<Image0000>Lumetra." +
                                     extension +
                                     "</Image0000>\r\n"
                                     "</ImageList>\r\n<ExportPath>" +
                                     job.folder +
                                     "</ExportPath>\r\n"
                                     "<ExportImage>Lumetra_Processed." +
                                     extension +
                                     "</ExportImage>\r\n"
                                     "</General>\r\n");
    return job;
}

std::string P6Image() {
    std::string image = "P6\n3\n2\n65535\n";
    for (int i = 0; i < 18; ++i) {
        image.push_back(static_cast<char>(i * 13));
        image.push_back(static_cast<char>(i * 7));
    }
    return image;
}

std::string App() {
    return ExecutableFolder() + "Lumetra.exe";
}

TEST(LumetraAppEndToEndTest, EachModeLeavesTheResultItPromises) {
    const std::string scratch = Scratch("app-modes");
    const std::string p6 = P6Image();
    struct Case {
        const char* mode;
        int code; // -1: any nonzero code
        bool written;
    };
    const Case cases[] = {
        {"copy", 0, true},     {"invert", 0, true},      {"tonemap", 0, true},
        {"", 0, true},         {"none", 0, false},       {"badheader", 0, true},
        {"truncate", 0, true}, {"sleep=50", 0, true},    {"crash", -1, false},
        {"smudge", -1, false}, {"crashwrite", -1, true},
    };
    for (const Case& c : cases) {
        const Job job = MakeJob(scratch, p6, "ppm");
        const Result r =
            Launch({App(), job.document}, {std::string("LUMETRA_APP_MODE=") + c.mode}, scratch);
        if (c.code < 0) {
            EXPECT_NE(r.code, 0) << c.mode;
        } else {
            EXPECT_EQ(r.code, c.code) << c.mode << "\n" << r.output;
        }
        EXPECT_EQ(fs::exists(job.output), c.written) << c.mode;
        if (!c.written)
            continue;
        const std::string result = Bytes(job.output);
        const std::string mode = c.mode;
        std::string expected = p6;
        if (mode == "badheader")
            expected = "P6\n4\n2\n65535\n" + p6.substr(13);
        else if (mode == "truncate" || mode == "crashwrite")
            expected = p6.substr(0, p6.size() - 9);
        if (mode == "invert") {
            EXPECT_EQ(result.substr(13, 4), "\xFF\xFF\xF2\xF8") << "65535 - v";
        } else if (mode == "tonemap" || mode.empty()) {
            EXPECT_EQ(result.substr(0, 13), p6.substr(0, 13)) << "tonemap keeps the header";
            EXPECT_NE(result, p6) << "tonemap changes the pixels";
        } else {
            EXPECT_EQ(result, expected) << mode;
        }
    }
}

TEST(LumetraAppEndToEndTest, FloatImagesKeepTheirHeader) {
    const std::string scratch = Scratch("app-float");
    std::string pf = "PF\n1\n1\n-1\n";
    pf += std::string("\x00\x00\x80\x3F\x00\x00\x00\x3F\x00\x00\x80\x3E", 12);
    for (const char* mode : {"copy", "invert", "tonemap"}) {
        const Job job = MakeJob(scratch, pf, "pfm");
        const Result r =
            Launch({App(), job.document}, {std::string("LUMETRA_APP_MODE=") + mode}, scratch);
        ASSERT_EQ(r.code, 0) << mode << "\n" << r.output;
        ExchangeImage image;
        std::string error;
        ASSERT_TRUE(ParseExchangeImage(Bytes(job.output), image, error)) << mode << ": " << error;
        EXPECT_EQ(Bytes(job.output).substr(0, 10), "PF\n1\n1\n-1\n") << mode;
        const std::string m = mode;
        if (m == "copy") {
            EXPECT_EQ(Bytes(job.output), pf);
        } else if (m == "invert") {
            EXPECT_EQ(ReadSample(image, 0), 0.0);
            EXPECT_EQ(ReadSample(image, 2), 0.75);
        } else {
            EXPECT_NEAR(ReadSample(image, 0), 1.0, 1e-6) << "the brightest pixel becomes white";
        }
    }
}

TEST(LumetraAppEndToEndTest, APathSplitAtItsBlankIsFoundAndTheStartIsLogged) {
    const std::string scratch = Scratch("app-log");
    const Job job = MakeJob(scratch, P6Image(), "ppm");
    const std::string log = scratch + "app-log.txt";
    const std::size_t blank = job.document.rfind("work folder") + 4;
    const std::string first = job.document.substr(0, blank);
    const std::string second = job.document.substr(blank + 1);
    const Result r = Launch({App(), first, second},
                            {"LUMETRA_APP_MODE=copy", "LUMETRA_APP_LOG=" + log}, scratch);
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Bytes(job.output), P6Image());
    const std::vector<std::string> lines = Lines(Slurp(log));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 8), "cmdline ");
    EXPECT_NE(lines[0].find("Lumetra.exe"), std::string::npos);
    EXPECT_NE(lines[0].find(first), std::string::npos);
    EXPECT_EQ(lines[1], "argc 3");
    EXPECT_EQ(lines[2], "argv[1] " + first);
    EXPECT_EQ(lines[3], "argv[2] " + second);

    Launch({App(), job.document}, {"LUMETRA_APP_MODE=none", "LUMETRA_APP_LOG=" + log}, scratch);
    EXPECT_EQ(Lines(Slurp(log)).size(), 7u) << "every start appends";
}

TEST(LumetraAppEndToEndTest, UnreadableInputIsReportedWithANonzeroExit) {
    const std::string scratch = Scratch("app-bad");
    const Job job = MakeJob(scratch, "P6\n3\n2\n255\n", "ppm");
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{App()}, "usage"},
        {{App(), scratch + "no-such-job.lif"}, "cannot read the job document"},
        {{App(), job.document}, "not 65535"},
    };
    for (const Case& c : cases) {
        const Result r = Launch(c.arguments, {"LUMETRA_APP_MODE=copy"}, scratch);
        EXPECT_NE(r.code, 0) << c.message;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(job.output));
    }
    fs::remove(job.input);
    const Result r = Launch({App(), job.document}, {"LUMETRA_APP_MODE=copy"}, scratch);
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.output.find("cannot read the image"), std::string::npos) << r.output;
}

} // namespace
