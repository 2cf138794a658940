// The state block: creation, initial values, relocking and validation.
#include "core/PluginState.h"

#include "core/Error.h"
#include "core/ResultCodes.h"
#include "core/StateBlockRecord.h"
#include "host/HandleServices.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

namespace {

int gInitialisations = 0;
void CountingInitialise(PluginState& state) {
    ++gInitialisations;
    InitialisePluginState(state);
}

class PluginStateTest : public testing::Test {
protected:
    void SetUp() override { gInitialisations = 0; }
    void TearDown() override {
        gPluginState = nullptr;
        gPluginStateOpened = false;
    }
    FakeHost host;
};

TEST_F(PluginStateTest, CreatesAndInitialisesOnceThenRelocks) {
    std::int16_t result = 99;
    PluginState* first = LockOrCreateHandleBlock(&result, &host.record, &host.procs,
                                                 sizeof(PluginState), &host.slot,
                                                 CountingInitialise);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_NE(host.slot, 0);
    EXPECT_EQ(gInitialisations, 1);
    EXPECT_EQ(first->hostResult, &result);
    EXPECT_EQ(first->filterRecord, &host.record);
    EXPECT_EQ(first->pluginType, kPluginTypeFilter);
    EXPECT_EQ(first->exportFile, -1);
    EXPECT_EQ(first->processedFile, -1);
    EXPECT_EQ(first->converter, nullptr);
    for (int i = 0; i < kPathFieldSize; ++i) {
        ASSERT_EQ(first->exportFilePath[i], 0);
        ASSERT_EQ(first->processedFilePath[i], 0);
        ASSERT_EQ(first->jobFilePath[i], 0);
    }

    first->pluginType = 7;
    first->exportFilePath[0] = 'x';
    FilterRecord other = host.record;
    std::int16_t otherResult = 5;
    PluginState* second = LockOrCreateHandleBlock(&otherResult, &other, &host.procs,
                                                  sizeof(PluginState), &host.slot,
                                                  CountingInitialise);
    EXPECT_EQ(second, first);
    EXPECT_EQ(gInitialisations, 1);
    EXPECT_EQ(second->pluginType, 7);
    EXPECT_EQ(second->exportFilePath[0], 'x');
    EXPECT_EQ(second->filterRecord, &other);
    EXPECT_EQ(second->hostResult, &otherResult);
    EXPECT_EQ(otherResult, 0);
    EXPECT_EQ(FakeHost::calls.newHandle, 1);
    EXPECT_EQ(FakeHost::calls.lock, 2);
}

TEST_F(PluginStateTest, FailedCreationLeavesTheSlotEmpty) {
    host.procs.newProc = [](std::int32_t) -> Handle { return nullptr; };
    std::int16_t result = 0;
    EXPECT_EQ(OpenPluginState(&host.record, &host.slot, &result), memFullErr);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(gPluginState, nullptr);
    EXPECT_FALSE(gPluginStateOpened);
}

TEST_F(PluginStateTest, FailedLockOfANewBlockDisposesIt) {
    host.procs.lockProc = [](Handle, Boolean) -> Ptr { return nullptr; };
    std::int16_t result = 0;
    EXPECT_EQ(OpenPluginState(&host.record, &host.slot, &result), memFullErr);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(FakeHost::calls.newHandle, 1);
    EXPECT_EQ(FakeHost::calls.dispose, 1);
    EXPECT_EQ(FakeHost::LiveHandles(), 0);
}

TEST_F(PluginStateTest, FailedRelockLeavesTheSlotAlone) {
    std::int16_t result = 0;
    ASSERT_EQ(OpenPluginState(&host.record, &host.slot, &result), noErr);
    const std::intptr_t slot = host.slot;
    host.procs.lockProc = [](Handle, Boolean) -> Ptr { return nullptr; };
    gPluginState = nullptr;
    gPluginStateOpened = false;
    EXPECT_EQ(OpenPluginState(&host.record, &host.slot, &result), memFullErr);
    EXPECT_EQ(host.slot, slot);
    EXPECT_FALSE(gPluginStateOpened);
}

TEST_F(PluginStateTest, OpenSetsTheCallGlobals) {
    std::int16_t result = 3;
    ASSERT_EQ(OpenPluginState(&host.record, &host.slot, &result), noErr);
    EXPECT_EQ(result, 0);
    ASSERT_NE(gPluginState, nullptr);
    EXPECT_TRUE(gPluginStateOpened);
    EXPECT_EQ(ValidatePluginState(gPluginState), gPluginState);
}

TEST_F(PluginStateTest, NullArgumentsAndMissingRecordThrow) {
    std::int16_t result = 0;
    EXPECT_THROW(OpenPluginState(nullptr, &host.slot, &result), EError);
    EXPECT_THROW(OpenPluginState(&host.record, nullptr, &result), EError);
    EXPECT_THROW(OpenPluginState(&host.record, &host.slot, nullptr), EError);
    EXPECT_THROW(ValidatePluginState(nullptr), EError);
    PluginState state{};
    EXPECT_THROW(ValidatePluginState(&state), EError);
}

TEST_F(PluginStateTest, WorksOnTheFallbackHeap) {
    host.procs.handleProcsVersion = 2;
    std::int16_t result = 0;
    ASSERT_EQ(OpenPluginState(&host.record, &host.slot, &result), noErr);
    PluginState* first = gPluginState;
    EXPECT_EQ(first->exportFile, -1);
    ASSERT_EQ(OpenPluginState(&host.record, &host.slot, &result), noErr);
    EXPECT_EQ(gPluginState, first);
    EXPECT_EQ(FakeHost::calls.newHandle + FakeHost::calls.lock, 0);
    HostDisposeHandle(nullptr, reinterpret_cast<Handle>(host.slot));
}

// Two blocks of this load whose handles share their low 32 bits: a value cut to those bits
// could be either, so it names neither; each whole value names its own.
TEST(StateBlockRecordTest, ALowHalfTwoBlocksShareNamesNeither) {
    if (sizeof(std::intptr_t) < 8)
        GTEST_SKIP() << "a 32-bit slot holds the whole handle";
    const auto value = [](std::uint64_t v) {
        return static_cast<std::intptr_t>(static_cast<std::uintptr_t>(v));
    };
    const std::intptr_t first = value(0x0000000123456780u), second = value(0x0000000223456780u);
    RememberStateBlock(reinterpret_cast<Handle>(first));
    RememberStateBlock(reinterpret_cast<Handle>(second));
    EXPECT_EQ(FindStateBlock(first), reinterpret_cast<Handle>(first));
    EXPECT_EQ(FindStateBlock(second), reinterpret_cast<Handle>(second));
    EXPECT_EQ(FindStateBlock(value(0x23456780u)), nullptr);
    EXPECT_EQ(FindStateBlock(value(0x0000000323456781u)), nullptr);
}

} // namespace
