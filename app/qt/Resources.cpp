#include "app/qt/Resources.h"

#include <QImage>

namespace {

// The drawings themselves, compiled in as the arrays their XPM files are. Read
// from data rather than from a file, they need no image format plugins looked
// for and loaded at start.
#include "resources/pointing-hand.xpm"
#include "resources/quillmar.xpm"
// The scalable drawing of the icon rendered large at build time, as PNG data
// (PNG is read by Qt itself, without a plugin).
#include "quillmar-large-icon.h"

// The fingertip of the raised index finger, in pixels of the 32 x 32 cursor image.
constexpr int PointingHandHotX = 12;
constexpr int PointingHandHotY = 1;

} // namespace

namespace Resources {

QIcon AppIcon()
{
    QIcon icon(AppIconImage());
    QPixmap large;
    large.loadFromData(quillmar_large_png, sizeof quillmar_large_png, "PNG");
    icon.addPixmap(large);
    return icon;
}

QPixmap AppIconImage(double devicePixelRatio)
{
    if (devicePixelRatio <= 1.0)
        return AppIconImage();
    return AppIcon().pixmap(AppIconImage().size(), devicePixelRatio);
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
