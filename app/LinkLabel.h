#pragma once

#include "app/AutoSizeLabel.h"

// A label that looks and acts like a link: blue, underlined, the pointing-hand
// cursor, and Click when the button goes up over it after going down on it.
class LinkLabel : public AutoSizeLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& caption, const QRect& design, QWidget* parent);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
