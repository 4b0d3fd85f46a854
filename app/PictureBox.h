#pragma once

#include "chart/DeviceContext.h"

#include <QWidget>

#include <cstdint>

// The chart box: a widget that keeps what is drawn on it in a persistent image
// (the program draws outside any paint event) and shows it on Refresh. The
// image is kept at the screen's device pixel ratio, so drawings stay crisp on
// high-density screens. Outlines are drawn in black (ForeColor); Cls clears to
// the window's background colour.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // 3 = pixels, the only scale mode the program uses.
    void setScaleMode(int mode);
    [[nodiscard]] int ScaleMode() const;
    // The inner area in the current scale mode (pixels).
    [[nodiscard]] float ScaleWidth() const;
    [[nodiscard]] float ScaleHeight() const;

    // Fill colour of the shapes drawn next, 0x00BBGGRR.
    void setFillColor(std::int32_t color);
    [[nodiscard]] std::int32_t FillColor() const;

    // The device context that draws into the persistent image.
    [[nodiscard]] DeviceContext* hDC();

    // Clears the persistent image to the background and shows it.
    void Cls();
    // Shows the persistent image on the screen.
    void Refresh();

    // The persistent image as drawn, at the device pixel ratio, for tests and
    // for the accessible description of the chart.
    [[nodiscard]] const QImage& image() const;
    // Names the persistent image's present contents: it changes with every
    // drawing and whenever the image is made afresh (a new size or density).
    [[nodiscard]] qint64 imageKey();

signals:
    // The image was made afresh (a new size or density): what was drawn is gone.
    void ImageRecreated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    [[nodiscard]] QColor backgroundColor() const;
    // Re-creates the image, cleared, when the widget's size or its screen's
    // device pixel ratio no longer match it.
    void ensureImage();
    // Repaints when the image differs from what the screen shows.
    void showIfChanged();

    DeviceContext m_deviceContext;
    // What the screen shows: the image as last painted, or as a repaint
    // already asked for will paint it.
    QImage m_shown;
    bool m_refreshPending = false;
    int m_scaleMode = 3;
    // Blue until the chart sets it, 0x00BBGGRR.
    std::int32_t m_fillColor = 0x00FF0000;
};
