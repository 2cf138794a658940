// Handle services: when the host's procs are used, and how the global-heap fallback
// behaves when they are not.
#include "host/HandleServices.h"

#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

struct ProcsCase {
    const char* name;
    void (*mutate)(HandleProcs&);
    bool usable;
};

const ProcsCase kProcsCases[] = {
    {"version 1 with 8 procs", [](HandleProcs&) {}, true},
    {"version 1 with 9 procs", [](HandleProcs& p) { p.numHandleProcs = 9; }, true},
    {"version 0", [](HandleProcs& p) { p.handleProcsVersion = 0; }, false},
    {"version 2", [](HandleProcs& p) { p.handleProcsVersion = 2; }, false},
    {"version -1", [](HandleProcs& p) { p.handleProcsVersion = -1; }, false},
    {"7 procs", [](HandleProcs& p) { p.numHandleProcs = 7; }, false},
    {"no newProc", [](HandleProcs& p) { p.newProc = nullptr; }, false},
    {"no disposeProc", [](HandleProcs& p) { p.disposeProc = nullptr; }, false},
    {"no getSizeProc", [](HandleProcs& p) { p.getSizeProc = nullptr; }, false},
    {"no setSizeProc", [](HandleProcs& p) { p.setSizeProc = nullptr; }, false},
};

class HandleProcsTest : public testing::TestWithParam<ProcsCase> {};

TEST_P(HandleProcsTest, UsesHostProcsOnlyWhenComplete) {
    FakeHost host;
    GetParam().mutate(host.procs);
    EXPECT_EQ(HostHandleProcsAvailable(&host.procs), GetParam().usable);

    Handle handle = HostNewHandle(&host.procs, 64);
    ASSERT_NE(handle, nullptr);
    Ptr data = HostLockHandle(&host.procs, handle, 1);
    ASSERT_NE(data, nullptr);
    HostUnlockHandle(&host.procs, handle);
    HostDisposeHandle(&host.procs, handle);

    const int expected = GetParam().usable ? 1 : 0;
    EXPECT_EQ(FakeHost::calls.newHandle, expected);
    EXPECT_EQ(FakeHost::calls.lock, expected);
    EXPECT_EQ(FakeHost::calls.unlock, expected);
    EXPECT_EQ(FakeHost::calls.dispose, expected);
    EXPECT_EQ(FakeHost::LiveHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Procs, HandleProcsTest, testing::ValuesIn(kProcsCases),
                         [](const testing::TestParamInfo<ProcsCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(HandleServicesTest, NullProcsUseTheFallback) {
    EXPECT_FALSE(HostHandleProcsAvailable(nullptr));
    Handle handle = HostNewHandle(nullptr, 16);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(HostLockHandle(nullptr, handle, 0), nullptr);
    HostDisposeHandle(nullptr, handle);
}

TEST(HandleServicesTest, FallbackBlocksAreZeroFilledAndRelockInPlace) {
    constexpr std::int32_t kSize = 4096;
    Handle handle = HostNewHandle(nullptr, kSize);
    ASSERT_NE(handle, nullptr);
    Ptr first = HostLockHandle(nullptr, handle, 1);
    ASSERT_NE(first, nullptr);
    for (std::int32_t i = 0; i < kSize; ++i)
        ASSERT_EQ(first[i], 0) << "byte " << i;

    std::memset(first, 0x5A, kSize);
    HostUnlockHandle(nullptr, handle); // fallback blocks stay locked
    Ptr second = HostLockHandle(nullptr, handle, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(static_cast<unsigned char>(second[kSize - 1]), 0x5A);
    HostDisposeHandle(nullptr, handle);
}

TEST(HandleServicesTest, FallbackGivesEachHandleItsOwnBlock) {
    Handle a = HostNewHandle(nullptr, 8);
    Handle b = HostNewHandle(nullptr, 8);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(HostLockHandle(nullptr, a, 0), HostLockHandle(nullptr, b, 0));
    HostDisposeHandle(nullptr, a);
    HostDisposeHandle(nullptr, b);
}

TEST(HandleServicesTest, NullHandlesAreIgnored) {
    FakeHost host;
    HostDisposeHandle(&host.procs, nullptr);
    HostDisposeHandle(nullptr, nullptr);
    HostUnlockHandle(&host.procs, nullptr);
    EXPECT_EQ(HostLockHandle(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(FakeHost::calls.dispose + FakeHost::calls.unlock, 0);
}

TEST(HandleServicesTest, FallbackRefusesAHandleItDidNotMake) {
    // A host handle met after the host's procs became unusable must not be taken for one
    // of our blocks.
    FakeHost host;
    Handle foreign = HostNewHandle(&host.procs, 32);
    EXPECT_EQ(HostLockHandle(nullptr, foreign, 0), nullptr);
    HostDisposeHandle(nullptr, foreign); // ignored, not freed as ours
    EXPECT_EQ(FakeHost::LiveHandles(), 1);
    HostDisposeHandle(&host.procs, foreign);
}

TEST(HandleServicesTest, HostLockFailureIsReported) {
    FakeHost host;
    host.procs.lockProc = nullptr;
    Handle handle = HostNewHandle(&host.procs, 8);
    EXPECT_EQ(HostLockHandle(&host.procs, handle, 0), nullptr);
    HostDisposeHandle(&host.procs, handle);
}

} // namespace
