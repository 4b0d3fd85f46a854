#include "app/qt/FocusMark.h"

#include "app/qt/ColorValue.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace FocusMark {

bool shows(const QWidget& control)
{
    return control.hasFocus() && control.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

// Each ring a solid one-pixel outline.
void paint(QPainter& painter, const QRect& area, const Rings& rings)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const int inset = static_cast<int>(i);
        painter.setPen(QPen(ColorValue::toQColor(static_cast<std::int32_t>(rings[i])), 1));
        painter.drawRect(area.adjusted(inset, inset, -inset - 1, -inset - 1));
    }
    painter.restore();
}

void paint(QPainter& painter, const QWidget& control, const QRect& area, const QColor& around, const QColor& within)
{
    paint(painter, area, rings(control.logicalDpiY(), ColorValue::fromQColor(around), ColorValue::fromQColor(within)));
}

} // namespace FocusMark
