#pragma once

#include <QApplication>
#include <QFont>

// The classic dialog font's size, 8.25 points unless given, in the desktop's
// own sans-serif face: the classic face itself is not found on every desktop.
[[nodiscard]] inline QFont classicFont(qreal pointSize = 8.25)
{
    QFont font = QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}
