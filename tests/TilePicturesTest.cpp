#include "render/TilePictures.h"
#include "core/files/GimpPalette.h"
#include "core/files/PngPicture.h"
#include "core/model/RomImage.h"
#include "core/model/StageTiles.h"
#include "render/PaletteManager.h"
#include "render/StagePaletteFile.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vx;

namespace {

struct Opened {
    RomImage rom{test::defaultAddresses()};
    PaletteManager colours{VX_DATA_DIR "/fcpalette.pal"};
    Opened() { EXPECT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x.nes").ok()); }
    std::array<std::uint8_t, TileLength> tile(int stage, TileTable table, int n) const
    {
        const StageData& s = rom.stage(stage);
        return workingTile(s, patternSourcesOf(s.patternTableSetting(), rom.imageSize()), table, n);
    }
};

} // namespace

TEST(TilePictures, AnExportReadsBackUnchangedAndIntoAnotherStageChangesTheTilesThatDiffer)
{
    Opened o;
    for (const TileTable table : {TileTable::Background, TileTable::Sprites}) {
        const auto png = tilePicturePng(o.rom.stage(3), o.colours, table, 2);
        const auto again = importTilePicture(o.rom.stage(3), o.colours, table, 2, png);
        ASSERT_TRUE(again.ok()) << again.error().text();
        EXPECT_TRUE(again.value().empty());
        EXPECT_EQ(o.rom.stage(3).undoStack().count(), 0) << "nothing recorded";
    }

    const auto png = tilePicturePng(o.rom.stage(1), o.colours, TileTable::Background, 0);
    const auto picture = decodePng(png);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.value().palette.size(), 4u);
    EXPECT_EQ(picture.value().palette[0], consoleColour(o.colours, o.rom.stage(1).bgPalette()[0]));
    ASSERT_TRUE(o.rom.stage(1).setPaletteColor(16 + 8, 0x16)); // red, not the background
    const auto sprites = decodePng(tilePicturePng(o.rom.stage(1), o.colours, TileTable::Sprites, 2));
    ASSERT_TRUE(sprites.ok());
    EXPECT_EQ(sprites.value().palette[0], picture.value().palette[0]) << "the sprites' colour 0 is the background's";
    const auto file = test::readBytes(VX_DATA_DIR "/fcpalette.pal"); // red, green, blue
    for (std::size_t c = 0; c < 64; ++c)
        EXPECT_EQ(consoleColour(o.colours, static_cast<int>(c)),
                  std::uint32_t{file[3 * c]} << 16 | std::uint32_t{file[3 * c + 1]} << 8 | file[3 * c + 2])
            << c;
    std::vector<int> differing;
    for (int n = 0; n < TileCount; ++n)
        if (o.tile(0, TileTable::Background, n) != o.tile(1, TileTable::Background, n))
            differing.push_back(n);
    ASSERT_FALSE(differing.empty());
    ASSERT_LT(differing.size(), 256u) << "the sample should have tiles in common too";
    const auto changed = importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 3, png);
    ASSERT_TRUE(changed.ok()) << changed.error().text();
    EXPECT_EQ(changed.value(), differing);
    EXPECT_EQ(o.rom.stage(0).undoStack().count(), 1);
    for (int n = 0; n < TileCount; ++n)
        EXPECT_EQ(o.tile(0, TileTable::Background, n), o.tile(1, TileTable::Background, n));
    o.rom.stage(0).undo();
    EXPECT_NE(o.tile(0, TileTable::Background, differing[0]), o.tile(1, TileTable::Background, differing[0]));
}

TEST(TilePictures, APictureOfAnotherSizeOrAFifthColourIsRefusedAndRecordsNothing)
{
    Opened o;
    std::vector<std::uint8_t> indices(129 * 128, 1);
    const std::uint32_t palette[5] = {0, 0x111111, 0x222222, 0x333333, 0x444444};
    const auto wide = importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 0,
                                        encodeIndexedPng(129, 128, indices, palette));
    ASSERT_FALSE(wide.ok());
    EXPECT_NE(wide.error().message.find("129x128"), std::string::npos) << wide.error().message;
    indices.resize(128 * 128);
    indices[5 * 128 + 9] = 4;
    const auto fifth = importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 0,
                                         encodeIndexedPng(128, 128, indices, palette));
    ASSERT_FALSE(fifth.ok());
    const std::uint8_t notPng[] = {'G', 'I', 'F', '8'};
    EXPECT_FALSE(importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 0, notPng).ok());
    EXPECT_EQ(o.rom.stage(0).undoStack().count(), 0);
}

