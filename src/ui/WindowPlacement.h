// Where a dialog goes on its parent window: the arithmetic behind CenterWindow, free of
// any window system so that it can be checked on its own.
#pragma once

#include <cstdint>

struct WindowPlacementInput {
    std::int32_t parentLeft; // the parent's client area, in screen coordinates
    std::int32_t parentTop;
    std::int32_t parentWidth;
    std::int32_t parentHeight;
    std::int32_t width; // the window's own outer size
    std::int32_t height;
    std::int32_t captionButtonWidth; // SM_CXSIZE
    bool hasSystemMenu;
    std::int32_t screenWidth; // of the primary screen
    std::int32_t screenHeight;
};

struct WindowOrigin {
    std::int32_t x;
    std::int32_t y;
};

// Horizontally centred on the parent, moved left by the width of a caption button (two
// thirds of it for a window without a system menu, which has fewer caption buttons to
// balance), vertically at one third of the free height. A window that would end beyond
// the right or bottom screen edge is pulled back inside (but never left of or above 0).
WindowOrigin PlaceOnParent(const WindowPlacementInput& input);
