// Process-level services of the stand-in program on Windows.
#include "platform/HostProgramServices.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

std::string RawCommandLine(int, char**) {
    const char* line = GetCommandLineA();
    return line != nullptr ? line : "";
}

void CrashProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort(); // not reached: nothing handles the exception
}
