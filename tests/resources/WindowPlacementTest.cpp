// The placement arithmetic behind CenterWindow, case by case.
#include "ui/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* name;
    WindowPlacementInput input;
    WindowOrigin expected;
};

// A 600 x 400 parent client area at (100, 50), a 300 x 200 window, 18-pixel caption
// buttons, no system menu, a 1024 x 768 screen.
WindowPlacementInput Base() {
    return {100, 50, 600, 400, 300, 200, 18, false, 1024, 768};
}

WindowPlacementInput With(void (*change)(WindowPlacementInput&)) {
    WindowPlacementInput input = Base();
    change(input);
    return input;
}

class PlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, Places) {
    const PlacementCase& c = GetParam();
    const WindowOrigin origin = PlaceOnParent(c.input);
    EXPECT_EQ(origin.x, c.expected.x);
    EXPECT_EQ(origin.y, c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacementTest,
    testing::Values(
        // 100 + 300 / 2 - (18 - 18 / 3), 50 + 200 / 3
        PlacementCase{"NoSystemMenuShiftsTwoThirds", Base(), {238, 116}},
        PlacementCase{"SystemMenuShiftsWholeButton",
                      With([](WindowPlacementInput& i) { i.hasSystemMenu = true; }),
                      {232, 116}},
        // 20 - 20 / 3 = 14 (integer division)
        PlacementCase{"ShiftRoundsTheThirdDown",
                      With([](WindowPlacementInput& i) { i.captionButtonWidth = 20; }),
                      {236, 116}},
        PlacementCase{"OddFreeSpaceRoundsDown",
                      With([](WindowPlacementInput& i) {
                          i.parentWidth = 601;
                          i.parentHeight = 402;
                      }),
                      {238, 117}},
        PlacementCase{"ParentSmallerThanWindow",
                      With([](WindowPlacementInput& i) {
                          i.parentLeft = 500;
                          i.parentTop = 300;
                          i.parentWidth = 100;
                          i.parentHeight = 100;
                      }),
                      {488, 300}},
        PlacementCase{"PastRightEdge",
                      With([](WindowPlacementInput& i) {
                          i.parentLeft = 900;
                          i.parentTop = 100;
                          i.parentWidth = 400;
                          i.parentHeight = 300;
                      }),
                      {724, 133}},
        PlacementCase{
            "PastBottomEdge", With([](WindowPlacementInput& i) { i.parentTop = 700; }), {238, 568}},
        PlacementCase{"LargerThanScreen",
                      With([](WindowPlacementInput& i) {
                          i.width = 1200;
                          i.height = 900;
                      }),
                      {0, 0}},
        // A parent on a monitor left of the primary one keeps its negative position.
        PlacementCase{
            "LeftMonitor", With([](WindowPlacementInput& i) { i.parentLeft = -700; }), {-562, 116}},
        PlacementCase{
            "DesktopAsParent", {0, 0, 1024, 768, 300, 200, 18, false, 1024, 768}, {350, 189}}),
    [](const testing::TestParamInfo<PlacementCase>& c) { return c.param.name; });

} // namespace
