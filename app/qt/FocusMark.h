#pragma once

#include "app/behaviour/FocusMark.h"

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

// The focus mark's rule drawn with Qt, in the DPI the window is laid out at.
namespace FocusMark {

// Whether control shows its mark: it has the focus, and the keyboard moved the
// focus in its window (Qt's mark, by which its styles draw their focus frames). A
// window just opened or only clicked in shows none: the chart starts unboxed.
[[nodiscard]] bool shows(const QWidget& control);

// The rings along the inside of area.
void paint(QPainter& painter, const QRect& area, const Rings& rings);
// control's mark along the inside of area: around is what lies just outside
// area, within what the mark encloses.
void paint(QPainter& painter, const QWidget& control, const QRect& area, const QColor& around, const QColor& within);

} // namespace FocusMark
