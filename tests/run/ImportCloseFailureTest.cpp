// A run whose import fails with a read error and whose close of the processed file then
// fails too reports the import's code: the first failure of a call is the one the host sees.
// The host here closes the plug-in's processed file behind its back during the import, which
// makes both the next read and the close fail. The import reads a block at a time, so the
// document is larger than one block: the read after the first block fails.
#include "BridgeFixtures.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "exchange/ResultImport.h"
#include "host/HostConstants.h"
#include "platform/FileIo.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostWindow.h"
#include "support/FakeHost.h"
#include "support/ServedDocument.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 1000;
constexpr std::int32_t kHeight = 60;
// The rows whose bytes the first read brings in whole, all delivered before the next read.
constexpr int kRowsInFirstBlock = static_cast<int>(kImportBlockBytes / (kWidth * 6));
static_assert(kRowsInFirstBlock + 1 < kHeight, "the raster must need a second read");

struct Served {
    FakeHost* host = nullptr;
    ServedDocument document{kWidth, {}, {}, {}, {}};
    int requests = 0;
    int rowsDelivered = 0;
    bool sabotaged = false;
} gServed;

PluginState& StateOf(FakeHost& host) {
    return *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.slot));
}

OSErr HOST_API ServeRequest() {
    FakeHost& host = *gServed.host;
    WriteBackOutput(gServed.document);
    ++gServed.requests;
    PluginState& state = StateOf(host);
    if (state.processedFile != -1) {
        // The import is under way: take its file away after the first delivered row.
        if (gServed.rowsDelivered == 1 && !gServed.sabotaged) {
            OsCloseFile(state.processedFile);
            gServed.sabotaged = true;
        }
        ++gServed.rowsDelivered;
    }
    ServeRequestedSegment(gServed.document, host);
    return noErr;
}

TEST(ImportCloseFailureTest, TheImportsReadErrorIsReportedNotTheFailedClose) {
    ScratchFolder scratch("close-failure");
    TempFolderOverride temp(WithSeparator(scratch.Sub("temp", true)));
    SettingsProfile profile;
    profile.WriteApplicationPath(ExecutableFolder());
    ScopedVariable mode("LUMETRA_APP_MODE", "invert");

    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << module.Error();
    FakeHost host;
    std::string error;
    host.platform.hwnd = CreateHostWindow(error);
    ASSERT_NE(host.platform.hwnd, 0) << error;
    host.SetDocument(plugInModeRGB48, 16, 3, kHeight, kWidth);
    host.record.advanceState = ServeRequest;
    gServed = Served{};
    gServed.host = &host;
    gServed.document.samples.assign(kWidth * kHeight * 3, 1000);

    module.Call(filterSelectorPrepare, &host.record, &host.slot, &host.result);
    ASSERT_EQ(host.result, noErr);
    module.Call(filterSelectorStart, &host.record, &host.slot, &host.result);

    EXPECT_TRUE(gServed.sabotaged) << "the import never ran";
    EXPECT_EQ(host.result, readErr) << "the close's -50 must not replace the import's code";
    EXPECT_EQ(gServed.rowsDelivered, kRowsInFirstBlock) << "the read after the sabotage failed";
    WriteBackOutput(gServed.document);
    EXPECT_NE(gServed.document.samples[0], 1000) << "the first row was delivered inverted";
    EXPECT_EQ(gServed.document.samples[(kHeight - 1) * kWidth * 3], 1000) << "the last row was not";
    const PluginState& state = StateOf(host);
    EXPECT_EQ(state.processedFile, -1);
    EXPECT_EQ(state.exportFile, -1);
    EXPECT_EQ(state.converter, nullptr);
    DestroyHostWindow(host.platform.hwnd);
}

} // namespace
