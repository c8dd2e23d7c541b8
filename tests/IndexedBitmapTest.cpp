#include "render/IndexedBitmap.h"
#include "tests/support/BoxGlyphs.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

int countIndex(const IndexedBitmap& bitmap, std::uint8_t index)
{
    int count = 0;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            count += bitmap.pixel(x, y) == index;
    return count;
}

} // namespace

TEST(IndexedBitmap, NewAndResizedBitmapsAreZeroAndBlack)
{
    IndexedBitmap bitmap;
    EXPECT_EQ(bitmap.width(), 1);
    EXPECT_EQ(bitmap.bitCount(), 8);
    bitmap.setColor(3, RGB(1, 2, 3));
    bitmap.setWidth(128);
    bitmap.setHeight(512);
    EXPECT_EQ(countIndex(bitmap, 0), 128 * 512);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bitmap.color(i), 0u) << i;
    bitmap.scanLine(7)[9] = 4;
    bitmap.setColor(4, RGB(9, 9, 9));
    bitmap.setWidth(128); // the same width changes nothing
    EXPECT_EQ(bitmap.pixel(9, 7), 4);
    EXPECT_EQ(bitmap.color(4), RGB(9, 9, 9));
}

TEST(IndexedBitmap, BrokenPreconditionsThrowAndChangeNothing)
{
    IndexedBitmap bitmap(4, 4);
    bitmap.scanLine(0)[0] = 7;
    EXPECT_THROW(bitmap.setColor(256, 0);, std::logic_error);
    EXPECT_THROW(bitmap.setColor(-1, 0);, std::logic_error);
    EXPECT_THROW(bitmap.setWidth(0);, std::logic_error);
    EXPECT_THROW(bitmap.setHeight(0);, std::logic_error);
    EXPECT_THROW(bitmap.setBitCount(16);, std::logic_error);
    EXPECT_THROW(bitmap.scanLine(4);, std::logic_error);
    EXPECT_THROW(bitmap.scanLine(-1);, std::logic_error);
    EXPECT_THROW(bitmap.setPalette(nullptr);, std::logic_error);
    EXPECT_EQ(bitmap.width(), 4);
    EXPECT_EQ(bitmap.pixel(0, 0), 7);
}

TEST(IndexedBitmap, ReplacingTheColourTableKeepsEveryPixel)
{
    IndexedBitmap bitmap(8, 8), other(1, 1);
    bitmap.scanLine(3)[3] = 5;
    other.setColor(5, RGB(0, 0x58, 0xF8));
    const auto before = bitmap.version();
    bitmap.setPalette(other.getPalette());
    EXPECT_EQ(bitmap.pixel(3, 3), 5);
    EXPECT_EQ(bitmap.color(5), RGB(0, 0x58, 0xF8));
    EXPECT_GT(bitmap.version(), before);
    EXPECT_EQ(bitmap.paletteStamp(), other.paletteStamp());
}

