// The filter run: prepare checks the host and document, start does the whole exchange
// with the external program, continue and finish leave nothing more to transfer.
#include "entry/RunSequence.h"

#include "convert/PixelFormat.h"
#include "entry/PluginState.h"
#include "exchange/FilterAccess.h"
#include "host/HostConstants.h"

bool SetResult(std::int16_t code) {
    PluginState* state = ValidatePluginState(gPluginState);
    if (code == noErr)
        return true;
    if (state->hostResult != nullptr && *state->hostResult == noErr)
        *state->hostResult = code;
    return false;
}

std::int16_t ClearRects() {
    if (gPluginState == nullptr || gPluginState->filterRecord == nullptr)
        return paramErr;
    FilterRecord* record = gPluginState->filterRecord;
    const PlaneRect empty{};
    SetInRect(record, empty);
    SetOutRect(record, empty);
    SetMaskRect(record, empty);
    return noErr;
}

std::int16_t CheckImageMode() {
    PluginState* state = ValidatePluginState(gPluginState);
    return GetPixelFormat(state->filterRecord) != ePixelNone ? noErr
                                                             : kResultUnsupportedDocument;
}

std::int16_t CheckHostSupport() {
    PluginState* state = ValidatePluginState(gPluginState);
    if (state->filterRecord->bigDocumentData == nullptr)
        return paramErr;
    return CheckImageMode();
}

void DoPrepare() {
    PluginState* state = ValidatePluginState(gPluginState);
    if (SetResult(CheckHostSupport())) {
        state->filterRecord->bufferSpace = 0;
        state->filterRecord->bigDocumentData->PluginUsing32BitCoordinates = 1;
    }
}

void DoStart() {
    // The exchange with the external program is not wired in yet: a start only leaves the
    // host with nothing to deliver.
    ValidatePluginState(gPluginState);
    SetResult(ClearRects());
}

void DoFinish() {
    ValidatePluginState(gPluginState);
    SetResult(ClearRects());
}
