// The launch setting shared by the portable and the Windows launch tests.
#include "LaunchFixture.h"

#include "bridge/JobDocument.h"
#include "bridge/Launcher.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "host/HostRecords.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"

#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::string LaunchTest::ProgramSource() {
    return ExecutableFolder() + "Lumetra.exe";
}

void LaunchTest::SetUp() {
    appFolder = scratch.Sub("App Folder", true);
    program = appFolder + PathSeparator() + "Lumetra.exe";
    fs::copy_file(ProgramSource(), program);

    temp = scratch.Sub("Temp Folder", true);
    tempOverride = std::make_unique<TempFolderOverride>(WithSeparator(temp));
    TestDocument document(plugInModeRGB48, 16, 3);
    ASSERT_EQ(WriteJobDocument(&document.state), noErr);
    jobPath = document.state.jobFilePath;
    const std::string working = WithSeparator(temp) + "lumetrafilter";
    ASSERT_EQ(jobPath, working + PathSeparator() + "Data.lif");
    // A 1 x 1 exported image, so that the program has something to process.
    WriteFileBytes(working + PathSeparator() + "Lumetra.ppm",
                   std::string("P6\n1\n1\n65535\n\x12\x34\x56\x78\x9a\xbc", 19));
    processedPath = working + PathSeparator() + "Lumetra_Processed.ppm";

    profile = std::make_unique<SettingsProfile>();
    profile->WriteApplicationPath(appFolder);

    logPath = scratch.Sub("program.log");
    logVariable = std::make_unique<ScopedVariable>("LUMETRA_APP_LOG", logPath);
}

void LaunchTest::RestoreProgramAndSettings() {
    fs::remove(program);
    fs::copy_file(ProgramSource(), program);
    profile->WriteApplicationPath(appFolder);
    fs::remove(logPath);
}

std::int16_t LaunchTest::LaunchAndWatch(std::intptr_t window, bool wait) {
    std::atomic<bool> stop{false};
    seen = false;
    std::thread watcher([&] {
        while (!stop) {
            if (FileExists(processedPath)) {
                processedSeen = Clock::now();
                seen = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    PlatformData platform{window};
    started = Clock::now();
    const std::int16_t result = LaunchApplication(&platform, jobPath.c_str(), wait);
    returned = Clock::now();
    stop = true;
    watcher.join();
    // A wait that ends right with the program can beat the watcher's next look: then the
    // result was there when the wait ended, which is all the measurement needs.
    if (!seen && FileExists(processedPath)) {
        seen = true;
        processedSeen = returned;
    }
    return result;
}

std::string LaunchTest::CommandLine(const std::string& programPath, const std::string& argument) {
    // Windows hands over the line itself; on Linux the program joins its arguments.
    if (PathSeparator() == '\\')
        return "\"" + programPath + "\" \"" + argument + "\"";
    return programPath + " " + argument;
}

std::vector<std::string> LaunchTest::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(logPath));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool LaunchTest::WaitForProcessedFile(double seconds) const {
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (Clock::now() < end) {
        if (FileExists(processedPath))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}
