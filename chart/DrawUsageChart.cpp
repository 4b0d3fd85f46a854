#include "chart/DrawUsageChart.h"

#include "app/PictureBox.h"
#include "chart/GraphicAPI.h"

void DrawUsageChart(PictureBox& picture, const Currency& capacity, const Currency& free,
                    const UsageChart::ChartStyle& style)
{
    DrawUsageChart(picture, style.bounds, UsageChart::PlanUsageChart(style, capacity, free));
}

void DrawUsageChart(PictureBox& picture, const UsageChart::ChartRect& r, const UsageChart::ChartPlan& plan)
{
    for (int i = 0; i < plan.shapeCount; ++i) {
        const UsageChart::Shape& shape = plan.shapes[static_cast<std::size_t>(i)];
        picture.setFillColor(shape.fillColor);
        // The box hands out its context afresh for each call, as it may have
        // re-created its image since the last one.
        GraphicAPI::HDC hdc = picture.hDC();
        if (shape.kind == UsageChart::ShapeKind::Ellipse)
            GraphicAPI::Ellipse(hdc, r.left, r.top, r.right, r.bottom);
        else
            GraphicAPI::Pie(hdc, r.left, r.top, r.right, r.bottom, shape.radial1.x, shape.radial1.y, shape.radial2.x,
                            shape.radial2.y);
    }
    picture.setFillColor(plan.finalFillColor);
    picture.Refresh();
}
