// Creation, relocking and validation of the plug-in state block.
#include "core/PluginState.h"

#include "core/Error.h"
#include "core/ResultCodes.h"
#include "core/StateBlockRecord.h"
#include "host/HandleServices.h"

#include <cstring>

PluginState* gPluginState = nullptr;
bool gPluginStateOpened = false;

namespace {

PluginState* AttachToCall(PluginState* state, std::int16_t* result, FilterRecord* filterRecord) {
    state->hostResult = result;
    *result = noErr;
    state->filterRecord = filterRecord;
    return state;
}

} // namespace

void InitialisePluginState(PluginState& state) {
    state.pluginType = kPluginTypeFilter;
    state.exportFile = -1;
    state.processedFile = -1;
    state.lockFile = -1;
    state.converter = nullptr;
    std::memset(state.exportFilePath, 0, sizeof state.exportFilePath);
    std::memset(state.processedFilePath, 0, sizeof state.processedFilePath);
    std::memset(state.jobFilePath, 0, sizeof state.jobFilePath);
}

PluginState* LockOrCreateHandleBlock(std::int16_t* result, FilterRecord* filterRecord,
                                     const HandleProcs* procs, std::int32_t size,
                                     std::intptr_t* data, void (*initialise)(PluginState&)) {
    constexpr Boolean kMoveHigh = 1;
    if (Handle existing = FindStateBlock(*data); existing != nullptr) {
        auto* state = reinterpret_cast<PluginState*>(HostLockHandle(procs, existing, kMoveHigh));
        return state != nullptr ? AttachToCall(state, result, filterRecord) : nullptr;
    }
    // The slot is empty, or holds a value this load never made: the host's to keep, never
    // ours to lock or read. A block of our own takes its place.
    Handle created = HostNewHandle(procs, size);
    if (created == nullptr)
        return nullptr;
    auto* state = reinterpret_cast<PluginState*>(HostLockHandle(procs, created, kMoveHigh));
    if (state == nullptr) {
        HostDisposeHandle(procs, created);
        return nullptr;
    }
    AttachToCall(state, result, filterRecord);
    initialise(*state);
    RememberStateBlock(created);
    *data = reinterpret_cast<std::intptr_t>(created);
    return state;
}

std::int16_t OpenPluginState(FilterRecord* filterRecord, std::intptr_t* data,
                             std::int16_t* result) {
    Require(filterRecord != nullptr && data != nullptr && result != nullptr);
    PluginState* state = LockOrCreateHandleBlock(result, filterRecord, filterRecord->handleProcs,
                                                 sizeof(PluginState), data, InitialisePluginState);
    if (state == nullptr)
        return memFullErr;
    gPluginState = state;
    gPluginStateOpened = true;
    return noErr;
}

PluginState* ValidatePluginState(PluginState* state) {
    if (state == nullptr || state->filterRecord == nullptr)
        throw eErrorMissingArgument;
    return state;
}
