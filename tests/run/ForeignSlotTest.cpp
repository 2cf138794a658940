// Whole runs whose data slot the host did not keep as the module left it: GIMP's Repeat
// puts back a value from an earlier process, and a 64-bit host with a four-byte slot hands
// back only part of the handle stored. Each run ends with the program's result, the
// module's own block made once and relocked, and no foreign value touched.
#include "BridgeFixtures.h"
#include "RunFixture.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/HostDynamicModule.h"
#include "support/FakeHost.h"
#include "support/ServedDocument.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr std::int32_t kWidth = 4;
constexpr std::int32_t kHeight = 2;
constexpr std::uint16_t kSample = 1000;

// How the host keeps the slot from one call to the next.
enum ESlotKeeping { eSlotWhole, eSlotLowHalf, eSlotLowHalfSignExtended, eSlotLowHalfBesideGarbage };

std::intptr_t Kept(std::intptr_t value, ESlotKeeping keeping) {
    const std::uint64_t low = static_cast<std::uintptr_t>(value) & 0xFFFFFFFFu;
    std::uint64_t kept = low;
    if (keeping == eSlotWhole)
        return value;
    if (keeping == eSlotLowHalfSignExtended)
        kept =
            static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(low)));
    if (keeping == eSlotLowHalfBesideGarbage)
        kept |= 0x5A5A5A5A00000000u; // the host's next variable, overwritten or not
    return static_cast<std::intptr_t>(static_cast<std::uintptr_t>(kept));
}

struct SlotCase {
    const char* name;
    bool foreignAtFirstCall; // a value from another process, as GIMP's Repeat restores it
    bool lockGuesses;        // the host's lock hands back what a value it never made points at
    ESlotKeeping keeping;
};

// What a stale value from another process happens to point at in this one.
unsigned char gForeign[1024];

ServedDocument gDocument{kWidth, {}, {}, {}, {}};
FakeHost* gHost = nullptr;

OSErr HOST_API ServeRequest() {
    ServeRequestedSegment(gDocument, *gHost);
    return noErr;
}

class ForeignSlotTest : public testing::TestWithParam<SlotCase> {};

TEST_P(ForeignSlotTest, TheRunEndsWithTheProgramsResultAndTouchesNoForeignMemory) {
    const SlotCase& c = GetParam();
    ScratchFolder scratch("foreign-slot");
    TempFolderOverride temp(WithSeparator(scratch.Sub("temp", true)));
    SettingsProfile profile;
    profile.WriteApplicationPath(ExecutableFolder());
    ScopedVariable mode("LUMETRA_APP_MODE", "invert");
    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << module.Error();
    FakeHost host;
    gHost = &host;
    host.platform.hwnd = 0; // as GIMP gives it
    host.SetDocument(plugInModeRGB48, 16, 3, kHeight, kWidth);
    host.record.advanceState = ServeRequest;
    gDocument.samples.assign(kWidth * kHeight * 3, kSample);
    std::memset(gForeign, 0x3C, sizeof gForeign);
    if (c.lockGuesses)
        FakeHost::notOursLocksTo = reinterpret_cast<Ptr>(gForeign);
    if (c.foreignAtFirstCall)
        host.slot = Kept(reinterpret_cast<std::intptr_t>(gForeign), c.keeping);

    for (std::int16_t selector :
         {filterSelectorPrepare, filterSelectorStart, filterSelectorFinish}) {
        host.result = 1;
        module.Call(selector, &host.record, &host.slot, &host.result);
        EXPECT_EQ(host.result, noErr) << "selector " << selector;
        host.slot = Kept(host.slot, c.keeping);
    }
    WriteBackOutput(gDocument);
    EXPECT_EQ(FakeHost::calls.newHandle, 1) << "one block, relocked by every later call";
    EXPECT_EQ(FakeHost::calls.lock, 3);
    EXPECT_EQ(FakeHost::calls.unlock, 3);
    EXPECT_EQ(FakeHost::calls.notOurs, 0) << "a value the host never made reached its procs";
    EXPECT_EQ(FakeHost::LockedHandles(), 0);
    for (unsigned char byte : gForeign)
        ASSERT_EQ(byte, 0x3C) << "the module wrote into memory it did not make";
    const std::uint16_t inverted = Import16(static_cast<std::uint16_t>(65535 - Export16(kSample)));
    for (std::uint16_t v : gDocument.samples)
        ASSERT_EQ(v, inverted);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, ForeignSlotTest,
    testing::Values(SlotCase{"ForeignValueTheHostLocksToItsMemory", true, true, eSlotWhole},
                    SlotCase{"ForeignValueTheHostCannotLock", true, false, eSlotWhole},
                    SlotCase{"ForeignFourBytesInAFourByteSlot", true, true,
                             eSlotLowHalfBesideGarbage},
                    SlotCase{"OwnBlockInAFourByteSlot", false, false, eSlotLowHalf},
                    SlotCase{"OwnBlockSignExtended", false, false, eSlotLowHalfSignExtended}),
    [](const testing::TestParamInfo<SlotCase>& param) { return std::string(param.param.name); });

} // namespace
