#include "app/qt/AutoSizeLabel.h"

#include <QEvent>

AutoSizeLabel::AutoSizeLabel(const QString& caption, const QRect& design, QWidget* parent)
    : QLabel(caption, parent), m_rightEdge(design.x() + design.width())
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setGeometry(design);
    fitToText();
}

void AutoSizeLabel::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    setText(caption);
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
    const QSize fitted = sizeHint();
    setGeometry(m_rightEdge - fitted.width(), y(), fitted.width(), fitted.height());
}
