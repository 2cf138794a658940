// The per-load record of the state blocks' handles.
#include "core/StateBlockRecord.h"

namespace {

// Plain, constant-initialised data: a new load starts with an empty record, and no guard
// or destructor runs for it. Only the host's one user-interface thread calls the module.
Handle gStateBlocks[kRememberedStateBlocks] = {};
int gNextStateBlock = 0;

std::uint32_t LowHalf(std::uintptr_t value) {
    return static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
}

} // namespace

void RememberStateBlock(Handle handle) {
    if (handle == nullptr)
        return;
    for (Handle known : gStateBlocks)
        if (known == handle)
            return;
    gStateBlocks[gNextStateBlock] = handle;
    gNextStateBlock = (gNextStateBlock + 1) % kRememberedStateBlocks;
}

Handle FindStateBlock(std::intptr_t slotValue) {
    if (slotValue == 0)
        return nullptr;
    const auto wanted = static_cast<std::uintptr_t>(slotValue);
    Handle lowHalfMatch = nullptr;
    int lowHalfMatches = 0;
    for (Handle known : gStateBlocks) {
        if (known == nullptr)
            continue;
        const auto value = reinterpret_cast<std::uintptr_t>(known);
        if (value == wanted)
            return known;
        if (LowHalf(value) == LowHalf(wanted)) {
            lowHalfMatch = known;
            ++lowHalfMatches;
        }
    }
    return lowHalfMatches == 1 ? lowHalfMatch : nullptr;
}
