// The built module driven through its exported PluginMain by a fake host whose handle
// procs count every call.
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "host/HandleServices.h"
#include "host/HostConstants.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class PluginMainTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Loaded()) << module.Error(); }

    std::int16_t Call(std::int16_t selector, void* block = nullptr) {
        host.result = 12345;
        module.Call(selector, block != nullptr ? block : &host.record, &host.slot, &host.result);
        EXPECT_EQ(FakeHost::LockedHandles(), 0)
            << "selector " << selector << " left a handle locked";
        return host.result;
    }

    PluginState& State() {
        return *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.slot));
    }

    LoadedModule module;
    FakeHost host;
};

TEST_F(PluginMainTest, NullPointersDoNothing) {
    std::int16_t result = 77;
    module.Call(filterSelectorParameters, &host.record, &host.slot, nullptr);
    module.Call(filterSelectorParameters, nullptr, &host.slot, &result);
    module.Call(filterSelectorParameters, &host.record, nullptr, &result);
    EXPECT_EQ(result, 77);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(FakeHost::calls.newHandle + FakeHost::calls.lock, 0);
}

TEST_F(PluginMainTest, ParametersCreateTheStateBlockAndUnlockIt) {
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    ASSERT_NE(host.slot, 0);
    EXPECT_EQ(FakeHost::calls.newHandle, 1);
    EXPECT_EQ(FakeHost::calls.lock, 1);
    EXPECT_EQ(FakeHost::calls.unlock, 1);
    EXPECT_GE(FakeHost::HandleSize(reinterpret_cast<Handle>(host.slot)),
              static_cast<std::int32_t>(sizeof(PluginState)));

    const PluginState& state = State();
    EXPECT_EQ(state.pluginType, kPluginTypeFilter);
    EXPECT_EQ(state.exportFile, -1);
    EXPECT_EQ(state.processedFile, -1);
    EXPECT_EQ(state.converter, nullptr);
    for (int i = 0; i < kPathFieldSize; ++i)
        ASSERT_EQ(state.exportFilePath[i] | state.processedFilePath[i] | state.jobFilePath[i], 0);
}

TEST_F(PluginMainTest, AFilledSlotIsRelockedNotReinitialised) {
    ASSERT_EQ(Call(filterSelectorParameters), noErr);
    const std::intptr_t slot = host.slot;
    State().pluginType = 7;
    State().jobFilePath[0] = 'j';

    FilterRecord other = host.record;
    ASSERT_EQ(Call(filterSelectorParameters, &other), noErr);
    EXPECT_EQ(host.slot, slot);
    EXPECT_EQ(FakeHost::calls.newHandle, 1);
    EXPECT_EQ(FakeHost::calls.lock, 2);
    EXPECT_EQ(FakeHost::calls.unlock, 2);
    EXPECT_EQ(State().pluginType, 7);
    EXPECT_EQ(State().jobFilePath[0], 'j');
    EXPECT_EQ(State().filterRecord, &other);
    EXPECT_EQ(State().hostResult, &host.result);
}

TEST_F(PluginMainTest, UnknownSelectorsBehaveLikeParameters) {
    for (std::int16_t selector : {6, -1, 100, -32768}) {
        EXPECT_EQ(Call(selector), noErr) << selector;
        EXPECT_NE(host.slot, 0);
    }
    EXPECT_EQ(FakeHost::calls.newHandle, 1);
    EXPECT_EQ(FakeHost::calls.lock, FakeHost::calls.unlock);
}

TEST_F(PluginMainTest, OnlyTheStateBlockIsUnlocked) {
    // The parameters handle belongs to the host; this plug-in never locks it.
    Handle parameters = HostNewHandle(&host.procs, 16);
    host.record.parameters = parameters;
    FakeHost::calls = HandleProcCalls{};
    ASSERT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(FakeHost::calls.lock, 1);
    EXPECT_EQ(FakeHost::calls.unlock, 1);
}

TEST_F(PluginMainTest, AboutOpensAndUnlocksNothing) {
    ASSERT_EQ(Call(filterSelectorParameters), noErr);
    FakeHost::calls = HandleProcCalls{};
    AboutRecord about{};
    EXPECT_EQ(Call(filterSelectorAbout, &about), paramErr); // no platform data: no box
    EXPECT_EQ(FakeHost::calls.lock + FakeHost::calls.unlock + FakeHost::calls.newHandle, 0);
}

TEST_F(PluginMainTest, CreationFailureReportsMemFull) {
    host.procs.newProc = [](std::int32_t) -> Handle { return nullptr; };
    EXPECT_EQ(Call(filterSelectorPrepare), memFullErr);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(FakeHost::calls.unlock, 0);
}

