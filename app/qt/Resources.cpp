#include "app/qt/Resources.h"

#include <QImage>

#include <cstdint>

namespace {

// The drawings themselves, compiled in as the arrays their XPM files are. Read
// from data rather than from a file, they need no image format plugins looked
// for and loaded at start.
#include "resources/pointing-hand.xpm"
#include "resources/quillmar.xpm"
// The scalable drawing of the icon rendered large at build time, as the
// pixels of a premultiplied ARGB image: used in place, never decoded.
#include "quillmar-large-icon.h"

// The fingertip of the raised index finger, in pixels of the 32 x 32 cursor image.
constexpr int PointingHandHotX = 12;
constexpr int PointingHandHotY = 1;

} // namespace

namespace Resources {

QIcon AppIcon()
{
    QIcon icon(AppIconImage());
    const QImage large(reinterpret_cast<const uchar*>(quillmar_large_pixels), quillmar_large_size,
                       quillmar_large_size, quillmar_large_size * 4, QImage::Format_ARGB32_Premultiplied);
    icon.addPixmap(QPixmap::fromImage(large));
    return icon;
}

QPixmap AppIconImage(double devicePixelRatio)
{
    const QPixmap image(quillmar_xpm);
    return devicePixelRatio <= 1.0 ? image : AppIcon().pixmap(image.size(), devicePixelRatio);
}

QCursor PointingHandCursor()
{
    return QCursor(QPixmap(pointing_hand_xpm), PointingHandHotX, PointingHandHotY);
}

} // namespace Resources
