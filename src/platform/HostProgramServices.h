// Process-level services of the tools: the stand-in program's raw command line, abnormal
// end and special files, and the counts of open files and handles that tests compare.
#pragma once

#include <string>

// The command line as the operating system handed it over: GetCommandLineA on Windows;
// on Linux, where there is none, the arguments joined by single blanks.
std::string RawCommandLine(int argc, char** argv);

// Ends the process abnormally without any cleanup, as a crashing program does: abort on
// Linux; on Windows an access violation that nothing handles, which ends the process
// with the exception's code (0xC0000005) and never waits for a user or a debugger.
[[noreturn]] void CrashProcess();

// The files (descriptors of the C runtime) the process has open, the standard ones
// included; a test host compares the count before and after a plug-in's run.
int CountOpenFiles();

// The handles of operating-system objects the process holds: kernel handles of every kind
// on Windows (read from the system's handle list, since GetProcessHandleCount answers 0
// under Wine), open descriptors on Linux; -1 when they cannot be counted.
int CountSystemHandles();

// The lowest free thread-local and fiber-local storage slots of the process, as one number:
// it grows when a module that was unloaded kept a slot. 0 where there are none (Linux).
long NextThreadSlots();

// A FIFO, or a symbolic link to `target`, at `path`: the odd files a program may leave
// where a result is expected. False where the system has none (Windows).
bool MakeFifo(const std::string& path);
bool MakeSymbolicLink(const std::string& target, const std::string& path);
