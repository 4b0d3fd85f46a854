#pragma once

#include <QApplication>
#include <QFont>
#include <QStringList>

// The classic dialog font, 8.25 points unless given. The layout was fitted to its
// face; where it is missing Liberation Sans, of the same widths, stands in, and
// only without that too the desktop's sans-serif face, which may be wider.
[[nodiscard]] inline QFont classicFont(qreal pointSize = 8.25)
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), font.family()});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}
