// Movable memory blocks through the host's handle procs, with our own fallback.
//
// A host whose handle procs are missing, of another version or too few gets blocks from
// the operating system's global heap instead. Fallback blocks are zero-filled, stay at
// one address from creation to disposal, and relock at that address.
#pragma once

#include "host/HostRecords.h"

#include <cstdint>

// Signature stored in every fallback handle record, to recognise our own handles.
constexpr std::uint32_t kFallbackHandleSignature = 0x464F544F;

// True when the procs can be used: version exactly 1, at least 8 procs, and the new,
// dispose, get-size and set-size procs present.
bool HostHandleProcsAvailable(const HandleProcs* procs);

// A new handle of `size` bytes, or null when it cannot be had.
Handle HostNewHandle(const HandleProcs* procs, std::int32_t size);

// Disposes of a handle from HostNewHandle; a null handle is ignored.
void HostDisposeHandle(const HandleProcs* procs, Handle handle);

// Locks a handle and returns its data, or null when that fails.
Ptr HostLockHandle(const HandleProcs* procs, Handle handle, Boolean moveHigh);

// Unlocks a handle locked by HostLockHandle. Fallback handles stay locked until disposal.
void HostUnlockHandle(const HandleProcs* procs, Handle handle);
