#include "app/behaviour/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace WindowPlacement {

namespace {

// How far apart two spans of one axis are: their overlap (positive) or the gap
// between them (negative). 64 bits: a frame far off the desktop must not
// overflow the sums.
std::int64_t overlapOf(std::int64_t start, std::int64_t length, std::int64_t otherStart, std::int64_t otherLength)
{
    return std::min(start + length, otherStart + otherLength) - std::max(start, otherStart);
}

// Larger is closer: the area of the frame on the screen, or, for a screen that
// holds none of it, minus the distance to it.
std::pair<std::int64_t, std::int64_t> closeness(const Rect& frame, const Rect& area)
{
    const std::int64_t across = overlapOf(frame.left, frame.width, area.left, area.width);
    const std::int64_t down = overlapOf(frame.top, frame.height, area.top, area.height);
    if (across > 0 && down > 0)
        return {across * down, 0};
    return {0, std::min<std::int64_t>(across, 0) + std::min<std::int64_t>(down, 0)};
}

} // namespace

Rect fitOnScreen(const Rect& frame, std::span<const Rect> availableAreas)
{
    const auto nearest =
        std::max_element(availableAreas.begin(), availableAreas.end(),
                         [&frame](const Rect& a, const Rect& b) { return closeness(frame, a) < closeness(frame, b); });
    return nearest == availableAreas.end() ? frame : keepOnScreen(frame, *nearest);
}

} // namespace WindowPlacement
