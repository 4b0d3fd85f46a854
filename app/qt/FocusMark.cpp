#include "app/qt/FocusMark.h"

#include "app/qt/ReadableColor.h"

#include <QPainter>
#include <QPen>

namespace {

// Black or white, whichever stands out more from under.
QColor standingOutFrom(const QColor& under)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ReadableColor::contrast(black, under) >= ReadableColor::contrast(white, under) ? black : white;
}

} // namespace

namespace FocusMark {

void paint(QPainter& painter, const QRect& area, const QColor& around, const QColor& within)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect outer = area.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(standingOutFrom(around), 1));
    painter.drawRect(outer);
    painter.setPen(QPen(standingOutFrom(within), 1));
    painter.drawRect(outer.adjusted(1, 1, -1, -1));
    painter.restore();
}

} // namespace FocusMark
