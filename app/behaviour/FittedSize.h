#pragma once

#include "app/behaviour/FormTable.h"

#include <functional>
#include <string_view>

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
// The frame's border, in pixels, inside which the captions stay.
inline constexpr int FrameBorder = 1;

// The text's width in pixels when drawn at pointSize.
using WidthAt = std::function<double(double pointSize)>;
// A text's width in pixels when drawn at pointSize in the window's face.
using TextWidthAt = std::function<double(std::string_view text, double pointSize)>;

// The largest size, from designed down in quarter points, at which the text is
// at most room pixels wide: designed itself when the text fits there already.
[[nodiscard]] double pointSizeToFit(double designed, double room, const WidthAt& widthAt);

// The room a figure has, in pixels at dotsPerInch: from its caption's right
// edge, less the gap, to its own right edge, which it keeps. A figure longer
// than the placeholder grows leftwards into that room and no further.
[[nodiscard]] int figureRoom(FormTable::Main figure, int dotsPerInch);

// The size of the window's whole face: designed, or smaller where the face at
// hand is wider than the one the layout was fitted to (a desktop's own face
// standing in for one not installed), so that the widest caption fits between
// the frame's border and its right edge and the figures' placeholder in its
// room: no caption clipped, no figure pushed into one.
[[nodiscard]] double facePointSize(double designed, int dotsPerInch, const TextWidthAt& widthAt);

} // namespace FittedSize
