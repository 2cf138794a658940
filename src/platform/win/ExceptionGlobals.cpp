// The C++ runtime's per-thread exception records, kept in a Windows thread-local slot that
// the module gives back when it is unloaded.
//
// GCC's statically linked runtime keeps these records in emulated thread-local storage,
// whose first use (the first exception thrown) creates kernel objects through the POSIX
// thread layer: a thread handle, an event and two semaphores. Nothing returns them when
// the module is unloaded, so a host that loads the module for each use would lose four
// handles with every failed run. The two functions below are the C++ ABI's own entry
// points for the records; defined here, they keep the runtime's version, and with it the
// emulated storage, out of the link. The LLVM runtime of the ARM64 module would keep the
// records in the module's own thread-local data, which goes with the module; it reads them
// through the same two functions and with the same layout, so both runtimes share this one
// mechanism.
#include "platform/win/ExceptionGlobals.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cxxabi.h>

namespace __cxxabiv1 {
struct __cxa_exception;

// The record as the runtime reads it: its innermost caught exception and the number of
// exceptions thrown but not yet caught.
struct __cxa_eh_globals {
    __cxa_exception* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// The LLVM runtime's header does not declare these.
extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept;
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept;
} // namespace __cxxabiv1

namespace {

using Record = __cxxabiv1::__cxa_eh_globals;

// For a thread whose own record cannot be had (no slot left, no memory, or after the
// unload began). The host calls the module from one thread at a time, so sharing it
// cannot mix up two threads' exceptions in practice.
Record gSharedRecord;

LONG volatile gSlot = static_cast<LONG>(TLS_OUT_OF_INDEXES);
LONG volatile gReleased = 0;

// The slot, taken on first use; two threads that race for it keep the first one.
DWORD Slot() {
    const DWORD slot = static_cast<DWORD>(gSlot);
    if (slot != TLS_OUT_OF_INDEXES || gReleased != 0)
        return slot;
    const DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES)
        return fresh;
    const LONG earlier = InterlockedCompareExchange(&gSlot, static_cast<LONG>(fresh),
                                                    static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (static_cast<DWORD>(earlier) == TLS_OUT_OF_INDEXES)
        return fresh;
    TlsFree(fresh);
    return static_cast<DWORD>(earlier);
}

Record* ThisThreadsRecord() {
    const DWORD slot = Slot();
    if (slot == TLS_OUT_OF_INDEXES)
        return &gSharedRecord;
    auto* record = static_cast<Record*>(TlsGetValue(slot));
    if (record != nullptr)
        return record;
    record = static_cast<Record*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Record)));
    if (record == nullptr || !TlsSetValue(slot, record)) {
        if (record != nullptr)
            HeapFree(GetProcessHeap(), 0, record);
        return &gSharedRecord;
    }
    return record;
}

} // namespace

extern "C" __cxxabiv1::__cxa_eh_globals* __cxxabiv1::__cxa_get_globals() noexcept {
    return ThisThreadsRecord();
}

extern "C" __cxxabiv1::__cxa_eh_globals* __cxxabiv1::__cxa_get_globals_fast() noexcept {
    return ThisThreadsRecord();
}

void ReleaseThreadExceptionGlobals() {
    const DWORD slot = static_cast<DWORD>(gSlot);
    if (slot == TLS_OUT_OF_INDEXES)
        return;
    if (void* record = TlsGetValue(slot)) {
        TlsSetValue(slot, nullptr);
        HeapFree(GetProcessHeap(), 0, record);
    }
}

void ReleaseExceptionGlobals() {
    // A thread that is still running and once threw through the module keeps its record
    // of a few bytes; threads that ended gave theirs back already.
    ReleaseThreadExceptionGlobals();
    InterlockedExchange(&gReleased, 1);
    const LONG slot = InterlockedExchange(&gSlot, static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (static_cast<DWORD>(slot) != TLS_OUT_OF_INDEXES)
        TlsFree(static_cast<DWORD>(slot));
}
