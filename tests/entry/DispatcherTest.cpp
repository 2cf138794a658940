// The dispatcher's cleanup after a failure, and the first-failure-wins result rule.
#include "entry/Dispatcher.h"

#include "convert/IConvertBuffer.h"
#include "core/FileAccess.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "entry/RunSequence.h"
#include "host/HostConstants.h"
#include "support/FakeHost.h"

#include "support/CountingConverter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

int gConvertersDestroyed = 0;

class DispatcherTest : public testing::Test {
protected:
    void SetUp() override {
        gConvertersDestroyed = 0;
        InitialisePluginState(state);
        state.filterRecord = &host.record;
        state.hostResult = &host.result;
        gPluginState = &state;
    }
    void TearDown() override {
        CloseFile(state.exportFile);
        CloseFile(state.processedFile);
        std::remove(exportPath.c_str());
        std::remove(processedPath.c_str());
        gPluginState = nullptr;
    }
    FakeHost host;
    PluginState state{};
    std::string exportPath = "dispatcher-test-export.tmp";
    std::string processedPath = "dispatcher-test-processed.tmp";
};

TEST_F(DispatcherTest, CleanupClosesBothFilesDestroysTheConverterAndClearsRects) {
    ASSERT_TRUE(OpenFile(state.exportFile, exportPath.c_str(), true, true));
    ASSERT_TRUE(OpenFile(state.processedFile, processedPath.c_str(), true, true));
    state.converter = new CountingConverter(gConvertersDestroyed);
    host.big.PluginUsing32BitCoordinates = 1;
    host.big.inRect32 = {1, 2, 3, 4};
    host.big.outRect32 = {5, 6, 7, 8};
    host.big.maskRect32 = {9, 10, 11, 12};

    CleanUpAfterFailure();

    EXPECT_EQ(state.exportFile, -1);
    EXPECT_EQ(state.processedFile, -1);
    EXPECT_EQ(state.converter, nullptr);
    EXPECT_EQ(gConvertersDestroyed, 1);
    for (const VRect& r : {host.big.inRect32, host.big.outRect32, host.big.maskRect32})
        EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0);
}

TEST_F(DispatcherTest, CleanupWithoutAnOpenStateDoesNothing) {
    gPluginState = nullptr;
    CleanUpAfterFailure();
    state.filterRecord = nullptr;
    gPluginState = &state;
    CleanUpAfterFailure();
    EXPECT_EQ(gConvertersDestroyed, 0);
}

TEST_F(DispatcherTest, ClearRectsUsesTheCoordinatesTheHostReads) {
    host.record.inRect = {1, 2, 3, 4};
    host.record.outRect = {1, 2, 3, 4};
    host.record.maskRect = {1, 2, 3, 4};
    host.big.inRect32 = {1, 2, 3, 4};
    ASSERT_EQ(ClearRects(), noErr); // 16-bit: the big block is not in use yet
    EXPECT_EQ(host.record.inRect.bottom, 0);
    EXPECT_EQ(host.record.outRect.right, 0);
    EXPECT_EQ(host.record.maskRect.top, 0);
    EXPECT_EQ(host.big.inRect32.bottom, 3);

    gPluginState = nullptr;
    EXPECT_EQ(ClearRects(), paramErr);
}

TEST_F(DispatcherTest, FirstFailureWins) {
    host.result = 0;
    EXPECT_TRUE(SetResult(noErr));
    EXPECT_EQ(host.result, 0);
    EXPECT_FALSE(SetResult(-50));
    EXPECT_FALSE(SetResult(-19));
    EXPECT_TRUE(SetResult(noErr));
    EXPECT_EQ(host.result, -50);
}

TEST_F(DispatcherTest, NullArgumentsTouchNothing) {
    std::int16_t result = 77;
    std::intptr_t slot = 0;
    RunPluginCall(filterSelectorParameters, &host.record, &slot, nullptr);
    RunPluginCall(filterSelectorParameters, nullptr, &slot, &result);
    RunPluginCall(filterSelectorParameters, &host.record, nullptr, &result);
    EXPECT_EQ(result, 77);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(FakeHost::calls.newHandle, 0);
}

} // namespace
