#include "app/qt/FocusMark.h"

#include "app/qt/ReadableColor.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace {

// Black or white, whichever stands out more from under.
QColor standingOutFrom(const QColor& under)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ReadableColor::contrast(black, under) >= ReadableColor::contrast(white, under) ? black : white;
}

// A solid one-pixel ring along the inside of area.
void paintRing(QPainter& painter, const QRect& area, const QColor& color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace

namespace FocusMark {

bool shows(const QWidget& control)
{
    return control.hasFocus() && control.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void paint(QPainter& painter, const QRect& area, const QColor& around, const QColor& within)
{
    paintRing(painter, area, standingOutFrom(around));
    paintRing(painter, area.adjusted(1, 1, -1, -1), standingOutFrom(within));
}

void paintThin(QPainter& painter, const QRect& area, const QColor& around)
{
    paintRing(painter, area, standingOutFrom(around));
}

} // namespace FocusMark
