#pragma once

#include "app/behaviour/FittedSize.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <initializer_list>

// A text and the width, in logical pixels, that the layout gives it.
struct TextBox {
    QString text;
    int width;
};

// font, made smaller where need be until every text fits its box. The layout
// was fitted to the classic face; a stand-in face that is wider (the desktop's
// own, where neither the classic face nor its metric twin is installed) would
// otherwise clip the captions and push the figures into them.
[[nodiscard]] inline QFont fittedFont(QFont font, std::initializer_list<TextBox> boxes)
{
    const double designed = font.pointSizeF();
    double size = designed;
    for (const TextBox& box : boxes) {
        size = std::min(size, FittedSize::pointSizeToFit(designed, box.width, [&font, &box](double pointSize) {
                            QFont candidate = font;
                            candidate.setPointSizeF(pointSize);
                            return QFontMetricsF(candidate).horizontalAdvance(box.text);
                        }));
    }
    font.setPointSizeF(size);
    return font;
}
