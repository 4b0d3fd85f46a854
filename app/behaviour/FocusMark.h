#pragma once

#include <cstdint>
#include <vector>

// The keyboard focus mark, the same in every window: one-pixel rings inside a
// control's edge, each black or white, one of which stands 4.5 : 1 from any
// colour. The outermost ring stands out from what lies around the control; the
// band inside it (two pixels at 96 DPI, wider at larger text) from what the
// control encloses (a swatch's colour, a box's face).
namespace FocusMark {

// Inks 0x00BBGGRR, outermost ring first: ring i lies i pixels inside the edge.
using Rings = std::vector<std::uint32_t>;

// The mark of a control laid out at dotsPerInch.
[[nodiscard]] Rings rings(int dotsPerInch, std::uint32_t around, std::uint32_t within);

// A label sized to its text has room for the outer ring alone: its text
// stands out from the same background as the ring.
[[nodiscard]] Rings labelRings(std::uint32_t around);

// The pixels a link keeps on each side of its text: its ring and one pixel
// more, so that the ring never crosses a glyph touching the label's edge.
inline constexpr int LabelPadding = 2;

} // namespace FocusMark
