#include "app/behaviour/FocusMark.h"

#include "app/behaviour/Contrast.h"

#include <algorithm>

namespace FocusMark {

Rings rings(int dotsPerInch, std::uint32_t around, std::uint32_t within)
{
    // Two pixels at 96 DPI, scaled to the nearest pixel, never thinner.
    const int band = std::max(2, (2 * dotsPerInch + 48) / 96);
    Rings inks{Contrast::contrastingInk(around)};
    inks.insert(inks.end(), static_cast<std::size_t>(band), Contrast::contrastingInk(within));
    return inks;
}

Rings labelRings(std::uint32_t around)
{
    return {Contrast::contrastingInk(around)};
}

} // namespace FocusMark
