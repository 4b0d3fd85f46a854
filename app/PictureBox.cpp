#include "app/PictureBox.h"

#include "app/qt/FocusMark.h"
#include "chart/ColorValue.h"

#include <QEvent>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    // The persistent image covers the whole widget: nothing below shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_deviceContext.setFillColor(ColorValue::toQColor(m_fillColor));
    ensureImage();
}

void PictureBox::setScaleMode(int mode)
{
    m_scaleMode = mode;
}

int PictureBox::ScaleMode() const
{
    return m_scaleMode;
}

// In pixels, logical ones: what the drawing calls take as coordinates.
float PictureBox::ScaleWidth() const
{
    return static_cast<float>(width());
}

float PictureBox::ScaleHeight() const
{
    return static_cast<float>(height());
}

void PictureBox::setFillColor(std::int32_t color)
{
    m_fillColor = color;
}

std::int32_t PictureBox::FillColor() const
{
    return m_fillColor;
}

DeviceContext* PictureBox::hDC()
{
    ensureImage();
    m_deviceContext.setPenColor(Qt::black);
    m_deviceContext.setFillColor(ColorValue::toQColor(m_fillColor));
    return &m_deviceContext;
}

void PictureBox::Cls()
{
    ensureImage();
    m_deviceContext.image().fill(backgroundColor());
    Refresh();
}

void PictureBox::Refresh()
{
    // The chart is cleared and redrawn every second, mostly unchanged. The
    // comparison waits until the handler that drew has finished, so that a
    // clear followed by the same chart costs no repaint.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(
        this, [this] { showIfChanged(); }, Qt::QueuedConnection);
}

void PictureBox::showIfChanged()
{
    m_refreshPending = false;
    ensureImage();
    const QImage& image = m_deviceContext.image();
    if (image.cacheKey() == m_shown.cacheKey() || image == m_shown)
        return;
    // Sharing the image is cheap; the next drawing detaches it.
    m_shown = image;
    update();
}

const QImage& PictureBox::image() const
{
    return m_deviceContext.image();
}

qint64 PictureBox::imageKey()
{
    ensureImage();
    return m_deviceContext.image().cacheKey();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    ensureImage();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // The image carries its device pixel ratio: it covers the widget exactly.
    painter.drawImage(QPoint(0, 0), m_deviceContext.image());
    // The mark is drawn over the chart on the screen only, never into the image.
    if (hasFocus())
        FocusMark::paint(painter, rect());
    // Only a full repaint brings the whole screen up to date.
    if (QRegion(rect()).subtracted(event->region()).isEmpty())
        m_shown = m_deviceContext.image();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureImage();
}

void PictureBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A move to a screen of another density arrives as one of these changes
    // or, at the latest, as the repaint that follows it.
    ensureImage();
}

QColor PictureBox::backgroundColor() const
{
    return palette().color(QPalette::Button);
}

void PictureBox::ensureImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize physical = (QSizeF(size()) * ratio).toSize();
    QImage& image = m_deviceContext.image();
    if (!image.isNull() && image.size() == physical && image.devicePixelRatio() == ratio)
        return;
    if (physical.isEmpty()) {
        image = QImage();
        return;
    }
    const bool drawingLost = !image.isNull();
    image = QImage(physical, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(backgroundColor());
    // The screen now shows something stale.
    m_shown = QImage();
    update();
    if (drawingLost)
        emit ImageRecreated();
}
