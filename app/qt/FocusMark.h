#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace FocusMark {

// Draws the keyboard focus mark along the inside of area: a dotted line of
// black over white, which shows on any background, light or dark, and on any
// colour the user gives a swatch or the chart.
void paint(QPainter& painter, const QRect& area);

// The mark on a small area of one colour (a legend swatch), where dots would
// blur into a grey: a solid line along the inside of area, black or white,
// whichever stands out more from under.
void paintOn(QPainter& painter, const QRect& area, const QColor& under);

} // namespace FocusMark
