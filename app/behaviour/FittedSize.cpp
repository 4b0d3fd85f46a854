#include "app/behaviour/FittedSize.h"

#include <algorithm>
#include <cmath>

namespace FittedSize {

double pointSizeToFit(double designed, double room, const WidthAt& widthAt)
{
    const double width = widthAt(designed);
    if (width <= room)
        return designed;
    // Start from the size that would fit if widths shrank in proportion, then
    // step down until one does.
    double size = std::max(Smallest, std::floor(designed * room / width / Step) * Step);
    while (size > Smallest && widthAt(size) > room)
        size -= Step;
    return size;
}

int figureRoom(FormTable::Main figure, int dotsPerInch)
{
    const FormTable::Control& shown = FormTable::control(figure);
    int captionRight = 0;
    for (const FormTable::Control& other : FormTable::mainControls) {
        if (other.kind == FormTable::Kind::Caption && other.in == shown.in && other.rect.top == shown.rect.top)
            captionRight = FormTable::toPixels(other.rect.right(), dotsPerInch);
    }
    return FormTable::toPixels(shown.rect.right(), dotsPerInch) - captionRight - CaptionGap;
}

double facePointSize(double designed, int dotsPerInch, const TextWidthAt& widthAt)
{
    using FormTable::Main;
    const FormTable::Control& caption = FormTable::control(Main::lbl6); // "Capacity:", the widest
    const FormTable::Control& figure = FormTable::control(Main::lblTOTAL);
    const int captionRoom = FormTable::toPixels(caption.rect.right(), dotsPerInch) - FrameBorder;
    const auto widthOf = [&widthAt](std::string_view text) {
        return [&widthAt, text](double pointSize) { return widthAt(text, pointSize); };
    };
    return std::min(pointSizeToFit(designed, captionRoom, widthOf(caption.text)),
                    pointSizeToFit(designed, figureRoom(Main::lblTOTAL, dotsPerInch), widthOf(figure.text)));
}

} // namespace FittedSize
