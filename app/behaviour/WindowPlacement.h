#pragma once

#include <span>

// Whether a stored window position leaves the window where the user can reach
// it. Rectangles in pixels of the desktop.
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
