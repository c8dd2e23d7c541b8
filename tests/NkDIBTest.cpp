#include "core/Errors.h"
#include "render/NkDIB.h"
#include "tests/support/BoxGlyphs.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

void ExpectError(const std::function<void()>& action, const char* message)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const VxError& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

int CountIndex(const TNkDIB& bitmap, std::uint8_t index)
{
    int count = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            count += bitmap.Pixel(x, y) == index;
    return count;
}

} // namespace

TEST(NkDIB, NewAndResizedBitmapsAreZeroAndBlack)
{
    TNkDIB bitmap;
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(bitmap.BitCount(), 8);
    bitmap.SetColor(3, RGB(1, 2, 3));
    bitmap.SetWidth(128);
    bitmap.SetHeight(512);
    EXPECT_EQ(CountIndex(bitmap, 0), 128 * 512);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bitmap.Color(i), 0u) << i;
    bitmap.ScanLine(7)[9] = 4;
    bitmap.SetColor(4, RGB(9, 9, 9));
    bitmap.SetWidth(128); // the same width changes nothing
    EXPECT_EQ(bitmap.Pixel(9, 7), 4);
    EXPECT_EQ(bitmap.Color(4), RGB(9, 9, 9));
}

TEST(NkDIB, ViolatedPreconditionsRaiseTheirMessagesAndChangeNothing)
{
    TNkDIB bitmap(4, 4);
    bitmap.ScanLine(0)[0] = 7;
    ExpectError([&] { bitmap.SetColor(256, 0); }, "TNkDIB.GetColors: Palette Index is Out of Range");
    ExpectError([&] { bitmap.SetColor(-1, 0); }, "TNkDIB.GetColors: Palette Index is Out of Range");
    ExpectError([&] { bitmap.SetWidth(0); }, "TNkDIB.SetWidth: Invalid Width");
    ExpectError([&] { bitmap.SetHeight(0); }, "TNkDIB.SetWidth: Invalid Height");
    ExpectError([&] { bitmap.SetBitCount(16); }, "TNkDIB.SetBitCount: Invalid BitCount");
    ExpectError([&] { bitmap.ScanLine(4); }, "TNkDIB.GetScanLine: y is Out of Range");
    ExpectError([&] { bitmap.ScanLine(-1); }, "TNkDIB.GetScanLine: y is Out of Range");
    ExpectError([&] { bitmap.SetPalette(nullptr); }, "TNkDIB.SetPalette: Invalid Palette");
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Pixel(0, 0), 7);
}

TEST(NkDIB, ReplacingTheColourTableKeepsEveryPixel)
{
    TNkDIB bitmap(8, 8), other(1, 1);
    bitmap.ScanLine(3)[3] = 5;
    other.SetColor(5, RGB(0, 0x58, 0xF8));
    const auto before = bitmap.Version();
    bitmap.SetPalette(other.GetPalette());
    EXPECT_EQ(bitmap.Pixel(3, 3), 5);
    EXPECT_EQ(bitmap.Color(5), RGB(0, 0x58, 0xF8));
    EXPECT_GT(bitmap.Version(), before);
    EXPECT_EQ(bitmap.PaletteStamp(), other.PaletteStamp());
}

