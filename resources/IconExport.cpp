// Build-time tool: converts the program's XPM icon into the files the desktop
// platforms want, a PNG for the freedesktop icon theme and an ICO for the
// Windows executable. The output format follows the output file's suffix.
//
//   quillmar_icon_export input.xpm output.png|output.ico

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The ICO writer is an image format plugin; the application object tells
    // Qt where to look for plugins.
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s input.xpm output.png|output.ico\n", argv[0]);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QImage image(input, "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    // 32-bit with alpha, so the transparent background survives in both formats.
    image = image.convertToFormat(QImage::Format_ARGB32);

    const QByteArray format = QFileInfo(output).suffix().toLower().toLatin1();
    QImageWriter writer(output, format);
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], argv[2], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
