#pragma once

#include <QColor>

namespace ReadableColor {

// The contrast ratio of two colours, from 1 (the same lightness) to 21 (black
// on white), by the relative luminance of their sRGB values.
[[nodiscard]] double contrast(const QColor& first, const QColor& second);

// text where it can be read on background (a contrast of 4.5 or more);
// otherwise a blue that can: light blue on a dark background, pure blue on a
// light one. Meant for link texts.
[[nodiscard]] QColor onBackground(const QColor& text, const QColor& background);

} // namespace ReadableColor
