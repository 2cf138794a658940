// Starting a program and waiting for it to end: for the tests and the test host, never
// the module (which has its own launcher with the host's message loop).
#pragma once

#include <string>
#include <vector>

// Runs arguments[0] with the remaining arguments, each passed as exactly one argument.
// The child gets the caller's environment with `environment` entries ("NAME=value")
// added or replacing those of the same name. Its standard output and standard error go
// to `outputPath` (created or truncated); an empty path discards them. Waits for the end
// and returns the exit code (128 + signal number for a program killed by a signal on
// Linux), or -1 when the program could not be started.
int RunProgram(const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& outputPath);

// The path separator of the platform, for building paths in tests and tools.
char PathSeparator();

// The program file name of a tool: "name.exe" on Windows, "name" on Linux.
std::string ProgramFileName(const std::string& name);

// The words to put before a command so that it runs without the right to write wherever
// it likes: nothing for an ordinary user; for root on Linux, setpriv to the user nobody.
// False where no such user can be had (Windows, or no setpriv).
bool UnprivilegedCommandPrefix(std::vector<std::string>& prefix);
