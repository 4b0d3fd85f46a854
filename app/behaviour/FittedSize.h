#pragma once

#include "app/behaviour/FormTable.h"

#include <functional>

// How a text is made to fit the room the layout gives it, for every toolkit:
// the face is made smaller just enough, never larger. Each window measures its
// own texts in its own faces; the rule and the room are the same for both.
namespace FittedSize {

// Hinted glyphs do not shrink in proportion to the size, so sizes step down a
// quarter point at a time, and never below a size that can still be read.
inline constexpr double Step = 0.25;
inline constexpr double Smallest = 5.0;

// The pixels a figure keeps clear of its caption.
inline constexpr int CaptionGap = 2;

// The text's width in pixels when drawn at pointSize.
using WidthAt = std::function<double(double pointSize)>;

// The largest size, from designed down in quarter points, at which the text is
// at most room pixels wide: designed itself when the text fits there already.
[[nodiscard]] double pointSizeToFit(double designed, double room, const WidthAt& widthAt);

// The room a figure has, in pixels at dotsPerInch: from its caption's right
// edge, less the gap, to its own right edge, which it keeps. A figure longer
// than the placeholder grows leftwards into that room and no further.
[[nodiscard]] int figureRoom(FormTable::Main figure, int dotsPerInch);

} // namespace FittedSize
