// The cases in which the warning must not appear at all. Were a box shown here, the test
// would block (and fail by its time limit) under Wine; on Linux it would write.
#include "core/Alert.h"
#include "ui/MessageText.h"

#include <gtest/gtest.h>

namespace {

OSErr HOST_API AdvanceState() {
    return 0;
}

TEST(AlertTest, AlertIdZeroShowsNothing) {
    const LengthPrefixedText first = MakeLengthPrefixed("1");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowAlert(0, 0, 16992, first.bytes, first.bytes), 0);
    EXPECT_EQ(ShowAlert(0, 0, 16990, nullptr, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(AlertTest, NoStringShowsNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowAlert(0, 16990, 0, nullptr, nullptr), 0);
    EXPECT_EQ(ShowAlert(0, 16990, -16992, nullptr, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(AlertTest, HostWithAdvanceStatePasses) {
    testing::internal::CaptureStderr();
    EXPECT_TRUE(CheckAdvanceState(&AdvanceState));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(AlertTest, ARunProblemWithoutACauseShowsNothing) {
    testing::internal::CaptureStderr();
    ShowRunProblem(0, {});
    ShowRunProblem(1, {});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
