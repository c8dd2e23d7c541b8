#include "core/base/Language.h"
#include "core/files/PngPicture.h"
#include "core/model/RomImage.h"
#include "core/model/StageTiles.h"
#include "core/text/Recovery.h"
#include "render/PatternData.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// The sample with stage 01 drawing stage 00's tiles and stage 02's sprite tiles (its first
// entry) read from past the image's end.
std::vector<std::uint8_t> sharingSample()
{
    auto bytes = test::sampleBytes();
    RomImage rom(test::defaultAddresses());
    EXPECT_TRUE(rom.loadFromBytes(bytes, "x.nes").ok());
    const auto setting = [&](int stage) { return rom.stage(stage).address(TableKey::PatternTableSetting); };
    std::copy_n(bytes.begin() + setting(0), 256, bytes.begin() + setting(1));
    bytes[static_cast<std::size_t>(setting(2)) + 3] = 0xFF; // bank FF: far outside
    return bytes;
}

PatternSources sourcesOf(const RomImage& rom, int stage)
{
    return patternSourcesOf(rom.stage(stage).patternTableSetting(), rom.imageSize());
}

// The texts are compared in English.
class TileEdit : public ::testing::Test {
protected:
    TileEdit() { forceLanguage(Language::English); }
    ~TileEdit() override { forceLanguage(std::nullopt); }
};

} // namespace

TEST_F(TileEdit, AStrokeIsOneStepThatEveryStageDrawingTheBytesShowsAndOnlyItsBytesAreSaved)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(sharingSample(), "x.nes").ok());
    StageData& stage = rom.stage(0);
    const PatternSources sources = sourcesOf(rom, 0);
    stage.beginGesture();
    for (int x = 0; x < 3; ++x) // each colour into the same two bytes
        ASSERT_TRUE(paintTilePixel(stage, sources, TileTable::Background, 0x21, x, 5, x + 1).ok());
    EXPECT_FALSE(paintTilePixel(stage, sources, TileTable::Background, 0x21, 0, 5, 1).value()) << "no change";
    stage.endGesture();
    EXPECT_EQ(stage.undoStack().count(), 1);
    EXPECT_EQ(rom.undoCaption(), "Edit Tiles");
    const auto tile = workingTile(stage, sources, TileTable::Background, 0x21);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(tilePixel(tile, x, 5), x + 1);

    const int tiles[1] = {0x21};
    EXPECT_EQ(stagesDrawing(rom, offsetsOfTiles(sources, TileTable::Background, tiles), 0), std::vector<int>{1});
    std::array<std::uint8_t, 8192> shared{};
    buildPatternData(rom.stage(1).patternTableSetting(), rom.imageBytes(), 0, shared, nullptr,
                     &rom.stage(1).tileEdits());
    EXPECT_TRUE(std::equal(tile.begin(), tile.end(), shared.begin() + 0x1000 + 16 * 0x21)) << "stage 01 draws it too";

    const auto edited = rom.editedImage();
    const auto offsets = tileSources(sources, TileTable::Background, 0x21);
    for (std::size_t i = 0; i < edited.size(); ++i) {
        const bool painted = i == static_cast<std::size_t>(offsets[5]) || i == static_cast<std::size_t>(offsets[13]);
        EXPECT_TRUE(edited[i] == rom.imageBytes()[i] || painted) << i;
    }
    EXPECT_NE(edited, rom.imageBytes());

    // Recovered after a crash: the same bytes, as an undoable step.
    RomImage recovered(test::defaultAddresses());
    ASSERT_TRUE(recovered.loadFromBytes(sharingSample(), "x.nes").ok());
    ASSERT_TRUE(applyRecovery(recovered, recoveryRecordOf(rom)).ok());
    EXPECT_EQ(recovered.editedImage(), edited);

    rom.undo();
    EXPECT_EQ(rom.editedImage(), rom.imageBytes());
}

