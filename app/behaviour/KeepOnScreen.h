#pragma once

#include "app/behaviour/WindowPlacement.h"

#include <algorithm>

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
