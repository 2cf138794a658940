// Hosts that load the module for each use and unload it afterwards: load, a run that fails
// inside the module, unload, again and again, and the process holds no more handles of
// the operating system, nor thread-local storage slots, than before. And hosts that keep
// it loaded: a fresh module's first whole run leaves the handles as it found them.
#include "BridgeFixtures.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProgramServices.h"
#include "support/FakeHost.h"
#include "support/ServedDocument.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The host answers the request but hands over no pixels: the export's conversion finds
// no data and the call ends with -1715 from deep inside the module, after an exception.
OSErr HOST_API AdvanceWithoutPixels() {
    return noErr;
}

void LoadFailUnload(const std::string& path) {
    std::string error;
    ModuleHandle module = LoadPluginModule(path, error);
    ASSERT_NE(module, nullptr) << error;
    auto entry = reinterpret_cast<PluginMainFunction>(FindModuleExport(module, "PluginMain"));
    ASSERT_NE(entry, nullptr);
    FakeHost host;
    host.record.advanceState = AdvanceWithoutPixels;
    entry(filterSelectorStart, &host.record, &host.slot, &host.result);
    EXPECT_EQ(host.result, kResultMissingArgument);
    UnloadPluginModule(module);
}

TEST(ModuleUnloadTest, LoadFailUnloadCyclesLeaveNoHandlesNorSlots) {
    ScratchFolder scratch("unload");
    TempFolderOverride temp(WithSeparator(scratch.Sub("temp", true)));
    const std::string path = ExecutableFolder() + PluginModuleFileName();
    // The first load brings in the system libraries the module uses; they stay loaded.
    LoadFailUnload(path);
    const int before = CountSystemHandles();
    const long slotsBefore = NextThreadSlots();
    ASSERT_GT(before, 0);
    for (int cycle = 0; cycle < 100 && !HasFailure(); ++cycle)
        LoadFailUnload(path);
    EXPECT_EQ(CountSystemHandles(), before);
    if (!LUMETRA_THREAD_LAYER_KEEPS_SLOT) {
        EXPECT_EQ(NextThreadSlots(), slotsBefore);
    }
}

// The document of the whole runs below, served one segment per request.
FakeHost* gServedHost = nullptr;
ServedDocument gServed;

OSErr HOST_API ServeSegment() {
    ServeRequestedSegment(gServed, *gServedHost);
    return noErr;
}

// Prepare and start on a small 16-bit RGB document, the stand-in program inverting it;
// true when the run succeeded and the document came back changed.
bool RunWholeDocument(LoadedModule& module) {
    constexpr std::int32_t kWidth = 4;
    constexpr std::int32_t kHeight = 3;
    FakeHost host;
    host.SetDocument(plugInModeRGB48, 16, 3, kHeight, kWidth);
    host.record.advanceState = ServeSegment;
    gServedHost = &host;
    gServed =
        ServedDocument{kWidth, std::vector<std::uint16_t>(kWidth * kHeight * 3, 1000), {}, {}, {}};
    module.Call(filterSelectorPrepare, &host.record, &host.slot, &host.result);
    EXPECT_EQ(host.result, noErr);
    module.Call(filterSelectorStart, &host.record, &host.slot, &host.result);
    EXPECT_EQ(host.result, noErr);
    WriteBackOutput(gServed);
    gServedHost = nullptr;
    return host.result == noErr && gServed.samples.front() != 1000;
}

TEST(ModuleUnloadTest, FirstRunOfAModuleThatStaysLoadedKeepsNoHandle) {
    ScratchFolder scratch("first-run");
    TempFolderOverride temp(WithSeparator(scratch.Sub("temp", true)));
    SettingsProfile profile;
    profile.WriteApplicationPath(ExecutableFolder());
    ScopedVariable mode("LUMETRA_APP_MODE", "invert");
    // A first run through a copy of the module that is unloaded again brings in what stays
    // with the process (the system libraries a launch uses), so that the counts below see
    // only what the fresh copy's runs keep.
    {
        LoadedModule warmUp;
        ASSERT_TRUE(warmUp.Loaded()) << warmUp.Error();
        ASSERT_TRUE(RunWholeDocument(warmUp));
    }
    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << module.Error();
    const int before = CountSystemHandles();
    ASSERT_GT(before, 0);
    // Both counts are taken before a failure is reported, which may open handles itself.
    ASSERT_TRUE(RunWholeDocument(module));
    const int afterFirst = CountSystemHandles();
    ASSERT_TRUE(RunWholeDocument(module));
    const int afterSecond = CountSystemHandles();
    EXPECT_EQ(afterFirst, before);
    EXPECT_EQ(afterSecond, before);
}

} // namespace
