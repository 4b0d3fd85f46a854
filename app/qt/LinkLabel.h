#pragma once

#include "app/qt/AutoSizeLabel.h"

// A label that looks and acts like a link: the desktop's link colour (readable on
// a dark background), underlined, a pointing hand; Click when the button goes up
// over it after going down on it, or on Space or Enter while it has the focus.
class LinkLabel : public AutoSizeLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& caption, const QRect& design, QWidget* parent);

signals:
    void Click();

protected:
    void showText(const QString& text) override;
    // Taken, not passed on to the frame as a label's is: the release then
    // comes here too, Qt's grab holding the mouse from press to release.
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Takes the link colour of the palette the label inherits.
    void followPalette();
};
