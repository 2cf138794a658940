// Process-level services of the stand-in program on Windows.
#include "platform/HostProgramServices.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
#include <io.h>

namespace {

// The last stop of an exception nobody handled: end the process with the exception's
// code, as the system does when no debugger is attached. Without this, Wine starts its
// debugger, which waits for a user.
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

std::string RawCommandLine(int, char**) {
    const char* line = GetCommandLineA();
    return line != nullptr ? line : "";
}

void CrashProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndWithExceptionCode);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort(); // not reached: nothing handles the exception
}

int CountOpenFiles() {
    // The runtime's descriptor table is shared by every module of the process that uses
    // msvcrt.dll, the plug-in's included. _get_osfhandle answers -1 for a closed one.
    constexpr int kDescriptorLimit = 2048;
    int count = 0;
    for (int fd = 0; fd < kDescriptorLimit; ++fd)
        if (_get_osfhandle(fd) != -1)
            ++count;
    return count;
}

bool MakeFifo(const std::string&) {
    return false;
}

bool MakeSymbolicLink(const std::string&, const std::string&) {
    return false;
}
