// The module's load and unload notifications: records the instance handle for resource
// lookups, and at unload gives back what the statically linked runtime keeps for the
// threads that called into the module.
#include "platform/ModuleInstance.h"
#include "platform/win/ExceptionGlobals.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// The module's own thread-local-storage callbacks, through which the statically linked
// runtime hears of threads that start and end.
PIMAGE_TLS_CALLBACK* ThreadCallbacks(HINSTANCE instance) {
    const auto* base = reinterpret_cast<const BYTE*>(instance);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (entry.VirtualAddress == 0 || entry.Size == 0)
        return nullptr;
    const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + entry.VirtualAddress);
    return reinterpret_cast<PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks);
}

// The thread that unloads the module outlives it, so the runtime would never hear of its
// end and would keep what it set up for that thread (on 32-bit Windows the thread layer's
// record of it, with a thread handle and an event, made when the module's unwind tables
// were registered at load). It is told now, as it would be when the thread ends.
void EndUnloadingThreadForRuntime(HINSTANCE instance) {
    PIMAGE_TLS_CALLBACK* callback = ThreadCallbacks(instance);
    for (; callback != nullptr && *callback != nullptr; ++callback)
        (*callback)(instance, DLL_THREAD_DETACH, nullptr);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    SetModuleInstance(instance);
    if (reason == DLL_THREAD_DETACH)
        ReleaseThreadExceptionGlobals();
    // A process that is ending (reserved set) takes everything with it.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        ReleaseExceptionGlobals();
        EndUnloadingThreadForRuntime(instance);
    }
    return TRUE;
}
