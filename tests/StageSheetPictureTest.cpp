#include "render/StageSheetPicture.h"
#include "core/files/PngPicture.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "render/BitmapGlyphRenderer.h"
#include "render/BitmapPng.h"
#include "render/StageSheets.h"
#include "tests/support/BoxGlyphs.h"
#include "tests/support/Images.h"
#include "tests/support/LanguageGuard.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <set>

using namespace vx;

namespace {

std::vector<std::uint8_t> colours()
{
    std::vector<std::uint8_t> file(192);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i * 37);
    return file;
}

// Stage 0 of the sample with its sheets composed.
class StageSheetPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
        prepareStageSheets(graphics, rom.stage(0), rom.imageBytes(), sheets, nullptr);
        ASSERT_NE(sheets.chip32Sheet, nullptr);
    }

    RomImage rom{test::defaultAddresses()};
    PaletteManager palette{colours(), "p"};
    test::BoxGlyphs glyphs;
    GraphicManager graphics{palette, &glyphs};
    StageSheets sheets;

    // Pixels of cell `room` of the picture that differ from the room drawn alone, outside the
    // corner that holds the room number.
    int differing(const IndexedBitmap& picture, int columns, int room, bool objects)
    {
        auto alone = graphics.createDisplayBitmap(256, 256);
        drawRoomWithObjects(graphics, *alone, *sheets.chip32Sheet, rom.stage(0), room, objects);
        const int x0 = (room % columns) * 256, y0 = (room / columns) * 256;
        int differing = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if ((x >= 16 || y >= 12) &&
                    picture.color(picture.pixel(x0 + x, y0 + y)) != alone->color(alone->pixel(x, y)))
                    ++differing;
        return differing;
    }
};

} // namespace

TEST_F(StageSheetPicture, RoomsStandInColumnsAndEachEqualsTheRoomDrawnAlone)
{
    SheetPictureOptions options;
    options.objects = true;
    const auto picture = drawStageSheetPicture(graphics, rom.stage(0), *sheets.chip32Sheet, options);
    EXPECT_EQ(picture->width(), 11 * 256);
    EXPECT_EQ(picture->height(), 4 * 256);
    for (int room : {0, 10, 11, 43})
        EXPECT_EQ(differing(*picture, 11, room, true), 0) << "room " << room;
    EXPECT_EQ(picture->pixel(2 + 1, 2 + 1), picture->indexOf(RGB(255, 255, 255))) << "the room number's first glyph";

    options.columns = 5;
    options.objects = false;
    const auto narrow = drawStageSheetPicture(graphics, rom.stage(0), *sheets.chip32Sheet, options);
    EXPECT_EQ(narrow->width(), 5 * 256);
    EXPECT_EQ(narrow->height(), 9 * 256);
    EXPECT_EQ(differing(*narrow, 5, 43, false), 0);
    EXPECT_EQ(narrow->pixel(4 * 256 + 100, 8 * 256 + 100), narrow->indexOf(RGB(0, 0, 0))) << "past the last room";
}

TEST_F(StageSheetPicture, PathMarksAndRestartPointsAreDrawnInTheirRooms)
{
    const StageData& stage = rom.stage(0);
    SheetPictureOptions options;
    options.scroll = true;
    options.restartPoints = true;
    const auto picture = drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options);
    // The start room holds the start point's landing marker, 16 wide, centred on x = 128.
    const RestartPoint& start = stage.restartPoints(stage.defaultStartPoint());
    const int room = start.startRoom();
    const int x0 = (room % 11) * 256, y0 = (room / 11) * 256;
    const std::uint8_t white = picture->indexOf(RGB(255, 255, 255)), black = picture->indexOf(RGB(0, 0, 0));
    EXPECT_EQ(picture->pixel(x0 + 120, y0 + start.startY), white);
    // The start room is covered by the first entry's forward run: its ">>" cell is black and white.
    const std::uint8_t mark = picture->pixel(x0 + 128, y0 + 128);
    EXPECT_TRUE(mark == black || mark == white);
    EXPECT_NE(differing(*picture, 11, room, false), 0);
}

