#pragma once

#include <QApplication>
#include <QFont>
#include <QStringList>

// The classic dialog font, 8.25 points unless given. The layout was fitted to
// its face: where the system lacks it, a face of the same widths stands in
// (Liberation Sans), and only where that is missing too the desktop's own
// sans-serif face, which may be wider.
[[nodiscard]] inline QFont classicFont(qreal pointSize = 8.25)
{
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), font.family()});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}
