#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The program's own images, drawn for it and compiled into it.
namespace Resources {

// The application icon: the main window's icon.
[[nodiscard]] QIcon AppIcon();
// The same icon as the 32 x 32 image the About dialog shows.
[[nodiscard]] QPixmap AppIconImage();
// The pointing-hand cursor of the link labels, hot spot at the fingertip (12, 1).
[[nodiscard]] QCursor PointingHandCursor();

} // namespace Resources
