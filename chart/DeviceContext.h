#pragma once

#include <QColor>
#include <QImage>

// What the two drawing calls draw with: the target image (at its device pixel
// ratio, drawn in logical pixels), the pen for outlines and the fill colour.
class DeviceContext {
public:
    [[nodiscard]] QImage& image() { return m_image; }
    [[nodiscard]] const QImage& image() const { return m_image; }

    void setPenColor(const QColor& color) { m_penColor = color; }
    [[nodiscard]] QColor penColor() const { return m_penColor; }

    void setFillColor(const QColor& color) { m_fillColor = color; }
    [[nodiscard]] QColor fillColor() const { return m_fillColor; }

private:
    QImage m_image;
    QColor m_penColor = Qt::black;
    QColor m_fillColor = QColor(0, 0, 255);
};
