#include "app/behaviour/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace WindowPlacement {

bool TitleBarReachable(const Rect& frame, std::span<const Rect> availableAreas)
{
    // 64 bits: a frame far off the desktop must not overflow the sums.
    const std::int64_t neededWidth = std::min(GrabWidth, frame.width);
    const std::int64_t neededHeight = std::min(GrabHeight, frame.height);
    const std::int64_t stripLeft = frame.left;
    const std::int64_t stripRight = stripLeft + frame.width;
    const std::int64_t stripTop = frame.top;
    const std::int64_t stripBottom = stripTop + neededHeight;
    return std::any_of(availableAreas.begin(), availableAreas.end(), [&](const Rect& area) {
        const std::int64_t left = std::max<std::int64_t>(stripLeft, area.left);
        const std::int64_t right = std::min<std::int64_t>(stripRight, std::int64_t{area.left} + area.width);
        const std::int64_t top = std::max<std::int64_t>(stripTop, area.top);
        const std::int64_t bottom = std::min<std::int64_t>(stripBottom, std::int64_t{area.top} + area.height);
        return neededWidth > 0 && right - left >= neededWidth && bottom - top >= neededHeight;
    });
}

} // namespace WindowPlacement
