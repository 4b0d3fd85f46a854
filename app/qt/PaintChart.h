#pragma once

#include "app/behaviour/MainWindowView.h"

class QPainter;

// Paints the chart's shapes in logical pixels with the classic graphics device
// interface's geometry: an ellipse fits its rectangle short of the right column
// and the bottom row; a pie's arc runs counterclockwise on the screen from where
// the ray through its first point meets the ellipse to where the ray through its
// second does, two rays pointing the same way giving the whole ellipse. Outlines
// are one logical pixel of black, antialiased; the painter's state is kept.
// Only the shapes from firstShape on are painted: those before are already there.
void paintChart(QPainter& painter, const ChartPicture& picture, int firstShape = 0);
