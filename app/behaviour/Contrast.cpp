#include "app/behaviour/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Contrast {

namespace {

constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t White = 0xFFFFFF;
// Links' blues, 0x00BBGGRR: red 138, green 180, blue 248; and pure blue.
constexpr std::uint32_t LightBlue = 0xF8B48A;
constexpr std::uint32_t PureBlue = 0xFF0000;

// A channel of 0 to 255 as the light it gives, from 0 to 1.
double linear(std::uint32_t channel)
{
    const double value = static_cast<double>(channel & 0xFF) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

// From 0 for black to 1 for white, as the eye weighs the three channels once
// the screen's gamma is undone.
double luminance(std::uint32_t color)
{
    return 0.2126 * linear(color) + 0.7152 * linear(color >> 8) + 0.0722 * linear(color >> 16);
}

} // namespace

double ratio(std::uint32_t one, std::uint32_t other)
{
    const auto [darker, lighter] = std::minmax({luminance(one), luminance(other)});
    return (lighter + 0.05) / (darker + 0.05);
}

std::uint32_t contrastingInk(std::uint32_t background)
{
    return ratio(White, background) > ratio(Black, background) ? White : Black;
}

std::uint32_t readableInk(std::uint32_t ink, std::uint32_t background)
{
    return ratio(ink, background) >= Readable ? ink : contrastingInk(background);
}

std::uint32_t readableLink(std::uint32_t link, std::uint32_t background)
{
    if (ratio(link, background) >= Readable)
        return link;
    const std::uint32_t blue = ratio(LightBlue, background) >= ratio(PureBlue, background) ? LightBlue : PureBlue;
    return readableInk(blue, background);
}

} // namespace Contrast
