#include "app/LinkLabel.h"

#include "resources/Resources.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& caption, const QRect& design, QWidget* parent)
    : AutoSizeLabel(caption, design, parent)
{
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(linkPalette);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    setCursor(Resources::PointingHandCursor());
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (clicked)
        emit Click();
}
