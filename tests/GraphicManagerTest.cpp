#include "render/GraphicManager.h"
#include "core/base/Language.h"
#include "core/model/StageObjects.h"
#include "render/PatternData.h"
#include "tests/support/BoxGlyphs.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

std::vector<std::uint8_t> colours()
{
    std::vector<std::uint8_t> file(192);
    for (int i = 0; i < 64; ++i) {
        file[3 * i] = static_cast<std::uint8_t>(4 * i);
        file[3 * i + 1] = static_cast<std::uint8_t>(255 - 4 * i);
        file[3 * i + 2] = static_cast<std::uint8_t>(i);
    }
    return file;
}

class GraphicManagerTest : public ::testing::Test {
protected:
    GraphicManagerTest() : palette(colours(), "p"), graphics(palette, &glyphs)
    {
        graphics.setPatternTable(std::span<const std::uint8_t, PatternTableSize>(table.data(), PatternTableSize));
    }
    void setBG(std::array<std::uint8_t, 16> bg) { palette.setBGPalette(bg); }
    void setTile(int tile, std::initializer_list<std::uint8_t> bytes)
    {
        std::copy(bytes.begin(), bytes.end(), table.begin() + 16 * tile);
    }
    std::string row(const IndexedBitmap& bitmap, int x, int y, int sub)
    {
        std::string row;
        for (int q = 0; q < 8; ++q) {
            const int v = bitmap.pixel(x + q, y) - 4 * sub;
            row += v == 0 ? '.' : static_cast<char>('0' + v);
        }
        return row;
    }

    test::BoxGlyphs glyphs;
    PaletteManager palette;
    GraphicManager graphics;
    std::array<std::uint8_t, PatternTableSize> table{};
};

} // namespace

TEST_F(GraphicManagerTest, GoldenTileDecodesPlaneByPlaneBitSevenLeft)
{
    setTile(0, {0x41, 0xC2, 0x44, 0x48, 0x10, 0x20, 0x40, 0x80, 0x01, 0x02, 0x04, 0x08, 0x16, 0x21, 0x42, 0x87});
    auto sheet = graphics.createStageBitmap(128, 512);
    graphics.decodeChipSheet(*sheet);
    const char* expected[8] = {".1.....3", "11....3.", ".1...3..", ".1..3...",
                               "...3.22.", "..3....2", ".3....2.", "3....222"};
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(row(*sheet, 0, j, 0), expected[j]) << "row " << j;
        EXPECT_EQ(row(*sheet, 0, 256 + j, 2), expected[j]) << "sub-palette 2, row " << j;
    }
}

TEST_F(GraphicManagerTest, TilesPairVerticallyIntoSixteenBySixteenChips)
{
    // Tile 1 sits below tile 0; tiles 2 and 3 to their right; tile 32 starts band 1.
    setTile(1, {0x80, 0, 0, 0, 0, 0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0});
    setTile(2, {0x00, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0});
    setTile(32, {0x80, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0});
    auto sheet = graphics.createStageBitmap(128, 512);
    graphics.decodeChipSheet(*sheet);
    EXPECT_EQ(sheet->pixel(0, 8), 1);
    EXPECT_EQ(sheet->pixel(8, 0), 2);
    EXPECT_EQ(sheet->pixel(0, 16), 3);
    EXPECT_EQ(sheet->pixel(0, 128 + 8), 5) << "sub-palette 1 adds 4";
    EXPECT_EQ(sheet->pixel(0, 384 + 16), 15);
}

