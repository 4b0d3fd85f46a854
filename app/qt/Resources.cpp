#include "app/qt/Resources.h"

#include <QImage>

namespace {

// The drawings themselves, compiled in as the arrays their XPM files are. Read
// from data rather than from a file, they need no image format plugins looked
// for and loaded at start.
#include "resources/pointing-hand.xpm"
#include "resources/quillmar.xpm"

// The fingertip of the raised index finger, in pixels of the 32 x 32 cursor image.
constexpr int PointingHandHotX = 12;
constexpr int PointingHandHotY = 1;

} // namespace

namespace Resources {

QIcon AppIcon()
{
    return QIcon(AppIconImage());
}

QPixmap AppIconImage()
{
    return QPixmap(quillmar_xpm);
}

QCursor PointingHandCursor()
{
    return QCursor(QPixmap(pointing_hand_xpm), PointingHandHotX, PointingHandHotY);
}

} // namespace Resources
