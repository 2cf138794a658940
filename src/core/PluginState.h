// The plug-in's persistent record in the host's data slot, and the per-call access to it.
#pragma once

#include "host/FilterRecord.h"

#include <cstdint>

class IConvertBuffer;

constexpr int kPathFieldSize = 260; // every stored path: at most 259 characters and a NUL

struct PluginState {
    std::int16_t* hostResult;   // the host's result cell of the current call
    FilterRecord* filterRecord; // the host's parameter block of the current call
    std::int32_t pluginType;    // 0 export, 1 filter: written into the job document
    std::int32_t exportFile;    // descriptor of the export image, -1 when closed
    std::int32_t processedFile; // descriptor of the processed image, -1 when closed
    std::int32_t lockFile;      // descriptor holding the working folder's lock, -1 when not held
    IConvertBuffer* converter;  // owned; null when no transfer is in progress
    char exportFilePath[kPathFieldSize];
    char processedFilePath[kPathFieldSize];
    char jobFilePath[kPathFieldSize];
};

constexpr std::int32_t kPluginTypeExport = 0;
constexpr std::int32_t kPluginTypeFilter = 1;

// The state block of the call in progress, null when none is open, and whether this call
// locked it. Both are cleared at the start and at the end of every PluginMain call.
extern PluginState* gPluginState;
extern bool gPluginStateOpened;

// Locks the block held in the host's data slot, or creates and initialises it on the
// first filter call, and points it at this call's FilterRecord and result cell (which
// receives 0). A slot value that this load of the module did not make counts as an empty
// slot (see StateBlockRecord.h). Returns 0, or -108 when no block could be created or
// locked. Throws EError when an argument is null.
std::int16_t OpenPluginState(FilterRecord* filterRecord, std::intptr_t* data, std::int16_t* result);

// Relocks this load's block that `data` holds, or creates one of `size` bytes and runs
// `initialise` on it before storing the handle in the slot. Returns the locked block or
// null; a block of ours that fails to lock leaves the slot as it was.
PluginState* LockOrCreateHandleBlock(std::int16_t* result, FilterRecord* filterRecord,
                                     const HandleProcs* procs, std::int32_t size,
                                     std::intptr_t* data, void (*initialise)(PluginState&));

// The initial values of a new record: a filter run, every file closed and no lock held,
// no converter, every path field filled with NULs.
void InitialisePluginState(PluginState& state);

// Returns the state, or throws EError when it is null or holds no FilterRecord.
PluginState* ValidatePluginState(PluginState* state);
