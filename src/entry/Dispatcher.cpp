// The selector dispatcher behind PluginMain.
#include "entry/Dispatcher.h"

#include "convert/IConvertBuffer.h"
#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "core/StateBlockRecord.h"
#include "entry/About.h"
#include "entry/RunSequence.h"
#include "host/FilterRecord.h"
#include "host/HandleServices.h"
#include "host/HostConstants.h"
#include "host/HostSuites.h"

#include <new>

namespace {

// The per-call globals of a call in progress, and the two fields of its state block that
// every call replaces, as a call found them.
struct CallGlobals {
    SPBasicSuite* basicSuite;
    PluginState* state;
    bool stateOpened;
    std::int16_t* hostResult;
    FilterRecord* filterRecord;
};

// Takes the globals out of the way of a new call. Between calls they are all null; they
// are not when the host calls in while one of our calls is still running, from a
// callback or from the messages a run pumps while it waits for the program.
CallGlobals TakeCallGlobals() {
    CallGlobals saved{gBasicSuite, gPluginState, gPluginStateOpened, nullptr, nullptr};
    if (gPluginState != nullptr) {
        saved.hostResult = gPluginState->hostResult;
        saved.filterRecord = gPluginState->filterRecord;
    }
    gBasicSuite = nullptr;
    gPluginState = nullptr;
    gPluginStateOpened = false;
    return saved;
}

// Gives the call that was running its globals back, and its state block's fields if a
// call in between relocked the same block.
void RestoreCallGlobals(const CallGlobals& saved) {
    gBasicSuite = saved.basicSuite;
    gPluginState = saved.state;
    gPluginStateOpened = saved.stateOpened;
    if (saved.state != nullptr) {
        saved.state->hostResult = saved.hostResult;
        saved.state->filterRecord = saved.filterRecord;
    }
}

void DispatchFilterSelector(std::int16_t selector, FilterRecord* record, std::intptr_t* data,
                            std::int16_t* result) {
    gBasicSuite = record->sSPBasic;
    *result = OpenPluginState(record, data, result);
    if (*result != noErr)
        return;
    switch (selector) {
    case filterSelectorPrepare:
        DoPrepare();
        break;
    case filterSelectorStart:
        DoStart();
        break;
    case filterSelectorContinue:
    case filterSelectorFinish:
        DoFinish();
        break;
    default: // no parameters are asked for; unknown selectors are ignored
        break;
    }
}

// Only the state block is locked by a call, through its whole handle, which the slot may
// hold only in part. The host's parameters handle is never locked by this plug-in, so it
// is not unlocked either: an unbalanced unlock would upset the host's own lock count.
void UnlockWhatTheCallLocked(FilterRecord* record, std::intptr_t* data) {
    Handle locked = FindStateBlock(*data);
    if (gPluginStateOpened && locked != nullptr)
        HostUnlockHandle(record->handleProcs, locked);
}

} // namespace

void CleanUpAfterFailure() {
    PluginState* state = gPluginState;
    if (state == nullptr || state->filterRecord == nullptr)
        return;
    CloseFile(state->exportFile);
    CloseFile(state->processedFile);
    CloseFile(state->lockFile);
    delete state->converter;
    state->converter = nullptr;
    ClearRects();
}

void RunPluginCall(std::int16_t selector, void* paramBlock, std::intptr_t* data,
                   std::int16_t* result) {
    if (paramBlock == nullptr || data == nullptr || result == nullptr)
        return;
    const CallGlobals running = TakeCallGlobals();
    if (running.state != nullptr && selector == filterSelectorStart) {
        // A filter call is still running on this thread: it owns the state block, its
        // files and the working folder, so this start ends at once and touches none of
        // them.
        *result = paramErr;
        RestoreCallGlobals(running);
        return;
    }
    std::int16_t failure = noErr;
    try {
        if (selector == filterSelectorAbout) {
            auto* about = static_cast<AboutRecord*>(paramBlock);
            gBasicSuite = about->sSPBasic;
            *result = DoAbout(about);
        } else {
            DispatchFilterSelector(selector, static_cast<FilterRecord*>(paramBlock), data,
                                   result);
        }
    } catch (EError error) {
        failure = static_cast<std::int16_t>(error);
    } catch (const std::bad_alloc&) {
        failure = memFullErr;
    } catch (...) {
        failure = kResultMissingArgument;
    }
    if (failure != noErr) {
        try {
            // The files and the converter of a block that a running call shares with this
            // one are that call's to close.
            if (gPluginState != running.state)
                CleanUpAfterFailure();
        } catch (...) {
            // Cleanup only closes and frees; nothing may keep the failure from the host.
        }
        *result = failure;
    }
    if (selector != filterSelectorAbout)
        UnlockWhatTheCallLocked(static_cast<FilterRecord*>(paramBlock), data);
    RestoreCallGlobals(running);
}
