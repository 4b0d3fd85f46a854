#pragma once

#include <QLabel>

#include <cstdint>

// A legend swatch: a small bordered square in one of the chart's colours. MouseUp
// reports a mouse button's release over it, border included, and Space or Enter
// while it has the focus as a release of no button in its middle, modifiers held.
class LegendSwatch : public QLabel {
    Q_OBJECT
public:
    explicit LegendSwatch(std::int32_t color, const QRect& design, QWidget* parent);

    // The swatch's colour, 0x00BBGGRR.
    [[nodiscard]] std::int32_t BackColor() const { return m_backColor; }
    void setBackColor(std::int32_t color);

signals:
    // button: which button went up; shift: the mask of Shift, Ctrl and Alt held;
    // x, y: where, in the swatch's pixels.
    void MouseUp(Qt::MouseButton button, int shift, float x, float y);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::int32_t m_backColor = 0;
};