// A paint program may renumber a palette PNG (a colour dropped, the order turned round): it is
// read by what it shows, as an RGB picture of the same look is, and a colour none of the four
// is refused with its first pixel.
TEST(TilePictures, APalettePictureIsReadByItsColoursHoweverItsPaletteIsNumbered)
{
    Opened o;
    const auto exported = decodePng(tilePicturePng(o.rom.stage(1), o.colours, TileTable::Background, 0));
    ASSERT_TRUE(exported.ok());
    const PngPicture& look = exported.value();
    std::vector<std::uint32_t> reversed(look.palette.rbegin(), look.palette.rend());
    std::vector<std::uint8_t> renumbered(look.indices.size());
    for (std::size_t i = 0; i < renumbered.size(); ++i)
        renumbered[i] = static_cast<std::uint8_t>(3 - look.indices[i]);
    std::vector<std::uint8_t> rgbIndices(look.colours.size());
    std::vector<std::uint32_t> rgbPalette; // the look again, as many colours as it shows
    for (std::size_t i = 0; i < look.colours.size(); ++i) {
        const auto at = std::find(rgbPalette.begin(), rgbPalette.end(), look.colours[i]);
        rgbIndices[i] = static_cast<std::uint8_t>(at - rgbPalette.begin());
        if (at == rgbPalette.end())
            rgbPalette.push_back(look.colours[i]);
    }
    for (const auto& png :
         {encodeIndexedPng(128, 128, renumbered, reversed), encodeIndexedPng(128, 128, rgbIndices, rgbPalette)}) {
        const auto changed = importTilePicture(o.rom.stage(1), o.colours, TileTable::Background, 0, png);
        ASSERT_TRUE(changed.ok()) << changed.error().text();
        EXPECT_TRUE(changed.value().empty()) << "the look the stage has: no tile changes";
    }
    renumbered[7 * 128 + 3] = 4;
    reversed.push_back(0x123456);
    const auto stray = importTilePicture(o.rom.stage(1), o.colours, TileTable::Background, 0,
                                         encodeIndexedPng(128, 128, renumbered, reversed));
    ASSERT_FALSE(stray.ok());
    EXPECT_NE(stray.error().message.find("(3, 7)"), std::string::npos) << stray.error().message;
    EXPECT_EQ(o.rom.stage(1).undoStack().count(), 0);
}

TEST(StagePaletteFile, ARoundTripIsExactAndAnOffColourTakesTheNearestOneAsOneStep)
{
    Opened o;
    StageData& stage = o.rom.stage(2);
    ASSERT_TRUE(stage.setPaletteColor(17, 0x1D)); // black, as 0D and 0F are: the name keeps which
    const std::string text = stagePaletteText(stage, o.colours, "stage 02");
    EXPECT_NE(text.find("Sprite 1 1D"), std::string::npos);
    const auto read = readStagePalette(text, o.colours, stage);
    ASSERT_TRUE(read.ok()) << read.error().text();
    EXPECT_TRUE(read.value().inexact.empty());
    for (int e = 0; e < 32; ++e)
        EXPECT_EQ(read.value().colours[e], stage.paletteBlock()[e]) << e;
    EXPECT_FALSE(applyStagePalette(stage, read.value()));

    auto colours = readGimpPalette(text, 32).value();
    colours[3].rgb = consoleColour(o.colours, 0x21) ^ 0x000102; // just off 21
    colours[3].name.clear();
    colours[21].rgb = 0x000000; // unnamed black where 21 shows another: the lowest index of that colour
    colours[21].name.clear();
    const auto off = readStagePalette(writeGimpPalette("x", colours), o.colours, stage);
    ASSERT_TRUE(off.ok());
    EXPECT_EQ(off.value().colours[3], 0x21);
    EXPECT_EQ(off.value().colours[21], 0x0D);
    EXPECT_EQ(off.value().inexact, std::vector<int>{3});
    const int steps = stage.undoStack().count();
    EXPECT_TRUE(applyStagePalette(stage, off.value()));
    EXPECT_EQ(stage.bgPalette()[3], 0x21);
    EXPECT_EQ(stage.undoStack().count(), steps + 1);
    EXPECT_FALSE(readStagePalette("GIMP Palette\n1 2 3\n", o.colours, stage).ok());
}

// As `tiles export sample.nes --stage 0 --layout chips` wrote it, seen to show chips as squares.
TEST(TilePictures, TheChipLayoutLooksAsItsReferenceAndReadsBackUnchangedOnlyInThatLayout)
{
    Opened o;
    const auto png = tilePicturePng(o.rom.stage(0), o.colours, TileTable::Background, 0, TileLayout::Chips);
    const auto reference = decodePng(test::readBytes(VX_REFERENCE_DIR "/tiles-chips-00.png"));
    EXPECT_TRUE(reference.ok() && decodePng(png).value().indices == reference.value().indices);
    const auto same = importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 0, png, TileLayout::Chips);
    ASSERT_TRUE(same.ok() && same.value().empty());
    EXPECT_EQ(o.rom.stage(0).undoStack().count(), 0);
    const auto other = importTilePicture(o.rom.stage(0), o.colours, TileTable::Background, 0, png, TileLayout::Tiles);
    EXPECT_TRUE(other.ok() && !other.value().empty());
}
