// Global-heap blocks on Windows: movable, zero-initialised, locked for their lifetime.
#include "platform/GlobalMemory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void* AllocateLockedBlock(std::size_t bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes == 0 ? 1 : bytes);
    if (memory == nullptr)
        return nullptr;
    void* address = GlobalLock(memory);
    if (address == nullptr)
        GlobalFree(memory);
    return address;
}

void FreeLockedBlock(void* address) {
    if (address == nullptr)
        return;
    HGLOBAL memory = GlobalHandle(address);
    if (memory == nullptr)
        return;
    GlobalUnlock(memory);
    GlobalFree(memory);
}
