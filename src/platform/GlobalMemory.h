// Zero-filled, locked memory blocks from the operating system's global heap.
//
// The handle services fall back on these when a host offers no usable handle procs.
// On Windows they are movable global blocks locked right after allocation; on Linux the
// C heap gives the same observable behaviour.
#pragma once

#include <cstddef>

// Allocates a zero-filled block of `bytes` bytes that stays at one address until it is
// freed. Returns its address, or null when the allocation (or the lock) fails.
void* AllocateLockedBlock(std::size_t bytes);

// Unlocks and frees a block returned by AllocateLockedBlock. A null address is ignored.
void FreeLockedBlock(void* address);
