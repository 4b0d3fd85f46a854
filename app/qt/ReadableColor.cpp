#include "app/qt/ReadableColor.h"

#include <algorithm>
#include <cmath>

namespace ReadableColor {

namespace {

// Enough contrast for small text.
constexpr double Readable = 4.5;

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrast(const QColor& first, const QColor& second)
{
    const double one = luminance(first);
    const double other = luminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

QColor onBackground(const QColor& text, const QColor& background)
{
    if (contrast(text, background) >= Readable)
        return text;
    const QColor lightBlue(0x8a, 0xb4, 0xf8);
    const QColor blue(0, 0, 255);
    return contrast(lightBlue, background) >= contrast(blue, background) ? lightBlue : blue;
}

} // namespace ReadableColor
