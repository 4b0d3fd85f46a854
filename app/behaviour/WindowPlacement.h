#pragma once

#include <algorithm>
#include <span>

// Where a window may stand: whether a stored position leaves it where the user
// can reach it, and where it goes to lie wholly on a screen. Rectangles in
// pixels of the desktop.
namespace WindowPlacement {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// How much of the title bar a user needs to grab the window: a strip this wide
// (the whole width if narrower) and this high, along the frame's top edge.
inline constexpr int GrabWidth = 64;
inline constexpr int GrabHeight = 16;

// True when a grabbable part of the frame's top strip lies within one of the
// screens' available areas (the screen less its panels and docks).
[[nodiscard]] bool TitleBarReachable(const Rect& frame, std::span<const Rect> availableAreas);

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
