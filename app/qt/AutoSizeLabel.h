#pragma once

#include <QLabel>

// A right-aligned label that sizes itself to its text and keeps its right edge,
// so a longer text grows to the left: figures of different lengths line up on
// their last digit, and a longer version text stays inside the frame.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    explicit AutoSizeLabel(const QString& caption, const QRect& design, QWidget* parent);

    void setCaption(const QString& caption);

    // The fixed right edge, in the parent's pixels.
    [[nodiscard]] int rightEdge() const { return m_rightEdge; }

protected:
    void changeEvent(QEvent* event) override;

    // Shows the text; the label's size is seen to after.
    virtual void showText(const QString& text) { setText(text); }
    // Whether next draws exactly as wide as shown, so the label keeps its size.
    [[nodiscard]] virtual bool drawsAsWide(const QString& /*shown*/, const QString& /*next*/) const { return false; }
    // Sized to the text at the right edge; at the top it has.
    virtual void fitToText();
    [[nodiscard]] QSize textSize();
    void placeAtRightEdge(QSize size);

private:
    int m_rightEdge;
};
