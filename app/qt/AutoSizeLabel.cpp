#include "app/qt/AutoSizeLabel.h"

#include <QEvent>

AutoSizeLabel::AutoSizeLabel(const QString& caption, const QRect& design, QWidget* parent)
    : QLabel(caption, parent), m_rightEdge(design.x() + design.width())
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setGeometry(design);
    AutoSizeLabel::fitToText();
}

// Measuring a text is what a new text costs most: a text as wide as the one
// shown keeps the size it has. The behaviour writes only a changed text.
void AutoSizeLabel::setCaption(const QString& caption)
{
    const bool asWide = drawsAsWide(text(), caption);
    showText(caption);
    if (!asWide)
        fitToText();
}

void AutoSizeLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitToText();
}

void AutoSizeLabel::fitToText()
{
    placeAtRightEdge(textSize());
}

// The label's minimum size would bound the size hint from below.
QSize AutoSizeLabel::textSize()
{
    setMinimumSize(0, 0);
    return sizeHint();
}

// A fixed size: a new text then asks no layout of the parent.
void AutoSizeLabel::placeAtRightEdge(QSize size)
{
    setFixedSize(size);
    move(m_rightEdge - size.width(), y());
}
