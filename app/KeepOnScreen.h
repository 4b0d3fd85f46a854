#pragma once

#include <QRect>

#include <algorithm>

// Where a window's frame goes so that it lies wholly within available, moved
// from where it stands as little as needed. A frame larger than the area keeps
// its top-left corner (and with it the title bar) inside.
[[nodiscard]] inline QPoint keepOnScreen(const QRect& frame, const QRect& available)
{
    const int left = std::max(std::min(frame.left(), available.right() + 1 - frame.width()), available.left());
    const int top = std::max(std::min(frame.top(), available.bottom() + 1 - frame.height()), available.top());
    return {left, top};
}
