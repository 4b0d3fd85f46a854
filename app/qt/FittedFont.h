#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>
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
    // Hinted glyphs do not shrink in proportion to the size: step down a
    // quarter point at a time, from the first size that could fit.
    constexpr qreal Step = 0.25;
    constexpr qreal Smallest = 5.0;
    const auto overflow = [&boxes](const QFont& candidate) {
        const QFontMetricsF metrics(candidate);
        qreal worst = 1.0;
        for (const TextBox& box : boxes)
            worst = std::max(worst, metrics.horizontalAdvance(box.text) / box.width);
        return worst;
    };
    const qreal first = overflow(font);
    if (first <= 1.0)
        return font;
    qreal size = std::floor(font.pointSizeF() / first / Step) * Step;
    for (font.setPointSizeF(size); overflow(font) > 1.0 && size > Smallest; font.setPointSizeF(size))
        size -= Step;
    return font;
}
