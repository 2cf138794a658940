// Host handle procs and the global-heap fallback behind them.
#include "host/HandleServices.h"

#include "platform/GlobalMemory.h"

namespace {

// What a fallback handle points at. The spare word keeps the record the same size on
// every target and the data address naturally aligned.
struct FallbackHandle {
    char* data;
    std::uint32_t signature;
    std::uint32_t spare;
};

FallbackHandle* AsFallback(Handle handle) {
    auto* record = reinterpret_cast<FallbackHandle*>(handle);
    if (record == nullptr || record->signature != kFallbackHandleSignature)
        return nullptr;
    return record;
}

Handle NewFallbackHandle(std::int32_t size) {
    if (size < 0)
        return nullptr;
    auto* record = static_cast<FallbackHandle*>(AllocateLockedBlock(sizeof(FallbackHandle)));
    if (record == nullptr)
        return nullptr;
    record->data = static_cast<char*>(AllocateLockedBlock(static_cast<std::size_t>(size)));
    if (record->data == nullptr) {
        FreeLockedBlock(record);
        return nullptr;
    }
    record->signature = kFallbackHandleSignature;
    return reinterpret_cast<Handle>(record);
}

void DisposeFallbackHandle(Handle handle) {
    FallbackHandle* record = AsFallback(handle);
    if (record == nullptr)
        return;
    FreeLockedBlock(record->data);
    record->data = nullptr;
    record->signature = 0;
    FreeLockedBlock(record);
}

} // namespace

bool HostHandleProcsAvailable(const HandleProcs* procs) {
    return procs != nullptr && procs->handleProcsVersion == kCurrentHandleProcsVersion &&
           procs->numHandleProcs >= kMinimumHandleProcs && procs->newProc != nullptr &&
           procs->disposeProc != nullptr && procs->getSizeProc != nullptr &&
           procs->setSizeProc != nullptr;
}

Handle HostNewHandle(const HandleProcs* procs, std::int32_t size) {
    if (HostHandleProcsAvailable(procs))
        return procs->newProc(size);
    return NewFallbackHandle(size);
}

void HostDisposeHandle(const HandleProcs* procs, Handle handle) {
    if (handle == nullptr)
        return;
    if (HostHandleProcsAvailable(procs))
        procs->disposeProc(handle);
    else
        DisposeFallbackHandle(handle);
}

Ptr HostLockHandle(const HandleProcs* procs, Handle handle, Boolean moveHigh) {
    if (handle == nullptr)
        return nullptr;
    if (HostHandleProcsAvailable(procs))
        return procs->lockProc != nullptr ? procs->lockProc(handle, moveHigh) : nullptr;
    FallbackHandle* record = AsFallback(handle);
    return record != nullptr ? record->data : nullptr;
}

void HostUnlockHandle(const HandleProcs* procs, Handle handle) {
    if (handle != nullptr && HostHandleProcsAvailable(procs) && procs->unlockProc != nullptr)
        procs->unlockProc(handle);
}
