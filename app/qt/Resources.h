#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's own images, drawn for it and compiled into it.
namespace Resources {

// The main window's icon: the 32 x 32 image and, for larger sizes, the scalable drawing rendered large.
[[nodiscard]] QIcon AppIcon();
// The 32 x 32 image the About dialog shows, at 32 x 32 logical pixels: drawn from
// the large rendering on a screen of more than one pixel to each.
[[nodiscard]] QPixmap AppIconImage(double devicePixelRatio = 1.0);
// The pointing-hand cursor of the link labels, hot spot at the fingertip (12, 1).
[[nodiscard]] QCursor PointingHandCursor();

} // namespace Resources