TEST_F(GraphicManagerTest, ChipEntryIndexesTheSheetDirectly)
{
    auto sheet = graphics.createStageBitmap(128, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 128; ++x)
            sheet->scanLine(y)[x] = static_cast<std::uint8_t>((x / 16 + 8 * (y / 16)) & 0xFF);
    std::vector<std::uint8_t> entries(1024, 0);
    entries[0] = 0xC5;          // top-left of chip 0
    entries[4 * 17 + 3] = 0x09; // bottom-right of chip 17
    auto chips = graphics.createStageBitmap(512, 512);
    graphics.composeChip32Sheet(*chips, *sheet, entries);
    EXPECT_EQ(chips->pixel(0, 0), sheet->pixel(80, 384));
    EXPECT_EQ(chips->pixel(15, 15), 0xC5);
    EXPECT_EQ(chips->pixel(32 + 16, 32 + 16), 0x09);
    EXPECT_EQ(chips->pixel(16, 0), 0);
    // Four different quarters: top left, bottom left, top right, bottom right.
    const std::uint8_t quarters[4] = {0x01, 0x42, 0x83, 0xC4};
    std::copy_n(quarters, 4, entries.begin() + 4 * 5);
    graphics.composeChip32Sheet(*chips, *sheet, entries);
    EXPECT_EQ(chips->pixel(160 + 8, 8), 0x01);
    EXPECT_EQ(chips->pixel(160 + 8, 24), 0x42);
    EXPECT_EQ(chips->pixel(160 + 24, 8), 0x83);
    EXPECT_EQ(chips->pixel(160 + 24, 24), 0xC4);
    std::fill_n(entries.begin() + 4 * 5, 4, 0);

    // Into a bitmap of other colours, through the colour matching instead of straight copies.
    std::array<std::uint8_t, 16> bg{};
    for (int i = 0; i < 16; ++i)
        bg[i] = static_cast<std::uint8_t>(i + 1);
    setBG(bg);
    graphics.applyStagePalette(*sheet);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 128; ++x)
            sheet->scanLine(y)[x] = static_cast<std::uint8_t>((x / 16 + y / 16) % 16);
    auto shown = graphics.createDisplayBitmap(512, 512);
    graphics.composeChip32Sheet(*shown, *sheet, entries);
    EXPECT_EQ(shown->color(shown->pixel(0, 0)), sheet->color(sheet->pixel(80, 384)));
    EXPECT_EQ(shown->color(shown->pixel(48, 48)), sheet->color(sheet->pixel(16, 16)));
}

TEST_F(GraphicManagerTest, RoomsAreStoredColumnAfterColumn)
{
    auto chips = graphics.createStageBitmap(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            chips->scanLine(y)[x] = static_cast<std::uint8_t>(x / 32 + 16 * (y / 32));
    std::vector<std::uint8_t> room(64, 0);
    room[1] = 0x07;
    room[8] = 0x23;
    auto view = graphics.createStageBitmap(256, 256);
    graphics.drawRoom(*view, *chips, room);
    EXPECT_EQ(view->pixel(0, 32), 0x07) << "byte 1: column 0, row 1";
    EXPECT_EQ(view->pixel(32, 0), 0x23) << "byte 8: column 1, row 0";
    EXPECT_EQ(view->pixel(31, 31), 0);
}

TEST_F(GraphicManagerTest, StagePaletteMirrorsEntryZeroIntoEveryFourth)
{
    std::array<std::uint8_t, 16> bg{};
    for (int i = 0; i < 16; ++i)
        bg[i] = static_cast<std::uint8_t>(i + 1);
    setBG(bg);
    const IndexedBitmap& stage = graphics.stagePalette();
    EXPECT_EQ(stage.color(4), palette.getRGB(1));
    EXPECT_EQ(stage.color(12), palette.getRGB(1));
    EXPECT_EQ(stage.color(5), palette.getRGB(6));
    EXPECT_EQ(stage.color(32), GraphicManager::CursorColor);
    EXPECT_EQ(stage.color(16), 0u);

    // Entry 4 changes no sheet colour, but the current-palette swatch shows it.
    const auto before = stage.colorTable();
    bg[4] = 0x30;
    setBG(bg);
    EXPECT_EQ(graphics.stagePalette().colorTable(), before);
    auto swatch = graphics.createDisplayBitmap(160, 10);
    graphics.drawCurrentPalette(*swatch);
    EXPECT_EQ(swatch->color(swatch->pixel(45, 5)), palette.getRGB(0x30));
}

TEST_F(GraphicManagerTest, AnEmptyPatternListPaintsEveryChipInTheBackgroundColour)
{
    std::array<std::uint8_t, 256> setting{};
    std::array<std::uint8_t, PatternDataSize> data{};
    data.fill(0xAA);
    std::vector<std::uint8_t> image(0x40010, 0x55);
    buildPatternData(setting, image, 0x3C10, data, nullptr);
    EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](auto b) { return b == 0; }));
    graphics.setPatternTable(std::span<const std::uint8_t, PatternTableSize>(data.data() + 0x1000, PatternTableSize));
    std::array<std::uint8_t, 16> bg{};
    bg.fill(0x21);
    bg[0] = 0x0F;
    setBG(bg);
    auto sheet = graphics.createStageBitmap(128, 512);
    graphics.decodeChipSheet(*sheet);
    auto view = graphics.createDisplayBitmap(128, 512);
    BitmapCanvas(*view).copyRect(0, 0, 128, 512, *sheet, 0, 0, 128, 512);
    for (int y : {0, 200, 300, 511})
        EXPECT_EQ(view->color(view->pixel(5, y)), palette.getRGB(0x0F)) << y;
}

