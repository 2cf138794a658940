// The module's load notification: records the instance handle for resource lookups.
#include "platform/ModuleInstance.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    SetModuleInstance(instance);
    return TRUE;
}
