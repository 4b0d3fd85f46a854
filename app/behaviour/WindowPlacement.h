#pragma once

#include <algorithm>
#include <span>

// Where a window may stand: moved onto a screen, whole, as little as needed.
// Rectangles in pixels of the desktop.
namespace WindowPlacement {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The frame moved as little as needed to lie wholly within available; one
// larger than the area keeps its top-left corner (and with it the title bar)
// inside.
[[nodiscard]] inline Rect keepOnScreen(Rect frame, const Rect& available)
{
    frame.left = std::max(std::min(frame.left, available.left + available.width - frame.width), available.left);
    frame.top = std::max(std::min(frame.top, available.top + available.height - frame.height), available.top);
    return frame;
}

// The frame kept on the screens' available area (the screen less its panels
// and docks) that holds most of it, or, holding none of it, the nearest. No
// area: the frame as it is.
[[nodiscard]] Rect fitOnScreen(const Rect& frame, std::span<const Rect> availableAreas);

} // namespace WindowPlacement