TEST_F(GraphicManagerTest, BadColourIndicesShowExactGrey)
{
    std::array<std::uint8_t, 64> frames{};
    frames[0] = 0x40;
    frames[1] = 0xFF;
    palette.setPaletteAnime(0, 0, frames);
    auto cells = graphics.createDisplayBitmap(160, 40);
    graphics.drawAnimePalettes(*cells, true);
    EXPECT_EQ(cells->color(cells->pixel(1, 1)), 0x808080u);
    EXPECT_EQ(cells->color(cells->pixel(11, 1)), 0x808080u);
    EXPECT_EQ(cells->color(cells->pixel(7, 7)), 0x7F7F7Fu) << "the number in the inverted colour";
    EXPECT_EQ(cells->color(cells->pixel(21, 1)), palette.getRGB(0));
}

TEST_F(GraphicManagerTest, ObjectMarkersAreSixteenPixelBoxesWithTheKindInHex)
{
    std::vector<std::uint8_t> rooms{0, 0, 0xFF}, xs{0, 100}, ys{0, 100}, kinds{0x1F, 0x2A};
    StageObjects objects(rooms, xs, ys, kinds, EnemyCapacity);
    auto view = graphics.createDisplayBitmap(256, 256);
    graphics.drawObjectMarkers(*view, objects.lists(1)); // empty: nothing drawn
    EXPECT_EQ(std::count(view->bits(), view->bits() + 256 * 256, 0), 256 * 256);
    graphics.drawObjectMarkers(*view, objects.lists(0));
    const auto white = view->indexOf(RGB(255, 255, 255));
    EXPECT_EQ(view->pixel(92, 92), white);
    EXPECT_EQ(view->pixel(107, 107), white);
    EXPECT_EQ(view->pixel(107, 92), white);
    EXPECT_EQ(view->pixel(108, 108), 0);
    EXPECT_EQ(view->pixel(96, 97), view->indexOf(RGB(0, 0, 0))) << "text in black on white";
    EXPECT_EQ(view->pixel(7, 7), white) << "the box at 0,0 is clipped, not lost";

    ASSERT_NE(objects.lists(0).items(1), nullptr);
    graphics.drawObjectFrame(*view, *objects.lists(0).items(1), 8);
    EXPECT_EQ(view->pixel(96, 96), white);
    EXPECT_EQ(view->pixel(103, 103), white);
}

