#pragma once

#include "app/behaviour/MainWindowView.h"

class QPainter;

// Paints the chart's shapes in logical pixels with the geometry of the classic
// graphics device interface: an ellipse fits its rectangle up to but not
// including the right column and the bottom row; a pie's arc runs
// counterclockwise on the screen from where the ray through its first point
// meets the ellipse to where the ray through its second point does, and two
// rays pointing the same way give the whole ellipse. Outlines are one logical
// pixel of black, antialiased; the painter's state is left as it was.
//
// Only the shapes from firstShape on are painted: the ones before it are
// already on the device.
void paintChart(QPainter& painter, const ChartPicture& picture, int firstShape = 0);
