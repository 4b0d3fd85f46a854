#pragma once

#include "app/behaviour/MainWindowView.h"

class QPainter;

// Paints the chart's shapes in logical pixels with the classic graphics device
// interface's geometry: an ellipse fits its rectangle short of the right column and
// bottom row; a pie's arc runs counterclockwise on the screen from where the ray
// through its first point meets the ellipse to where its second's does (rays pointing
// the same way: the whole ellipse). Outlines are one logical pixel of black,
// antialiased; the painter's state is kept. Shapes before firstShape are already there.
void paintChart(QPainter& painter, const ChartPicture& picture, int firstShape = 0);
