// Process-level services of the stand-in program and the tests on Windows.
#include "platform/HostProgramServices.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <io.h>
#include <vector>

namespace {

// The last stop of an exception nobody handled: end the process with the exception's
// code, as the system does when no debugger is attached. Without this, Wine starts its
// debugger, which waits for a user.
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// One entry of the system's handle list (information class 16). The owner's process id
// takes the first 32 bits: a full id under Wine, on Windows its low 16 bits followed by a
// back-trace index that is 0.
struct SystemHandleEntry {
    ULONG owner;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

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

int CountSystemHandles() {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return -1;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), nullptr)) ==
           kStatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    ULONG listed = 0;
    std::memcpy(&listed, buffer.data(), sizeof listed);
    const std::size_t first = offsetof(SystemHandleList, entries);
    if (listed > (buffer.size() - first) / sizeof(SystemHandleEntry))
        return -1;
    const ULONG self = GetCurrentProcessId() & 0xFFFF;
    int count = 0;
    for (ULONG i = 0; i < listed; ++i) {
        SystemHandleEntry entry;
        std::memcpy(&entry, buffer.data() + first + i * sizeof entry, sizeof entry);
        if ((entry.owner & 0xFFFF) == self)
            ++count;
    }
    return count;
}

long NextThreadSlots() {
    // Each allocator hands out its lowest free slot, so a slot kept by a module that is
    // gone shows as a higher number here.
    const DWORD local = TlsAlloc();
    if (local != TLS_OUT_OF_INDEXES)
        TlsFree(local);
    const DWORD fiber = FlsAlloc(nullptr);
    if (fiber != FLS_OUT_OF_INDEXES)
        FlsFree(fiber);
    return static_cast<long>(local) + static_cast<long>(fiber);
}

bool MakeFifo(const std::string&) {
    return false;
}

bool MakeSymbolicLink(const std::string&, const std::string&) {
    return false;
}
