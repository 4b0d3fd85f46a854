#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

namespace FocusMark {

// Whether control shows its mark: it has the focus, and the keyboard has moved
// the focus in its window (Qt marks such a window, and its styles draw their
// own controls' focus frames by the same mark). A window just opened, or only
// clicked in, shows none, so the chart does not start boxed in.
[[nodiscard]] bool shows(const QWidget& control);

// Draws the keyboard focus mark along the inside of area: two solid rings, one
// pixel each, the outer one in black or white, whichever stands out more from
// around (what lies just outside area), the inner one likewise from within
// (what the mark encloses: a swatch's colour, a box's background). Black or
// white stands at least 4.5 : 1 from any colour, so the mark shows against
// both, whatever colours the user or the desktop chose.
void paint(QPainter& painter, const QRect& area, const QColor& around, const QColor& within);

// The outer ring alone, for a label sized to its text, which has no room for
// two: the text inside it stands out from the same background.
void paintThin(QPainter& painter, const QRect& area, const QColor& around);

} // namespace FocusMark
