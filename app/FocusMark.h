#pragma once

#include <QRect>

class QPainter;

namespace FocusMark {

// Draws the keyboard focus mark along the inside of area: a dotted line of
// black over white, which shows on any background, light or dark, and on any
// colour the user gives a swatch or the chart.
void paint(QPainter& painter, const QRect& area);

} // namespace FocusMark
