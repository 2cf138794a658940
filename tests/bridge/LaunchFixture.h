// A complete setting for launching the external program: the stand-in program copied into
// a folder with a blank in its name, a settings file naming that
// folder, a temporary folder with a blank holding the working folder and a job document,
// and the program's log.
#pragma once

#include "BridgeFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class LaunchTest : public ::testing::Test {
protected:
    using Clock = std::chrono::steady_clock;

    void SetUp() override;

    // Back to the program in its folder, the settings naming it, and no log.
    void RestoreProgramAndSettings();

    // Runs LaunchApplication with `window` as the host window while a second thread
    // watches for the processed file; returns the result and fills the times.
    std::int16_t LaunchAndWatch(std::intptr_t window, bool wait);

    // The log's lines, line ends of either kind dropped; empty when nothing was started.
    std::vector<std::string> LogLines() const;

    // Waits up to `seconds` for a started program to leave its processed file.
    bool WaitForProcessedFile(double seconds) const;

    // The stand-in program, copied as the program to start.
    static std::string ProgramSource();

    // The raw command line the program logs when started with `argument`.
    static std::string CommandLine(const std::string& programPath, const std::string& argument);

    ScratchFolder scratch{"launch"};
    std::string appFolder;
    std::string program;
    std::string temp;
    std::string jobPath;
    std::string processedPath;
    std::string logPath;
    std::unique_ptr<TempFolderOverride> tempOverride;
    std::unique_ptr<SettingsProfile> profile;
    std::unique_ptr<ScopedVariable> logVariable;
    std::unique_ptr<ScopedVariable> modeVariable;

    Clock::time_point started;
    Clock::time_point processedSeen; // when the processed file appeared (if it did)
    Clock::time_point returned;
    bool seen = false;
};

double Milliseconds(std::chrono::steady_clock::duration duration);
