#pragma once

#include "chart/UsageChart.h"
#include "drivespace/Currency.h"

class PictureBox;

// Paints the used/free pie chart into the (already cleared) picture box and
// refreshes it; leaves the box's fill colour at the used colour.
void DrawUsageChart(PictureBox& picture, const Currency& capacity, const Currency& free,
                    const UsageChart::ChartStyle& style);

// The same for a chart already planned, within bounds.
void DrawUsageChart(PictureBox& picture, const UsageChart::ChartRect& bounds, const UsageChart::ChartPlan& plan);
