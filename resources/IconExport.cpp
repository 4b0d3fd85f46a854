// Build-time tool: converts the program's XPM icon into the PNG of the freedesktop
// icon theme (the Windows icon and cursor come from the Qt-free icontool/).
//
//   quillmar_icon_export input.xpm output.png

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Writers of other formats are image format plugins; the application
    // object tells Qt where to look for them.
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s input.xpm output.png\n", argv[0]);
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    // The format from the output's suffix; 32-bit with alpha, so the
    // transparent background survives.
    QImageWriter writer(QString::fromLocal8Bit(argv[2]));
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[2], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
