#pragma once

#include "chart/DeviceContext.h"

#include <cstdint>

// The two drawing calls of the chart, with the geometry of the classic graphics
// device interface: the ellipse fits the rectangle from (left, top) up to but
// not including the right column and the bottom row; a pie's arc runs
// counterclockwise on the screen from where the ray through (xr1, yr1) meets
// the ellipse to where the ray through (xr2, yr2) does, and two rays pointing
// the same way give the whole ellipse. Coordinates are logical pixels of the
// context's image; outlines use its pen, the inside its fill colour. The
// result is nonzero on success.
namespace GraphicAPI {

using HDC = DeviceContext*;

int Ellipse(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

int Pie(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t xr1,
        std::int32_t yr1, std::int32_t xr2, std::int32_t yr2);

} // namespace GraphicAPI
