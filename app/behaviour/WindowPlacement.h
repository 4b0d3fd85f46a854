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

// The frame moved just enough to lie wholly on one of the screens' available
// areas (the screen less its panels and docks): the one that holds most of it,
// or, holding none of it, the nearest. A frame that fits where it stands stays
// there; one larger than the area keeps its top-left corner (and with it the
// title bar) inside. No area: the frame as it is.
[[nodiscard]] Rect fitOnScreen(const Rect& frame, std::span<const Rect> availableAreas);

} // namespace WindowPlacement

// Where a window's frame goes so that it lies wholly within available, moved
// from where it stands as little as needed: the frame with its new top-left
// corner. A frame larger than the area keeps its top-left corner (and with it
// the title bar) inside. Pixels of the desktop.
[[nodiscard]] inline WindowPlacement::Rect keepOnScreen(WindowPlacement::Rect frame,
                                                        const WindowPlacement::Rect& available)
{
    frame.left = std::max(std::min(frame.left, available.left + available.width - frame.width), available.left);
    frame.top = std::max(std::min(frame.top, available.top + available.height - frame.height), available.top);
    return frame;
}
