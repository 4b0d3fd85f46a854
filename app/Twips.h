#pragma once

#include <QRect>

// The window is laid out in twips, 1/1440 inch: 15 twips to a logical pixel.
namespace Twips {

inline constexpr int PerPixel = 15;

[[nodiscard]] constexpr int toPixels(int twips)
{
    return twips / PerPixel;
}

// A rectangle given in twips, in logical pixels.
[[nodiscard]] constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
