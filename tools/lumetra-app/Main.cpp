// Lumetra.exe, the stand-in for the external HDR program: reads the job document named
// on its command line, processes the image it names as LUMETRA_APP_MODE says, and
// leaves the result where the job document asks.
#include "ExchangeImage.h"
#include "ImageModes.h"
#include "JobFile.h"
#include "platform/HostProcess.h"
#include "platform/HostProgramServices.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <thread>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Fail(int code, const std::string& message) {
    std::cerr << "Lumetra.exe: " << message << std::endl;
    return code;
}

// Appends how the program was started to the log that LUMETRA_APP_LOG names.
void LogStart(int argc, char** argv) {
    const char* path = std::getenv("LUMETRA_APP_LOG");
    if (path == nullptr || *path == '\0')
        return;
    std::ofstream log(path, std::ios::binary | std::ios::app);
    log << "cmdline " << RawCommandLine(argc, argv) << "\n";
    log << "argc " << argc << "\n";
    for (int i = 1; i < argc; ++i)
        log << "argv[" << i << "] " << argv[i] << "\n";
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

int Run(int argc, char** argv) {
    LogStart(argc, argv);
    AppMode mode;
    std::string error;
    if (!ParseAppMode(std::getenv("LUMETRA_APP_MODE"), mode, error))
        return Fail(kExitUsage, error);
    const std::string jobPath = JobPathFromArguments(argc, argv);
    if (jobPath.empty())
        return Fail(kExitUsage, "usage: Lumetra.exe JOB_DOCUMENT");

    std::string job;
    if (!ReadFile(jobPath, job))
        return Fail(kExitFailed, "cannot read the job document " + jobPath);
    JobPaths paths;
    if (!ReadJobPaths(job, PathSeparator(), paths, error))
        return Fail(kExitFailed, jobPath + ": " + error);
    std::string bytes;
    if (!ReadFile(paths.input, bytes))
        return Fail(kExitFailed, "cannot read the image " + paths.input);
    ExchangeImage image;
    if (!ParseExchangeImage(bytes, image, error))
        return Fail(kExitFailed, paths.input + ": " + error);
    bytes.clear();

    switch (mode.mode) {
    case eModeCrash:
        CrashProcess();
    case eModeNone:
        return 0;
    case eModeSleep:
        std::this_thread::sleep_for(std::chrono::milliseconds(mode.sleepMs));
        break;
    case eModeTonemap:
        ToneMap(image);
        break;
    case eModeInvert:
        Invert(image);
        break;
    case eModeFifo:
    case eModeDevZero:
    case eModeLink:
    case eModeFolder: {
        // Whatever a run left under the name goes first; the plug-in must neither hang on
        // what comes in its place nor take it for a result.
        std::remove(paths.output.c_str());
        std::error_code ignored;
        const bool placed =
            mode.mode == eModeFifo      ? MakeFifo(paths.output)
            : mode.mode == eModeDevZero ? MakeSymbolicLink("/dev/zero", paths.output)
            : mode.mode == eModeLink    ? MakeSymbolicLink(paths.input, paths.output)
                                        : std::filesystem::create_directory(paths.output, ignored);
        if (!placed)
            return Fail(kExitFailed, "cannot place a special file at " + paths.output);
        return 0;
    }
    case eModeCrashWrite: {
        // The file is still open when the process dies; the system closes it.
        std::ofstream out(paths.output, std::ios::binary | std::ios::trunc);
        bytes = ResultFile(image, eModeTruncate);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        CrashProcess();
    }
    case eModeCopy:
    case eModeBadHeader:
    case eModeTruncate:
    case eModeShort:
    case eModeLong:
    case eModeGarbage:
        break;
    }
    if (!WriteFile(paths.output, ResultFile(image, mode.mode)))
        return Fail(kExitFailed, "cannot write the result " + paths.output);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail(kExitFailed, "not enough memory for the image");
    } catch (const std::exception& failure) {
        return Fail(kExitFailed, failure.what());
    }
}
