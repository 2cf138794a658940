// The fake host's handle procs and the loader of the module under test.
#include "support/FakeHost.h"

#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"

#include <cstring>
#include <map>

HandleProcCalls FakeHost::calls;
Ptr FakeHost::notOursLocksTo = nullptr;

namespace {

// A handle points at its data pointer, as on the host.
struct FakeHandle {
    char* data;
    std::int32_t size;
    int locks;
};

std::map<Handle, FakeHandle*>& Handles() {
    static std::map<Handle, FakeHandle*> handles;
    return handles;
}

Handle HOST_API NewHandle(std::int32_t size) {
    ++FakeHost::calls.newHandle;
    auto* handle = new FakeHandle{new char[static_cast<std::size_t>(size)], size, 0};
    // Host memory is not cleared: the plug-in must initialise what it creates.
    std::memset(handle->data, 0xA5, static_cast<std::size_t>(size));
    Handles()[&handle->data] = handle;
    return &handle->data;
}

void HOST_API DisposeHandle(Handle h) {
    ++FakeHost::calls.dispose;
    auto found = Handles().find(h);
    if (found == Handles().end()) {
        ++FakeHost::calls.notOurs;
        return;
    }
    delete[] found->second->data;
    delete found->second;
    Handles().erase(found);
}

std::int32_t HOST_API GetSize(Handle h) {
    ++FakeHost::calls.getSize;
    return FakeHost::HandleSize(h);
}

OSErr HOST_API SetSize(Handle, std::int32_t) {
    ++FakeHost::calls.setSize;
    return memFullErr;
}

Ptr HOST_API Lock(Handle h, Boolean) {
    ++FakeHost::calls.lock;
    auto found = Handles().find(h);
    if (found == Handles().end()) {
        ++FakeHost::calls.notOurs;
        return FakeHost::notOursLocksTo;
    }
    ++found->second->locks;
    return found->second->data;
}

void HOST_API Unlock(Handle h) {
    ++FakeHost::calls.unlock;
    auto found = Handles().find(h);
    if (found != Handles().end())
        --found->second->locks;
    else
        ++FakeHost::calls.notOurs;
}

void HOST_API RecoverSpace(std::int32_t) {}

void HOST_API DisposeRegular(Handle) {}

} // namespace

FakeHost::FakeHost() {
    calls = HandleProcCalls{};
    notOursLocksTo = nullptr;
    procs = {kCurrentHandleProcsVersion, 8, NewHandle, DisposeHandle, GetSize, SetSize,
             Lock, Unlock, RecoverSpace, DisposeRegular};
    record.handleProcs = &procs;
    record.bigDocumentData = &big;
    record.platformData = &platform;
    SetDocument(plugInModeRGB48, 16, 3, 4, 5);
}

FakeHost::~FakeHost() {
    for (auto& entry : Handles()) {
        delete[] entry.second->data;
        delete entry.second;
    }
    Handles().clear();
}

void FakeHost::SetDocument(std::int16_t mode, std::int32_t depth, std::int16_t planes,
                           std::int32_t height, std::int32_t width) {
    record.imageMode = mode;
    record.depth = depth;
    record.planes = planes;
    record.imageSize = {static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
    record.filterRect = {0, 0, static_cast<std::int16_t>(height),
                         static_cast<std::int16_t>(width)};
    big.imageSize32 = {height, width};
    big.filterRect32 = {0, 0, height, width};
}

int FakeHost::LockedHandles() {
    int locked = 0;
    for (auto& entry : Handles())
        locked += entry.second->locks;
    return locked;
}

int FakeHost::LiveHandles() { return static_cast<int>(Handles().size()); }

std::int32_t FakeHost::HandleSize(Handle handle) {
    auto found = Handles().find(handle);
    return found == Handles().end() ? 0 : found->second->size;
}

LoadedModule::LoadedModule() {
    module = LoadPluginModule(ExecutableFolder() + PluginModuleFileName(), error);
    if (module != nullptr)
        entry = reinterpret_cast<PluginMainFunction>(FindModuleExport(module, "PluginMain"));
    if (module != nullptr && entry == nullptr)
        error = "the module exports no PluginMain";
}

LoadedModule::~LoadedModule() { UnloadPluginModule(module); }

void LoadedModule::Call(std::int16_t selector, void* block, std::intptr_t* slot,
                        std::int16_t* result) {
    entry(selector, block, slot, result);
}
