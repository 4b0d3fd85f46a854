#include "app/qt/FocusMark.h"

#include "app/qt/ReadableColor.h"

#include <QPainter>
#include <QPen>

namespace FocusMark {

void paint(QPainter& painter, const QRect& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect line = area.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(line);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(line);
    painter.restore();
}

void paintOn(QPainter& painter, const QRect& area, const QColor& under)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(ReadableColor::contrast(black, under) >= ReadableColor::contrast(white, under) ? black : white, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace FocusMark
