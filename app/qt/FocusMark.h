#pragma once

#include "app/behaviour/FocusMark.h"

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

// The focus mark's rule drawn with Qt, in the DPI the window is laid out at.
namespace FocusMark {

// Whether control shows its mark: it has the focus, and the keyboard has moved
// the focus in its window (Qt marks such a window, and its styles draw their
// own controls' focus frames by the same mark). A window just opened, or only
// clicked in, shows none, so the chart does not start boxed in.
[[nodiscard]] bool shows(const QWidget& control);

// control's mark along the inside of area: around is what lies just outside
// area, within what the mark encloses.
void paint(QPainter& painter, const QWidget& control, const QRect& area, const QColor& around, const QColor& within);

// The one ring of a label sized to its text.
void paintLabel(QPainter& painter, const QRect& area, const QColor& around);

} // namespace FocusMark
