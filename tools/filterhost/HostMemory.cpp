// The host's handle procs and basic suite.
#include "HostMemory.h"

#include "core/ResultCodes.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace {

struct HostBlock {
    char* data; // what the handle points at: the block's address comes first
    std::int32_t size;
    int locks;
};

// Keyed by the handle so that unknown or disposed handles are recognised and ignored.
std::map<Handle, HostBlock*>& Blocks() {
    static std::map<Handle, HostBlock*> blocks;
    return blocks;
}

// What a guessing host finds behind a value it did not make: memory of its own that
// holds something else, here zeros.
constexpr std::size_t kForeignBytes = 4096;
unsigned char gForeignMemory[kForeignBytes];
bool gForeignMemoryLock = false;
int gForeignHandleCalls = 0;

HostBlock* Find(Handle handle) {
    const auto found = Blocks().find(handle);
    if (found != Blocks().end())
        return found->second;
    if (handle != nullptr)
        ++gForeignHandleCalls;
    return nullptr;
}

Handle HOST_API NewBlock(std::int32_t size) {
    if (size < 0)
        return nullptr;
    char* data = static_cast<char*>(std::malloc(size > 0 ? std::size_t(size) : 1));
    if (data == nullptr)
        return nullptr;
    std::memset(data, kNewHandlePattern, std::size_t(size));
    auto* block = new HostBlock{data, size, 0};
    Blocks()[&block->data] = block;
    return &block->data;
}

void HOST_API DisposeBlock(Handle handle) {
    HostBlock* block = Find(handle);
    if (block == nullptr)
        return;
    Blocks().erase(handle);
    std::free(block->data);
    delete block;
}

std::int32_t HOST_API BlockSize(Handle handle) {
    const HostBlock* block = Find(handle);
    return block != nullptr ? block->size : 0;
}

OSErr HOST_API ResizeBlock(Handle handle, std::int32_t size) {
    HostBlock* block = Find(handle);
    if (block == nullptr || size < 0)
        return nilHandleErr;
    // A locked block must not move: it may shrink in place, never grow.
    if (block->locks > 0) {
        if (size > block->size)
            return memFullErr;
        block->size = size;
        return noErr;
    }
    char* data = static_cast<char*>(std::realloc(block->data, size > 0 ? std::size_t(size) : 1));
    if (data == nullptr)
        return memFullErr;
    if (size > block->size)
        std::memset(data + block->size, kNewHandlePattern, std::size_t(size - block->size));
    block->data = data;
    block->size = size;
    return noErr;
}

Ptr HOST_API LockBlock(Handle handle, Boolean) {
    HostBlock* block = Find(handle);
    if (block == nullptr)
        return handle != nullptr && gForeignMemoryLock ? reinterpret_cast<Ptr>(gForeignMemory)
                                                       : nullptr;
    ++block->locks;
    return block->data;
}

void HOST_API UnlockBlock(Handle handle) {
    HostBlock* block = Find(handle);
    if (block != nullptr && block->locks > 0)
        --block->locks;
}

void HOST_API RecoverSpace(std::int32_t) {}

std::int32_t HOST_API InertSize(Handle handle) {
    Find(handle);
    return 0;
}

OSErr HOST_API InertResize(Handle handle, std::int32_t) {
    Find(handle);
    return noErr;
}

void HOST_API InertDispose(Handle handle) {
    Find(handle);
}

SPErr HOST_API AcquireSuite(const char*, std::int32_t, const void** suite) {
    if (suite != nullptr)
        *suite = nullptr;
    return kSuiteNotFoundError;
}

SPErr HOST_API ReleaseSuite(const char*, std::int32_t) {
    return kSuiteNotFoundError;
}

SPBoolean HOST_API IsEqual(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

SPErr HOST_API AllocateBlock(std::size_t size, void** block) {
    if (block == nullptr)
        return kSuiteNotFoundError;
    *block = std::malloc(size > 0 ? size : 1);
    return *block != nullptr ? 0 : memFullErr;
}

SPErr HOST_API FreeBlock(void* block) {
    std::free(block);
    return 0;
}

SPErr HOST_API ReallocateBlock(void* block, std::size_t size, void** moved) {
    if (moved == nullptr)
        return kSuiteNotFoundError;
    void* resized = std::realloc(block, size > 0 ? size : 1);
    if (resized == nullptr)
        return memFullErr;
    *moved = resized;
    return 0;
}

SPErr HOST_API Undefined() {
    return kSuiteNotFoundError;
}

} // namespace

HandleProcs MakeHostHandleProcs() {
    return {kCurrentHandleProcsVersion,
            8,
            NewBlock,
            DisposeBlock,
            BlockSize,
            ResizeBlock,
            LockBlock,
            UnlockBlock,
            RecoverSpace,
            DisposeBlock};
}

HandleProcs MakeInertSizeHandleProcs() {
    HandleProcs procs = MakeHostHandleProcs();
    procs.disposeProc = InertDispose;
    procs.getSizeProc = InertSize;
    procs.setSizeProc = InertResize;
    procs.unlockProc = InertDispose;
    procs.disposeRegularHandleProc = InertDispose;
    return procs;
}

void SetForeignMemoryLock(bool on) {
    gForeignMemoryLock = on;
}

int ForeignHandleCalls() {
    return gForeignHandleCalls;
}

bool ForeignMemoryUnchanged() {
    for (unsigned char byte : gForeignMemory)
        if (byte != 0)
            return false;
    return true;
}

SPBasicSuite MakeHostBasicSuite() {
    return {AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
            FreeBlock,    ReallocateBlock, Undefined};
}

int LiveHostHandles() {
    return static_cast<int>(Blocks().size());
}

void DisposeAllHostHandles() {
    for (const auto& entry : Blocks()) {
        std::free(entry.second->data);
        delete entry.second;
    }
    Blocks().clear();
}

int LockedHostHandles() {
    int locked = 0;
    for (const auto& entry : Blocks())
        locked += entry.second->locks > 0 ? 1 : 0;
    return locked;
}
