#include "app/qt/LegendSwatch.h"

#include "app/behaviour/ShiftMask.h"
#include "app/qt/AccessibleControls.h"
#include "app/qt/ColorValue.h"
#include "app/qt/FocusMark.h"
#include "app/qt/KeyActivation.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

int shiftMask(Qt::KeyboardModifiers modifiers)
{
    return ShiftMask::of(modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
                         modifiers.testFlag(Qt::AltModifier));
}

} // namespace

LegendSwatch::LegendSwatch(std::int32_t color, const QRect& design, QWidget* parent) : QLabel(parent)
{
    setGeometry(design);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setBackColor(color);
    AccessibleControls::adopt(this);
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
    emit MouseUp(event->button(), shiftMask(event->modifiers()), static_cast<float>(at.x()),
                 static_cast<float>(at.y()));
}

void LegendSwatch::keyPressEvent(QKeyEvent* event)
{
    if (KeyActivation::activates(*event))
        emit MouseUp(Qt::NoButton, shiftMask(event->modifiers()), static_cast<float>(width()) / 2,
                     static_cast<float>(height()) / 2);
    else
        QLabel::keyPressEvent(event);
}

void LegendSwatch::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (FocusMark::shows(*this)) {
        QPainter painter(this);
        // The mark takes the place of the border, against the frame around.
        const QColor around = parentWidget()->palette().color(QPalette::Window);
        FocusMark::paint(painter, *this, rect(), around, ColorValue::toQColor(m_backColor));
    }
}
