// Build-time tool: renders the scalable icon into a square image and writes its
// pixels as a C++ array for the Qt window to show on screens scaled beyond 1 : 1,
// where the 32 x 32 raster would be blown up. They are written as they lie in
// memory (premultiplied 0xAARRGGBB): nothing to decode at every start.
//
//   quillmar_svg_icon_data input.svg size output.h

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    // Painting text-free vectors needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int size = argc == 4 ? std::atoi(argv[2]) : 0;
    if (size <= 0) {
        std::fprintf(stderr, "usage: %s input.svg size output.h\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();

    std::FILE* out = std::fopen(argv[3], "w");
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    std::fprintf(out, "// Made by quillmar_svg_icon_data from %s at %d x %d.\n", argv[1], size, size);
    std::fprintf(out, "static constexpr int quillmar_large_size = %d;\n", size);
    std::fprintf(out, "static constexpr std::uint32_t quillmar_large_pixels[] = {");
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x)
            std::fprintf(out, "%s0x%08x,", x % 8 == 0 ? "\n" : "", static_cast<unsigned>(row[x]));
    }
    std::fprintf(out, "\n};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
