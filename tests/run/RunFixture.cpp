// Whole filter runs through the test host: the setting and the host's output.
#include "RunFixture.h"

#include "ImageFile.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>

std::vector<int> HostRun::Results(const std::string& selector) const {
    std::vector<int> results;
    std::istringstream lines(output);
    const std::string prefix = "filterhost: " + selector + " result ";
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, prefix.size(), prefix) == 0)
            results.push_back(std::stoi(line.substr(prefix.size())));
    return results;
}

std::vector<int> HostRun::OpenFiles() const {
    std::vector<int> counts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" open-files ");
        if (line.compare(0, 16, "filterhost: run ") == 0 && at != std::string::npos)
            counts.push_back(std::stoi(line.substr(at + 12)));
    }
    return counts;
}

void RunTest::SetUp() {
    temp = WithSeparator(scratch.Sub("temp folder", true));
    tempOverride = std::make_unique<TempFolderOverride>(temp);
    profile = std::make_unique<SettingsProfile>();
    profile->WriteApplicationPath(ExecutableFolder());
}

HostRun RunTest::Host(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment,
                      const std::vector<std::string>& prefix) {
    std::vector<std::string> command = prefix;
    command.insert(command.end(), {ExecutableFolder() + ProgramFileName("filterhost"), "--plugin",
                                   ExecutableFolder() + PluginModuleFileName(), "--print-window"});
    command.insert(command.end(), arguments.begin(), arguments.end());
    HostRun run;
    const std::string outputPath = File("host-output-" + std::to_string(++hostRuns) + ".txt");
    run.warnings = WatchWarnings(
        [&] { run.exitCode = RunProgram(command, environment, outputPath); }, outputPath);
    run.output = ReadFileBytes(outputPath);
    return run;
}

std::string RunTest::WriteDocument(const Document& document, const std::string& name) const {
    const EImageFormat format = NaturalFormat(document);
    const std::string path = File(name + (format == eFormatPfm ? ".pfm" : ".pnm"));
    std::string error;
    if (!WriteImageFile(path, document, format, error))
        throw std::runtime_error(error);
    return path;
}

Document RunTest::ReadDocument(const std::string& path) const {
    Document document;
    EImageFormat format = eFormatPnm;
    std::string error;
    if (!ReadImageFile(path, document, format, error))
        throw std::runtime_error(error);
    return document;
}

// Independent of the converters: each product is exact in double and then rounded to single
// precision once, as a single-precision multiply does, then cut towards zero.
std::uint16_t Export16(std::uint16_t host) {
    const float product = static_cast<float>(host * (65535.0 / 32768.0));
    return static_cast<std::uint16_t>(std::fmin(product, 65535.0f));
}

std::uint16_t Import16(std::uint16_t exchange) {
    const float product = static_cast<float>(exchange * static_cast<double>(0.50000762939453125f));
    return static_cast<std::uint16_t>(std::fmin(product, 32768.0f));
}

Document PatternDocument(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                         int seed) {
    const int channels = color == eColorRgb ? 3 : 1;
    Document d = MakeDocument(color, depth, width, height, channels);
    const std::uint16_t special16[] = {0, 1, 2, 16384, 32767, 32768};
    const float specialFloat[] = {2.5f, -0.25f, std::numeric_limits<float>::infinity(),
                                  0.0f, 1.0f,   -std::numeric_limits<float>::infinity()};
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                std::uint8_t* at = &d.samples[SampleOffset(d, x, y, c)];
                const int i = x * 7 + y * 31 + c * 85 + seed * 4099;
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

namespace {

template <typename Change>
Document ChangedSamples(const Document& before, std::size_t count, Change change) {
    Document after = before;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t v = change(Sample16(before, i));
        std::memcpy(&after.samples[i * 2], &v, sizeof v);
    }
    return after;
}

} // namespace

Document CopiedPixels(const Document& before, std::size_t copiedPixels) {
    const std::size_t pixels =
        before.samples.size() / 2 / static_cast<std::size_t>(before.channels);
    return ChangedSamples(
        before, std::min(copiedPixels, pixels) * static_cast<std::size_t>(before.channels),
        [](std::uint16_t v) { return Import16(Export16(v)); });
}

Document Inverted(const Document& before) {
    return ChangedSamples(before, before.samples.size() / 2, [](std::uint16_t v) {
        return Import16(static_cast<std::uint16_t>(65535 - Export16(v)));
    });
}

long long FirstDifference(const Document& a, const Document& b) {
    if (a.samples.size() != b.samples.size())
        return 0;
    for (std::size_t i = 0; i < a.samples.size(); ++i)
        if (a.samples[i] != b.samples[i])
            return static_cast<long long>(i);
    return -1;
}
