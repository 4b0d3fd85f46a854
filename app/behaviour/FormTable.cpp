#include "app/behaviour/FormTable.h"

#include <cmath>

namespace FormTable {

int toPixels(int twips, int dotsPerInch)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dotsPerInch / 1440));
}

PixelRect toPixels(const TwipsRect& rect, int dotsPerInch)
{
    const int left = toPixels(rect.left, dotsPerInch);
    const int top = toPixels(rect.top, dotsPerInch);
    return {left, top, toPixels(rect.right(), dotsPerInch) - left, toPixels(rect.bottom(), dotsPerInch) - top};
}

TwipsRect inWindow(const Control& control)
{
    if (control.in == Container::Window)
        return control.rect;
    const TwipsRect frame = FormTable::control(Main::fra).rect;
    return {frame.left + control.rect.left, frame.top + control.rect.top, control.rect.width, control.rect.height};
}

} // namespace FormTable
