#include "app/qt/AutoSizeLabel.h"

#include <QEvent>

AutoSizeLabel::AutoSizeLabel(const QString& caption, const QRect& design, QWidget* parent)
    : QLabel(caption, parent), m_rightEdge(design.x() + design.width())
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setGeometry(design);
    AutoSizeLabel::fitToText();
}

// Measuring is a new text's main cost: one as wide as the one shown keeps the size (only changed texts come).
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
