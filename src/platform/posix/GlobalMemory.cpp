// The C heap in place of the Windows global heap: blocks never move, so "locked" is free.
#include "platform/GlobalMemory.h"

#include <cstdlib>

void* AllocateLockedBlock(std::size_t bytes) {
    // calloc(0) may return null; a zero-byte block must still be a valid handle.
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void FreeLockedBlock(void* address) { std::free(address); }