TEST_F(StageSheetPicture, ThePathOptionShadesOnlyTheRoomsNoRestartPointReaches)
{
    StageData& stage = rom.stage(0);
    SheetPictureOptions options;
    const auto plain = drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options);
    options.path = true;
    const auto reached = drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options);
    ASSERT_TRUE(coveredRooms(stage)[20]);
    EXPECT_EQ(differing(*reached, 11, 20, false), 0) << "a room on a walk stays as it is";

    // No point walks anywhere: every room is shaded, every other pixel black.
    for (int point = 0; point < RestartPointCount; ++point)
        stage.setRestartPointStartRoom(point, 0x2C);
    const auto shaded = drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, options);
    const std::uint8_t black = shaded->indexOf(RGB(0, 0, 0));
    const int x0 = (20 % 11) * 256, y0 = (20 / 11) * 256;
    int notShaded = 0, changed = 0;
    for (int y = 100; y < 116; ++y)
        for (int x = 100; x < 116; ++x) {
            if ((x + y) % 2 == 0 && shaded->pixel(x0 + x, y0 + y) != black)
                ++notShaded;
            changed += shaded->pixel(x0 + x, y0 + y) != plain->pixel(x0 + x, y0 + y);
        }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(notShaded, 0) << "black on one colour of a checkerboard";
}

TEST(BitmapFont, EachCharacterOfThePictureHasAGlyphOfItsOwnAndAnyOtherABox)
{
    const BitmapGlyphRenderer font;
    const auto drawn = [&](const std::string& text, int size = 9) { return font.render("", size, text); };
    std::set<std::vector<std::uint8_t>> seen{drawn("\x01").coverage};
    for (const char* text : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B",
                             "C", "D", "E", "F", ">", "-", "v", "^", "→", "↓", "↑"})
        EXPECT_TRUE(seen.insert(drawn(text).coverage).second) << text << " looks like another character or the box";
    // A box for a character it lacks and for each byte of broken UTF-8, also one cut short.
    for (const auto& [text, boxes] : {std::pair{"Z\xC3\xA9", "\x01\x01"}, {"\xFF", "\x01"}, {"\xE2\x86", "\x01\x01"}})
        EXPECT_EQ(drawn(text).coverage, drawn(boxes).coverage) << text;
    // Room numbers (12 points) twice the object numbers' size (9), path marks (24) four times.
    EXPECT_EQ(drawn("0A", 12).width, 2 * drawn("0A").width);
    EXPECT_EQ(drawn(">>", 24).height, 4 * drawn(">>").height);
}

// The sample's stage 3 as `vexalon2-tool render sample.nes --stage 3 --sheet-of-rooms --objects
// --scroll --midpoints --path` writes it, taken after its look was checked by eye.
TEST(StagePictureFile, TheSamplesStageLooksAsItsReferencePicture)
{
    const test::LanguageGuard english(Language::English);
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
    PaletteManager palette(VX_DATA_DIR "/fcpalette.pal");
    const BitmapGlyphRenderer font;
    GraphicManager graphics(palette, &font);
    StageSheets sheets;
    prepareStageSheets(graphics, rom.stage(3), rom.imageBytes(), sheets, nullptr);
    const auto picture =
        drawStageSheetPicture(graphics, rom.stage(3), *sheets.chip32Sheet, {11, true, true, true, true});
    const Result<PngPicture> drawn = decodePng(bitmapPng(*picture));
    const Result<PngPicture> reference = decodePng(test::readBytes(VX_REFERENCE_DIR "/stage-picture-03.png"));
    ASSERT_TRUE(drawn.ok() && reference.ok());
    EXPECT_TRUE(drawn.value().colours == reference.value().colours);
}