TEST_F(TileEdit, TilesFromOutsideTheImageAreRefusedAndAWholeTableWritesOnlyWhatDiffers)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(sharingSample(), "x.nes").ok());
    StageData& stage = rom.stage(2);
    const PatternSources sources = sourcesOf(rom, 2);
    const Result<bool> refused = paintTilePixel(stage, sources, TileTable::Sprites, 7, 0, 0, 1);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().message.find("sprite tile 07"), std::string::npos) << refused.error().message;

    std::array<std::uint8_t, TileTableLength> table{};
    for (int tile = 0; tile < TileCount; ++tile) {
        const auto bytes = workingTile(stage, sources, TileTable::Sprites, tile);
        std::copy(bytes.begin(), bytes.end(), table.begin() + 16 * tile);
    }
    table[16 * 9 + 2] ^= 0x40;
    EXPECT_FALSE(replaceTileTable(stage, sources, TileTable::Sprites, table).ok());
    EXPECT_EQ(stage.undoStack().count(), 0) << "nothing changed";

    for (int tile = 0; tile < TileCount; ++tile) {
        const auto bytes = workingTile(stage, sources, TileTable::Background, tile);
        std::copy(bytes.begin(), bytes.end(), table.begin() + 16 * tile);
    }
    table[16 * 0x30 + 1] ^= 0x01;
    table[16 * 0xFF + 15] ^= 0x80;
    const Result<std::vector<int>> changed = replaceTileTable(stage, sources, TileTable::Background, table);
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.value(), (std::vector<int>{0x30, 0xFF}));
    EXPECT_EQ(stage.undoStack().count(), 1);
    EXPECT_EQ(sheetOfTable(table), sheetOfTable(tableOfSheet(sheetOfTable(table)))) << "sheet round trip";
}

TEST_F(TileEdit, APictureIsReadByIndexOrByExactColourAndTheFirstStrayPixelIsNamed)
{
    std::array<std::uint8_t, TileTableLength> table{};
    table[16 * 0x11] = 0x80;                                                   // tile 11, pixel (0, 0) has value 1
    const std::uint32_t colours[4] = {0x000000, 0xFF0000, 0x000000, 0xFFFFFF}; // 0 and 2 alike
    PngPicture picture;
    picture.width = picture.height = 128;
    picture.colours.assign(128 * 128, 0x000000);
    picture.colours[8 * 128 + 8] = 0xFF0000;
    const auto sheet = sheetOfPicture(picture, colours, table);
    ASSERT_TRUE(sheet.ok());
    EXPECT_EQ(sheet.value()[8 * 128 + 8], 1);
    EXPECT_EQ(tableOfSheet(sheet.value()), table);

    picture.colours[9 * 128 + 20] = 0x123456;
    const auto stray = sheetOfPicture(picture, colours, table);
    ASSERT_FALSE(stray.ok());
    EXPECT_EQ(stray.error().message,
              "Pixel (20, 9), tile 12: colour #123456 (not one of the sub-palette's four colours).");

    picture.indexed = true;
    picture.indices.assign(128 * 128, 2);
    picture.indices[127 * 128 + 127] = 4;
    EXPECT_NE(sheetOfPicture(picture, colours, table).error().message.find("(127, 127), tile FF: palette index 4"),
              std::string::npos);
    picture.width = 64;
    EXPECT_FALSE(sheetOfPicture(picture, colours, table).ok());
}

TEST_F(TileEdit, TheChipLayoutPutsEachTileWhereTheTilesPageShowsIt)
{
    std::array<std::uint8_t, TileTableLength> table{};
    for (int tile = 0; tile < TileCount; ++tile)
        table[static_cast<std::size_t>(TileLength * tile)] = static_cast<std::uint8_t>(tile); // row 0, plane 0
    const auto sheet = sheetOfTable(table, TileLayout::Chips);
    for (int tile = 0; tile < TileCount; ++tile) {
        const auto [left, top] = tilePictureCorner(tile);
        int number = 0; // row 0's pixels, the leftmost the highest bit
        for (int x = 0; x < 8; ++x)
            number = number << 1 | sheet[static_cast<std::size_t>(top * SheetSide + left + x)];
        EXPECT_EQ(number, tile);
    }
    EXPECT_EQ(tableOfSheet(sheet, TileLayout::Chips), table);
    // The words preferences.ini keeps.
    EXPECT_EQ(tileLayoutNamed("chips"), TileLayout::Chips);
    EXPECT_EQ(tileLayoutNamed("tiles"), TileLayout::Tiles);
}