TEST_F(GraphicManagerTest, CursorFramesShowTheSameMagentaOnBothKindsOfBitmap)
{
    setBG({});
    auto display = graphics.createDisplayBitmap(64, 64);
    auto stage = graphics.createStageBitmap(64, 64);
    graphics.drawCursorFrame(*display, 2, 2, 32, 32);
    graphics.drawCursorFrame(*stage, 2, 2, 32, 32);
    EXPECT_EQ(display->color(display->pixel(2, 33)), GraphicManager::CursorColor);
    EXPECT_EQ(display->color(display->pixel(33, 33)), GraphicManager::CursorColor);
    EXPECT_EQ(stage->pixel(33, 2), GraphicManager::StageCursorIndex);
    EXPECT_EQ(display->pixel(34, 34), 0);
}

TEST(PatternData, FillsUpTo8192BytesAndWarnsWithTheSettingAddressOnOverflow)
{
    std::vector<std::uint8_t> image(0x40010);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i >> 8);
    std::array<std::uint8_t, 256> setting{};
    // Four entries of 8 pages from bank 1 at 8000, 8800, 9000, 9800: exactly 8192 bytes.
    setting[0] = 4;
    for (int i = 0; i < 4; ++i) {
        setting[1 + 3 * i] = static_cast<std::uint8_t>(0x80 + 8 * i);
        setting[2 + 3 * i] = 8;
        setting[3 + 3 * i] = 1;
    }
    std::array<std::uint8_t, PatternDataSize> data{};
    std::vector<std::string> warnings;
    auto warn = [&](const std::string& text) { warnings.push_back(text); };
    buildPatternData(setting, image, 0x3C10, data, warn);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(data[0], image[0x4010]);
    EXPECT_EQ(data[8191], image[0x4010 + 8191]);

    setting[0] = 6; // one page more, then an entry that must be skipped
    setting[13] = 0xA0;
    setting[14] = 1;
    setting[15] = 2;
    setting[16] = 0xB0;
    setting[17] = 1;
    setting[18] = 2;
    forceLanguage(Language::English);
    buildPatternData(setting, image, 0x7D10, data, warn);
    forceLanguage(std::nullopt);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "Trying to Write over Pattern Table.\r\nWriting Data is maybe Invalid.\r\n"
              "Confirm Data in Address 7D10");
    EXPECT_EQ(data[8191], image[0x4010 + 8191]);
}

TEST(PatternData, SourcesOutsideTheImageReadAsZero)
{
    std::vector<std::uint8_t> image(0x40010, 0x77);
    std::array<std::uint8_t, 256> setting{};
    setting[0] = 3;
    const std::uint8_t entries[9] = {0xBF, 2,   15, /* last page inside, next outside */
                                     0x10, 1,   0,  /* below the window: before the file */
                                     0xFF, 255, 0xFF};
    std::copy(std::begin(entries), std::end(entries), setting.begin() + 1);
    std::array<std::uint8_t, PatternDataSize> data{};
    int warnings = 0;
    buildPatternData(setting, image, 0, data, [&](const std::string&) { ++warnings; });
    EXPECT_EQ(data[0], 0x77);
    EXPECT_EQ(data[255], 0x77);
    EXPECT_EQ(data[256], 0);
    EXPECT_EQ(data[512], 0);
    EXPECT_EQ(warnings, 1);
    forceLanguage(Language::Japanese);
    EXPECT_EQ(patternOverflowText(0x3C10),
              "パターンテーブルの範囲を超えて書き込みを行おうとしました。\r\n"
              "データが不正である可能性があります。\r\nアドレス3C10からのデータを確"
              "認して下さい。");
    forceLanguage(std::nullopt);
}

TEST(PatternData, AListCountBeyondItsTableStopsAtTheTable)
{
    std::vector<std::uint8_t> image(0x40010, 0x11);
    std::array<std::uint8_t, 256> setting{};
    setting.fill(0);
    setting[0] = 255; // 255 entries would need 766 bytes
    std::array<std::uint8_t, PatternDataSize> data{};
    buildPatternData(setting, image, 0, data, nullptr);
    EXPECT_EQ(data[0], 0) << "entries of 0 pages copy nothing";
}