TEST(NkDIB, CopyRectDoublesWithoutSmoothing)
{
    TNkDIB source(16, 16), destination(32, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            source.ScanLine(y)[x] = static_cast<std::uint8_t>(x + 16 * (y % 2));
    TNkDIBCanvas canvas(destination);
    canvas.CopyRect(0, 0, 32, 32, source, 0, 0, 16, 16);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(destination.Pixel(x, y), source.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(NkDIB, CopyRectMatchesColoursThroughTheTables)
{
    TNkDIB source(4, 4), destination(4, 4);
    source.SetColor(5, RGB(0x00, 0x58, 0xF8));
    source.SetColor(6, RGB(0xF0, 0x10, 0x10)); // no exact match: nearest is entry 40
    source.ScanLine(0)[0] = 5;
    source.ScanLine(0)[1] = 6;
    destination.SetColor(17, RGB(0x00, 0x58, 0xF8));
    destination.SetColor(40, RGB(0xFF, 0x00, 0x00));
    destination.SetColor(41, RGB(0x00, 0xFF, 0x00));
    TNkDIBCanvas canvas(destination);
    canvas.CopyRect(0, 0, 4, 4, source, 0, 0, 4, 4);
    EXPECT_EQ(destination.Pixel(0, 0), 17);
    EXPECT_EQ(destination.Pixel(1, 0), 40);
    EXPECT_EQ(destination.Pixel(2, 0), 0) << "black is entry 0";
}

TEST(NkDIB, CopyRectClipsToBothBitmaps)
{
    TNkDIB source(8, 8), destination(8, 8);
    for (int y = 0; y < 8; ++y)
        std::fill_n(source.ScanLine(y), 8, 3);
    TNkDIBCanvas canvas(destination);
    canvas.CopyRect(-4, -4, 12, 12, source, -4, -4, 12, 12);
    canvas.CopyRect(6, 6, 40, 40, source, 0, 0, 8, 8);
    EXPECT_EQ(CountIndex(destination, 3), 64);
}

TEST(NkDIB, LinesLeaveOutTheirEndPointAndRectanglesClose)
{
    TNkDIB bitmap(10, 10);
    bitmap.SetColor(9, RGB(255, 255, 255));
    TNkDIBCanvas canvas(bitmap);
    canvas.PenColor = RGB(255, 255, 255);
    canvas.MoveTo(1, 1);
    canvas.LineTo(5, 1);
    EXPECT_EQ(bitmap.Pixel(4, 1), 9);
    EXPECT_EQ(bitmap.Pixel(5, 1), 0);
    canvas.LineTo(5, 5);
    canvas.LineTo(1, 5);
    canvas.LineTo(1, 1);
    EXPECT_EQ(CountIndex(bitmap, 9), 16);
    canvas.MoveTo(-5, 20);
    canvas.LineTo(20, -5); // clipped, no crash
}

TEST(NkDIB, TextWithAClearBrushLeavesTheCellAlone)
{
    test::BoxGlyphs glyphs;
    for (bool clear : {true, false}) {
        TNkDIB bitmap(20, 12);
        bitmap.SetColor(1, RGB(255, 255, 255));
        bitmap.SetColor(2, RGB(255, 0, 0));
        bitmap.SetColor(3, RGB(0, 0, 255));
        for (int y = 0; y < 12; ++y)
            std::fill_n(bitmap.ScanLine(y), 20, 3);
        TNkDIBCanvas canvas(bitmap, &glyphs);
        canvas.Font.color = RGB(255, 0, 0);
        if (clear)
            canvas.BrushStyle = TBrushStyle::Clear;
        canvas.TextOut(2, 2, "A");
        EXPECT_EQ(bitmap.Pixel(4, 4), 2) << "glyph";
        EXPECT_EQ(bitmap.Pixel(2, 2), clear ? 3 : 1) << "cell corner";
        EXPECT_EQ(bitmap.Pixel(10, 2), 3) << "outside the cell";
    }
}

TEST(NkDIB, LongRowsMatchEveryIndexWhetherBelowSixteenOrNot)
{
    // Rows of sheet indices (0..15) go sixteen at a time; any other index in a run of
    // sixteen must still find its colour.
    TNkDIB source(48, 2), destination(48, 2);
    std::array<TColor, 256> colors{};
    for (int i = 0; i < 256; ++i)
        colors[static_cast<std::size_t>(i)] = RGB(i, 255 - i, (i * 7) & 0xFF);
    source.SetColorTable(colors);
    std::array<TColor, 256> reversed{};
    for (int i = 0; i < 256; ++i)
        reversed[static_cast<std::size_t>(255 - i)] = colors[static_cast<std::size_t>(i)];
    destination.SetColorTable(reversed);
    for (int x = 0; x < 48; ++x) {
        source.ScanLine(0)[x] = static_cast<std::uint8_t>(x % 16);
        source.ScanLine(1)[x] = static_cast<std::uint8_t>(x == 20 ? 32 : x % 16);
    }
    TNkDIBCanvas canvas(destination);
    canvas.CopyRect(0, 0, 48, 2, source, 0, 0, 48, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(destination.Color(destination.Pixel(x, y)), source.Color(source.Pixel(x, y))) << x << "," << y;
}
