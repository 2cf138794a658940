// Process-level services of the stand-in program: its raw command line and an abnormal end.
#pragma once

#include <string>

// The command line as the operating system handed it over: GetCommandLineA on Windows;
// on Linux, where there is none, the arguments joined by single blanks.
std::string RawCommandLine(int argc, char** argv);

// Ends the process abnormally without any cleanup, as a crashing program does: abort on
// Linux; on Windows an access violation that nothing handles, which ends the process
// with the exception's code (0xC0000005) and never waits for a user or a debugger.
[[noreturn]] void CrashProcess();
