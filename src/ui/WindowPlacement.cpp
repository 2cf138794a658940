// The placement arithmetic of CenterWindow.
#include "ui/WindowPlacement.h"

#include <algorithm>

WindowOrigin PlaceOnParent(const WindowPlacementInput& input) {
    std::int32_t shift = input.captionButtonWidth;
    if (!input.hasSystemMenu)
        shift -= shift / 3;

    std::int32_t x = input.parentLeft + std::max(0, input.parentWidth - input.width) / 2 - shift;
    if (x + input.width > input.screenWidth)
        x = std::max(0, input.screenWidth - input.width);

    std::int32_t y = input.parentTop + std::max(0, input.parentHeight - input.height) / 3;
    if (y + input.height > input.screenHeight)
        y = std::max(0, input.screenHeight - input.height);
    return {x, y};
}
