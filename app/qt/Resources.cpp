#include "app/qt/Resources.h"

#include <QImage>

#include <cstdint>

namespace {

// The drawings, compiled in as the arrays their XPM files are: read from data, not
// a file, they need no image format plugins looked for and loaded at start.
#include "resources/pointing-hand.xpm"
#include "resources/quillmar.xpm"
// The scalable icon rendered large at build time, as premultiplied ARGB pixels: used in place, never decoded.
#include "quillmar-large-icon.h"

} // namespace

namespace Resources {

QIcon AppIcon()
{
    QIcon icon(AppIconImage());
    const QImage large(reinterpret_cast<const uchar*>(quillmar_large_pixels), quillmar_large_size, quillmar_large_size,
                       quillmar_large_size * 4, QImage::Format_ARGB32_Premultiplied);
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
    // Hot spot at the fingertip of the raised index finger.
    return QCursor(QPixmap(pointing_hand_xpm), 12, 1);
}

} // namespace Resources
