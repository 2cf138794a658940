// A test-only plug-in module: the product's own objects with an entry point that runs,
// on the start selector, only the export or only the import, as LUMETRA_TEST_STEPS says
// ("export", or "import" with the processed file named by LUMETRA_TEST_PROCESSED). Every
// other selector goes to the product's dispatcher. Results and cleanup follow the
// dispatcher's rules, so the host sees what it would see from the product.
#include "bridge/FileNames.h"
#include "bridge/WorkingFolder.h"
#include "core/Error.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "core/StateBlockRecord.h"
#include "entry/Dispatcher.h"
#include "entry/RunSequence.h"
#include "exchange/ImageExport.h"
#include "exchange/ResultImport.h"
#include "host/HandleServices.h"
#include "host/HostConstants.h"
#include "host/HostSuites.h"
#include "platform/CallingConvention.h"

#include <cstdlib>
#include <new>
#include <string>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The steps of a run up to the end of the export: both paths, the file, the document.
void RunExport(PluginState* state) {
    if (!SetResult(PrepareExportFilePath(state)) || !SetResult(PrepareProcessedFilePath(state)) ||
        !SetResult(OpenExportFile(state)))
        return;
    SetResult(ExportDocument(state));
    SetResult(CloseExportFile(state));
}

// The import as the run does it: a file that cannot be opened ends the run quietly.
void RunImport(PluginState* state) {
    const std::string path = Variable("LUMETRA_TEST_PROCESSED");
    CopyPathTruncated(state->processedFilePath, kPathFieldSize, path.c_str());
    if (OpenProcessedFile(state) != noErr)
        return;
    SetResult(ImportDocument(state));
    SetResult(CloseProcessedFile(state));
}

void RunSteps() {
    PluginState* state = ValidatePluginState(gPluginState);
    const std::string steps = Variable("LUMETRA_TEST_STEPS");
    if (steps == "export")
        RunExport(state);
    else if (steps == "import")
        RunImport(state);
    else
        SetResult(paramErr);
    SetResult(ClearRects());
}

void RunStart(FilterRecord* record, std::intptr_t* data, std::int16_t* result) {
    gBasicSuite = record->sSPBasic;
    gPluginState = nullptr;
    gPluginStateOpened = false;
    std::int16_t failure = noErr;
    try {
        *result = OpenPluginState(record, data, result);
        if (*result == noErr)
            RunSteps();
    } catch (EError error) {
        failure = static_cast<std::int16_t>(error);
    } catch (const std::bad_alloc&) {
        failure = memFullErr;
    } catch (...) {
        failure = kResultMissingArgument;
    }
    if (failure != noErr) {
        CleanUpAfterFailure();
        *result = failure;
    }
    if (Handle locked = FindStateBlock(*data); gPluginStateOpened && locked != nullptr)
        HostUnlockHandle(record->handleProcs, locked);
    gBasicSuite = nullptr;
    gPluginState = nullptr;
    gPluginStateOpened = false;
}

} // namespace

extern "C" PLUGIN_EXPORT void HOST_API PluginMain(std::int16_t selector, void* paramBlock,
                                                  std::intptr_t* data, std::int16_t* result) {
    if (selector == filterSelectorStart && paramBlock != nullptr && data != nullptr &&
        result != nullptr)
        RunStart(static_cast<FilterRecord*>(paramBlock), data, result);
    else
        RunPluginCall(selector, paramBlock, data, result);
}
