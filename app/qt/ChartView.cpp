#include "app/qt/ChartView.h"

#include "app/qt/FocusMark.h"
#include "app/qt/PaintChart.h"

#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    // The background is painted here: nothing below shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ChartView::setPicture(const std::optional<ChartPicture>& picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    update();
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (m_picture)
        paintChart(painter, *m_picture);
    if (hasFocus())
        FocusMark::paint(painter, rect(), palette().color(QPalette::Window), palette().color(QPalette::Button));
}

// The first size a box is given arrives without an old one; only later
// changes concern the picture.
void ChartView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().isValid() && event->oldSize() != event->size())
        emit Resized();
}