TEST(IndexedBitmap, CopyRectDoublesWithoutSmoothing)
{
    IndexedBitmap source(16, 16), destination(32, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            source.scanLine(y)[x] = static_cast<std::uint8_t>(x + 16 * (y % 2));
    BitmapCanvas canvas(destination);
    canvas.copyRect(0, 0, 32, 32, source, 0, 0, 16, 16);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(destination.pixel(x, y), source.pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(IndexedBitmap, CopyRectMatchesColoursThroughTheTables)
{
    IndexedBitmap source(4, 4), destination(4, 4);
    source.setColor(5, RGB(0x00, 0x58, 0xF8));
    source.setColor(6, RGB(0xF0, 0x10, 0x10)); // no exact match: nearest is entry 40
    source.scanLine(0)[0] = 5;
    source.scanLine(0)[1] = 6;
    destination.setColor(17, RGB(0x00, 0x58, 0xF8));
    destination.setColor(40, RGB(0xFF, 0x00, 0x00));
    destination.setColor(41, RGB(0x00, 0xFF, 0x00));
    BitmapCanvas canvas(destination);
    canvas.copyRect(0, 0, 4, 4, source, 0, 0, 4, 4);
    EXPECT_EQ(destination.pixel(0, 0), 17);
    EXPECT_EQ(destination.pixel(1, 0), 40);
    EXPECT_EQ(destination.pixel(2, 0), 0) << "black is entry 0";
}

TEST(IndexedBitmap, CopyRectClipsToBothBitmaps)
{
    IndexedBitmap source(8, 8), destination(8, 8);
    for (int y = 0; y < 8; ++y)
        std::fill_n(source.scanLine(y), 8, 3);
    BitmapCanvas canvas(destination);
    canvas.copyRect(-4, -4, 12, 12, source, -4, -4, 12, 12);
    canvas.copyRect(6, 6, 40, 40, source, 0, 0, 8, 8);
    EXPECT_EQ(countIndex(destination, 3), 64);
}

TEST(IndexedBitmap, LinesLeaveOutTheirEndPointAndRectanglesClose)
{
    IndexedBitmap bitmap(10, 10);
    bitmap.setColor(9, RGB(255, 255, 255));
    BitmapCanvas canvas(bitmap);
    canvas.penColor = RGB(255, 255, 255);
    canvas.moveTo(1, 1);
    canvas.lineTo(5, 1);
    EXPECT_EQ(bitmap.pixel(4, 1), 9);
    EXPECT_EQ(bitmap.pixel(5, 1), 0);
    canvas.lineTo(5, 5);
    canvas.lineTo(1, 5);
    canvas.lineTo(1, 1);
    EXPECT_EQ(countIndex(bitmap, 9), 16);
    canvas.moveTo(-5, 20);
    canvas.lineTo(20, -5); // clipped, no crash
}

TEST(IndexedBitmap, TextWithAClearBrushLeavesTheCellAlone)
{
    test::BoxGlyphs glyphs;
    for (bool clear : {true, false}) {
        IndexedBitmap bitmap(20, 12);
        bitmap.setColor(1, RGB(255, 255, 255));
        bitmap.setColor(2, RGB(255, 0, 0));
        bitmap.setColor(3, RGB(0, 0, 255));
        for (int y = 0; y < 12; ++y)
            std::fill_n(bitmap.scanLine(y), 20, 3);
        BitmapCanvas canvas(bitmap, &glyphs);
        canvas.font.color = RGB(255, 0, 0);
        if (clear)
            canvas.brushStyle = BrushStyle::Clear;
        canvas.textOut(2, 2, "A");
        EXPECT_EQ(bitmap.pixel(4, 4), 2) << "glyph";
        EXPECT_EQ(bitmap.pixel(2, 2), clear ? 3 : 1) << "cell corner";
        EXPECT_EQ(bitmap.pixel(10, 2), 3) << "outside the cell";
    }
}

TEST(IndexedBitmap, LongRowsMatchEveryIndexWhetherBelowSixteenOrNot)
{
    // Rows of sheet indices (0..15) go sixteen at a time; any other index in a run of
    // sixteen must still find its colour.
    IndexedBitmap source(48, 2), destination(48, 2);
    std::array<Color, 256> colors{};
    for (int i = 0; i < 256; ++i)
        colors[static_cast<std::size_t>(i)] = RGB(i, 255 - i, (i * 7) & 0xFF);
    source.setColorTable(colors);
    std::array<Color, 256> reversed{};
    for (int i = 0; i < 256; ++i)
        reversed[static_cast<std::size_t>(255 - i)] = colors[static_cast<std::size_t>(i)];
    destination.setColorTable(reversed);
    for (int x = 0; x < 48; ++x) {
        source.scanLine(0)[x] = static_cast<std::uint8_t>(x % 16);
        source.scanLine(1)[x] = static_cast<std::uint8_t>(x == 20 ? 32 : x % 16);
    }
    BitmapCanvas canvas(destination);
    canvas.copyRect(0, 0, 48, 2, source, 0, 0, 48, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(destination.color(destination.pixel(x, y)), source.color(source.pixel(x, y))) << x << "," << y;
}
