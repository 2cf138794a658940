// The host calls the filter again while a run is under way, as a host does whose menus
// stay live while the plug-in pumps its messages: the second start gets -50 and leaves
// the running call's state block, files and converter as they were.
#include "BridgeFixtures.h"
#include "RunFixture.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostWindow.h"
#include "support/FakeHost.h"
#include "support/ServedDocument.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::int32_t kWidth = 4;
constexpr std::int32_t kHeight = 3;
constexpr std::uint16_t kSample = 1000;

// What the running call holds; a nested call must leave all of it alone.
struct Holdings {
    std::int32_t exportFile, processedFile, lockFile;
    const void* converter;
    const std::int16_t* hostResult;
    const FilterRecord* filterRecord;
    bool operator==(const Holdings& o) const {
        return exportFile == o.exportFile && processedFile == o.processedFile &&
               lockFile == o.lockFile && converter == o.converter && hostResult == o.hostResult &&
               filterRecord == o.filterRecord;
    }
};

struct Served {
    FakeHost* host = nullptr;
    LoadedModule* module = nullptr;
    ServedDocument document{kWidth, {}, {}, {}, {}};
    int requests = 0;
    std::vector<int> reenterAt;         // requests before which the filter is started again
    std::vector<std::int16_t> nested;   // the results of those starts
    std::vector<std::int16_t> prepared; // and of the prepare before each
    bool heldTheirGround = true;
} gServed;

PluginState& StateOf(FakeHost& host) {
    return *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.slot));
}

Holdings HoldingsOf(const PluginState& s) {
    return {s.exportFile, s.processedFile, s.lockFile, s.converter, s.hostResult, s.filterRecord};
}

// The user picks the filter again: a second record of the host, the same data slot.
void StartAgain() {
    FakeHost& host = *gServed.host;
    const Holdings before = HoldingsOf(StateOf(host));
    FilterRecord second = host.record;
    std::int16_t result = 1;
    gServed.module->Call(filterSelectorPrepare, &second, &host.slot, &result);
    gServed.prepared.push_back(result);
    result = 1;
    gServed.module->Call(filterSelectorStart, &second, &host.slot, &result);
    gServed.nested.push_back(result);
    // The same record again, as a host that reuses its block would.
    gServed.module->Call(filterSelectorStart, &host.record, &host.slot, &result);
    gServed.nested.push_back(result);
    if (!(HoldingsOf(StateOf(host)) == before))
        gServed.heldTheirGround = false;
}

OSErr HOST_API ServeRequest() {
    FakeHost& host = *gServed.host;
    WriteBackOutput(gServed.document);
    ++gServed.requests;
    for (int at : gServed.reenterAt)
        if (at == gServed.requests)
            StartAgain();
    ServeRequestedSegment(gServed.document, host);
    return noErr;
}

TEST(NestedStartTest, ASecondStartDuringTheExportAndTheImportGetsParamErr) {
    ScratchFolder scratch("nested");
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
    gServed.module = &module;
    gServed.document.samples.assign(kWidth * kHeight * 3, kSample);
    gServed.reenterAt = {2, kHeight + 2}; // one row into the export, and into the import

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        module.Call(filterSelectorPrepare, &host.record, &host.slot, &host.result);
        ASSERT_EQ(host.result, noErr);
        module.Call(filterSelectorStart, &host.record, &host.slot, &host.result);
        WriteBackOutput(gServed.document);
        EXPECT_EQ(host.result, noErr) << "the running start finishes as if alone";
        if (run == 0) {
            EXPECT_EQ(gServed.requests, 2 * kHeight);
            EXPECT_EQ(gServed.prepared, (std::vector<std::int16_t>{0, 0}));
            EXPECT_EQ(gServed.nested, (std::vector<std::int16_t>{-50, -50, -50, -50}));
            EXPECT_TRUE(gServed.heldTheirGround);
            gServed.reenterAt.clear();
        }
        const PluginState& state = StateOf(host);
        EXPECT_EQ(state.exportFile, -1);
        EXPECT_EQ(state.processedFile, -1);
        EXPECT_EQ(state.lockFile, -1);
        EXPECT_EQ(state.converter, nullptr);
        EXPECT_EQ(FakeHost::LockedHandles(), 0);
    }
    // Inverted twice through the exchange, by the two runs that were let through.
    const auto invert = [](std::uint16_t v) {
        return Import16(static_cast<std::uint16_t>(65535 - Export16(v)));
    };
    for (std::uint16_t v : gServed.document.samples)
        ASSERT_EQ(v, invert(invert(kSample)));
    DestroyHostWindow(host.platform.hwnd);
}

} // namespace
