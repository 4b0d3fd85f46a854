#include "resources/Resources.h"

#include <QLatin1StringView>
#include <QString>

namespace {

// Paths inside the Qt resource compiled into the program (resources/CMakeLists.txt).
constexpr QLatin1StringView AppIconPath{":/quillmar/quillmar.xpm"};
constexpr QLatin1StringView PointingHandPath{":/quillmar/pointing-hand.xpm"};

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
    return QPixmap(QString(AppIconPath));
}

QCursor PointingHandCursor()
{
    return QCursor(QPixmap(QString(PointingHandPath)), PointingHandHotX, PointingHandHotY);
}

} // namespace Resources
