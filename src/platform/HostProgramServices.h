// Process-level services of the stand-in program: its raw command line and an abnormal end.
#pragma once

#include <string>

// The command line as the operating system handed it over: GetCommandLineA on Windows;
// on Linux, where there is none, the arguments joined by single blanks.
std::string RawCommandLine(int argc, char** argv);

// Ends the process abnormally without any cleanup, as a crashing program does: abort on
// Linux, an unhandled access violation on Windows (with the system's error box off, so
// that nothing waits for a user).
[[noreturn]] void CrashProcess();
