// Whole filter runs through the test host: the setting and the host's output.
#include "RunFixture.h"

#include "ImageFile.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"

#include <cmath>
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
                      const std::vector<std::string>& environment) {
    std::vector<std::string> command = {ExecutableFolder() + ProgramFileName("filterhost"),
                                        "--plugin", ExecutableFolder() + PluginModuleFileName()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    HostRun run;
    const std::string outputPath = File("host-output.txt");
    run.exitCode = RunProgram(command, environment, outputPath);
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
