// The filter run: prepare checks the host and document, start does the whole exchange
// with the external program, continue and finish leave nothing more to transfer.
#include "entry/RunSequence.h"

#include "bridge/JobDocument.h"
#include "bridge/Launcher.h"
#include "bridge/WorkingFolder.h"
#include "convert/PixelFormat.h"
#include "core/Alert.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "exchange/FilterAccess.h"
#include "exchange/ImageExport.h"
#include "exchange/ResultImport.h"
#include "host/HostRecords.h"

#include <string>

namespace {

// Everything of a start call before the rectangles are cleared. Each step records its
// code; the first failure ends the exchange and is the one the host sees. A step that
// fails for a reason the user can mend (the settings file, the program, the folders, a
// run under way) also says why in `problem`.
void ExchangeWithApplication(PluginState* state, RunProblem& problem) {
    // Every run uses the same folder and names, so the folder is taken for this run alone
    // before anything in it is deleted or written, and kept until the processed file has
    // been read: two overlapping runs would otherwise exchange each other's images. A file
    // of an earlier run that stays under one of the names stops the run before anything is
    // written: after the program, it could not be told from the program's result.
    if (!SetResult(CheckProfileFolder(&problem)) ||
        !SetResult(PrepareExportFilePath(state, &problem)) ||
        !SetResult(PrepareProcessedFilePath(state, &problem)) ||
        !SetResult(LockWorkingFolder(state, &problem)) ||
        !SetResult(FreeExchangeFileNames(state, &problem)) || !SetResult(OpenExportFile(state)))
        return;

    // The job document is only written for a complete export; the export file is closed
    // either way, before anything is started.
    const bool exported = SetResult(ExportDocument(state)) && SetResult(WriteJobDocument(state));
    if (!SetResult(CloseExportFile(state)) || !exported)
        return;

    const std::string jobPath = state->jobFilePath;
    if (!SetResult(
            LaunchApplication(state->filterRecord->platformData, jobPath.c_str(), true, &problem)))
        return;

    // No processed file means the user let the program end without a result: the document
    // stays as it is, and that is not an error.
    if (OpenProcessedFile(state) != noErr)
        return;
    SetResult(ImportDocument(state));
    SetResult(CloseProcessedFile(state));
}

// Tells the user why the run could not go ahead, in a box owned by the host's window, or
// by none where the host gives no window (no platform data, or a window handle of 0).
void ReportProblem(const PluginState* state, const RunProblem& problem) {
    const auto* platform = static_cast<const PlatformData*>(state->filterRecord->platformData);
    ShowRunProblem(platform != nullptr ? platform->hwnd : 0, problem);
}

} // namespace

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
    return GetPixelFormat(state->filterRecord) != ePixelNone ? noErr : kResultUnsupportedDocument;
}

std::int16_t CheckHostSupport() {
    PluginState* state = ValidatePluginState(gPluginState);
    const std::int16_t mode = CheckImageMode();
    if (mode != noErr)
        return mode;
    // Many hosts offer no big-document block: the run then works in the 16-bit fields,
    // which cannot describe a document without rows or columns.
    const FilterRecord* record = state->filterRecord;
    if (record->bigDocumentData == nullptr &&
        (record->imageSize.v <= 0 || record->imageSize.h <= 0))
        return paramErr;
    return noErr;
}

void DoPrepare() {
    PluginState* state = ValidatePluginState(gPluginState);
    if (!SetResult(CheckHostSupport()))
        return;
    FilterRecord* record = state->filterRecord;
    record->bufferSpace = 0;
    // Where there is no block there is nothing to switch: the 16-bit fields stay in use.
    if (record->bigDocumentData != nullptr)
        record->bigDocumentData->PluginUsing32BitCoordinates = 1;
}

void DoStart() {
    PluginState* state = ValidatePluginState(gPluginState);
    RunProblem problem;
    ExchangeWithApplication(state, problem);
    // The folder is free again while the user reads the message.
    UnlockWorkingFolder(state);
    ReportProblem(state, problem);
    SetResult(ClearRects());
}

void DoFinish() {
    ValidatePluginState(gPluginState);
    SetResult(ClearRects());
}
