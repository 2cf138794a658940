// Hosts that load the module for each use and unload it afterwards: load, a run that fails
// inside the module, unload, again and again, and the process holds no more handles of
// the operating system, nor thread-local storage slots, than before.
#include "BridgeFixtures.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"
#include "platform/HostProgramServices.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

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

} // namespace