TEST_F(PluginMainTest, UnusableHandleProcsFallBackToTheGlobalHeap) {
    host.procs.numHandleProcs = 7;
    ASSERT_EQ(Call(filterSelectorParameters), noErr);
    ASSERT_NE(host.slot, 0);
    PluginState* first = reinterpret_cast<PluginState*>(
        HostLockHandle(nullptr, reinterpret_cast<Handle>(host.slot), 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->exportFile, -1);
    first->pluginType = 9;
    ASSERT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(first->pluginType, 9);
    EXPECT_EQ(FakeHost::calls.newHandle + FakeHost::calls.lock + FakeHost::calls.unlock, 0);
    HostDisposeHandle(nullptr, reinterpret_cast<Handle>(host.slot));
}

struct PrepareCase {
    const char* name;
    std::int16_t mode;
    std::int32_t depth;
    std::int16_t planes;
    bool bigDocument;
    std::int16_t expected;
    std::int32_t height = 10;
    std::int32_t width = 20;
};

const PrepareCase kPrepareCases[] = {
    {"RGB8", plugInModeRGBColor, 8, 3, true, noErr},
    {"RGB48", plugInModeRGB48, 16, 3, true, noErr},
    {"RGB96", plugInModeRGB96, 32, 3, true, noErr},
    {"Gray", plugInModeGrayScale, 8, 1, true, noErr},
    {"Gray16", plugInModeGray16, 16, 1, true, noErr},
    {"Gray32", plugInModeGray32, 32, 1, true, noErr},
    {"RGBWithAlpha", plugInModeRGBColor, 8, 4, true, noErr},
    {"CMYK", plugInModeCMYKColor, 8, 4, true, kResultUnsupportedDocument},
    {"Lab", plugInModeLabColor, 8, 3, true, kResultUnsupportedDocument},
    {"Lab48", plugInModeLab48, 16, 3, true, kResultUnsupportedDocument},
    {"Bitmap", plugInModeBitmap, 1, 1, true, kResultUnsupportedDocument},
    {"RGBTwoPlanes", plugInModeRGBColor, 8, 2, true, kResultUnsupportedDocument},
    {"RGBDepth12", plugInModeRGB48, 12, 3, true, kResultUnsupportedDocument},
    // Hosts without the big-document block run in 16-bit coordinates.
    {"NoBigDocumentBlock", plugInModeRGB48, 16, 3, false, noErr},
    {"NoBigDocumentBlockGray32", plugInModeGray32, 32, 1, false, noErr},
    {"NoBigDocumentBlockWidest", plugInModeRGBColor, 8, 4, false, noErr, 32767, 32767},
    {"NoBigDocumentBlockCMYK", plugInModeCMYKColor, 8, 4, false, kResultUnsupportedDocument},
    {"NoBigDocumentBlockNoRows", plugInModeRGB48, 16, 3, false, paramErr, 0, 20},
    {"NoBigDocumentBlockNoColumns", plugInModeGray16, 16, 1, false, paramErr, 10, 0},
    {"NoBigDocumentBlockWrappedSize", plugInModeRGBColor, 8, 3, false, paramErr, 40000, 20},
    // With the block the 32-bit size counts, whatever the 16-bit one says.
    {"BigDocumentBlockWrappedSize", plugInModeRGBColor, 8, 3, true, noErr, 40000, 20},
};

class PrepareTest : public PluginMainTest, public testing::WithParamInterface<PrepareCase> {};

// Prepare writes bufferSpace and, where the host has the block, the request for 32-bit
// coordinates; every other byte the host handed over stays as it was.
TEST_P(PrepareTest, RefusesWhatItCannotHandleAndWritesOnlyItsTwoFields) {
    const PrepareCase& c = GetParam();
    host.SetDocument(c.mode, c.depth, c.planes, c.height, c.width);
    if (!c.bigDocument)
        host.record.bigDocumentData = nullptr;
    host.record.bufferSpace = 1234;
    host.record.maxSpace = 5678;
    // The state block's first lock happens in this call: the handle procs keep no bytes in
    // the record, so the comparison covers the whole of it.
    unsigned char record[sizeof(FilterRecord)];
    unsigned char big[sizeof(BigDocumentStruct)];
    std::memcpy(record, &host.record, sizeof record);
    std::memcpy(big, &host.big, sizeof big);

    EXPECT_EQ(Call(filterSelectorPrepare), c.expected);
    if (c.expected == noErr) {
        EXPECT_EQ(host.record.bufferSpace, 0);
        EXPECT_EQ(host.big.PluginUsing32BitCoordinates, c.bigDocument ? 1 : 0);
        host.record.bufferSpace = 1234;
        host.big.PluginUsing32BitCoordinates = 0;
    }
    EXPECT_EQ(std::memcmp(record, &host.record, sizeof record), 0);
    EXPECT_EQ(std::memcmp(big, &host.big, sizeof big), 0);
}
INSTANTIATE_TEST_SUITE_P(Documents, PrepareTest, testing::ValuesIn(kPrepareCases),
                         [](const testing::TestParamInfo<PrepareCase>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(PluginMainTest, ContinueAndFinishLeaveEveryRectangleEmpty) {
    host.big.PluginUsing32BitCoordinates = 1;
    for (std::int16_t selector : {filterSelectorContinue, filterSelectorFinish}) {
        host.big.inRect32 = {0, 0, 1, 10};
        host.big.outRect32 = {0, 0, 1, 10};
        host.big.maskRect32 = {0, 0, 1, 10};
        EXPECT_EQ(Call(selector), noErr);
        for (const VRect& r : {host.big.inRect32, host.big.outRect32, host.big.maskRect32})
            EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0);
    }
    host.big.PluginUsing32BitCoordinates = 0;
    host.record.inRect = {0, 0, 1, 10};
    EXPECT_EQ(Call(filterSelectorFinish), noErr);
    EXPECT_EQ(host.record.inRect.right, 0);
}

} // namespace
