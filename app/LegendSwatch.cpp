#include "app/LegendSwatch.h"

#include "chart/ColorValue.h"

#include <QMouseEvent>

LegendSwatch::LegendSwatch(std::int32_t color, const QRect& design, QWidget* parent) : QLabel(parent)
{
    setGeometry(design);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    setBackColor(color);
}

void LegendSwatch::setBackColor(std::int32_t color)
{
    m_backColor = color;
    QPalette swatchPalette = palette();
    swatchPalette.setColor(QPalette::Window, ColorValue::toQColor(color));
    setPalette(swatchPalette);
}

void LegendSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    if (!rect().contains(at.toPoint()))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int shift = (modifiers.testFlag(Qt::ShiftModifier) ? ShiftMask : 0) |
                      (modifiers.testFlag(Qt::ControlModifier) ? CtrlMask : 0) |
                      (modifiers.testFlag(Qt::AltModifier) ? AltMask : 0);
    emit MouseUp(event->button(), shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
}
