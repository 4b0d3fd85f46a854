#include "app/qt/Resources.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSet>

#include <string>

namespace {

QImage argb(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Distinct colours of an image, transparent pixels counted as one colour.
qsizetype colourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            colours.insert(qAlpha(pixel) == 0 ? 0 : pixel);
        }
    return colours.size();
}

struct PixelRow {
    std::string name;
    QPoint at;
    QRgb expected; // transparent pixels compare as 0
};

QRgb normalised(QRgb pixel)
{
    return qAlpha(pixel) == 0 ? 0 : pixel;
}

class AppIconPixel : public testing::TestWithParam<PixelRow> {};

TEST_P(AppIconPixel, HasItsColour)
{
    const QImage icon = argb(Resources::AppIconImage());
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(normalised(icon.pixel(GetParam().at)), GetParam().expected);
}

// The pie fills a disc of radius 14 around (16, 16): used share clockwise from
// twelve o'clock over 60 % of the disc, free share after it, background clear.
INSTANTIATE_TEST_SUITE_P(Pie, AppIconPixel,
                         testing::Values(PixelRow{"CornerIsTransparent", QPoint(0, 0), 0},
                                         PixelRow{"UsedShareOnTheRight", QPoint(24, 16), qRgb(201, 114, 116)},
                                         PixelRow{"FreeShareOnTheLeft", QPoint(8, 12), qRgb(125, 163, 189)}),
                         RowName());

TEST(AppIcon, HasAtMost256Colours)
{
    EXPECT_LE(colourCount(argb(Resources::AppIconImage())), 256);
}

TEST(AppIcon, WindowIconOffersThe32PixelImage)
{
    const QIcon icon = Resources::AppIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
}

class CursorPixel : public testing::TestWithParam<PixelRow> {};

TEST_P(CursorPixel, HasItsColour)
{
    const QImage cursor = argb(Resources::PointingHandCursor().pixmap());
    ASSERT_EQ(cursor.size(), QSize(32, 32));
    EXPECT_EQ(normalised(cursor.pixel(GetParam().at)), GetParam().expected);
}

// The hot spot is the outline at the very tip of the index finger: nothing
// above it, the white finger below it.
INSTANTIATE_TEST_SUITE_P(Hand, CursorPixel,
                         testing::Values(PixelRow{"HotSpotIsTheBlackTip", QPoint(12, 1), qRgb(0, 0, 0)},
                                         PixelRow{"NothingAboveTheTip", QPoint(12, 0), 0},
                                         PixelRow{"FingerBelowTheTipIsWhite", QPoint(12, 2), qRgb(255, 255, 255)},
                                         PixelRow{"CornerIsTransparent", QPoint(31, 31), 0}),
                         RowName());

TEST(PointingHandCursor, HotSpotIsTheFingertip)
{
    const QCursor cursor = Resources::PointingHandCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1));
}

TEST(PointingHandCursor, HasAtMost16Colours)
{
    EXPECT_LE(colourCount(argb(Resources::PointingHandCursor().pixmap())), 16);
}

} // namespace
