// The palette and chip pages' decisions, without widgets.
#include "core/base/Language.h"
#include "rules/ChipRules.h"
#include "rules/HitTest.h"
#include "rules/PaletteRules.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// 256 chips that differ from each other in their first entry.
struct DistinctChips {
    std::vector<std::uint8_t> entries = std::vector<std::uint8_t>(1024);
    std::vector<std::uint8_t> attributes = std::vector<std::uint8_t>(1024);
    DistinctChips()
    {
        for (int n = 0; n < 256; ++n)
            entries[static_cast<std::size_t>(4 * n)] = static_cast<std::uint8_t>(n);
    }
    void copyChip(int from, int to)
    {
        for (int k = 0; k < 4; ++k) {
            entries[static_cast<std::size_t>(4 * to + k)] = entries[static_cast<std::size_t>(4 * from + k)];
            attributes[static_cast<std::size_t>(4 * to + k)] = attributes[static_cast<std::size_t>(4 * from + k)];
        }
    }
    std::string duplicates() const { return duplicatedChipListText(entries, attributes); }
};

} // namespace

TEST(HitTest, TruncatesByCellSizeSoStretchedControlsHitTheSameCells)
{
    struct Case {
        int position, size, cells, cell;
    } cases[] = {
        {0, 512, 16, 0},    {31, 512, 16, 0},   {32, 512, 16, 1},   {511, 512, 16, 15},
        {15, 256, 16, 0},   {16, 256, 16, 1},   {255, 256, 16, 15}, // half size
        {23, 384, 16, 0},   {24, 384, 16, 1},   {383, 384, 16, 15}, {-1, 512, 16, -1},
        {512, 512, 16, -1}, {900, 512, 16, -1}, // dragged outside
    };
    for (const Case& c : cases)
        EXPECT_EQ(cellAt(c.position, c.size, c.cells), c.cell) << c.position << " of " << c.size;
}

TEST(ChipEditRules, ChipTableHitsChipAndQuarterOnThePageShown)
{
    struct Case {
        int x, y, width, height, page, chip, quarter;
    } cases[] = {
        {0, 0, 512, 256, 0, 0x00, 0},     {0, 0, 512, 256, 1, 0x80, 0},     {40, 0, 512, 256, 0, 0x01, 0},
        {511, 255, 512, 256, 0, 0x7F, 3}, {511, 255, 512, 256, 1, 0xFF, 3}, {16, 0, 512, 256, 0, 0x00, 2},
        {0, 16, 512, 256, 0, 0x00, 1},    {8, 8, 256, 128, 0, 0x00, 3}, // stretched to half size
        {255, 127, 256, 128, 1, 0xFF, 3},
    };
    for (const Case& c : cases) {
        const auto hit = chipTableHitAt(c.x, c.y, c.width, c.height, c.page);
        ASSERT_TRUE(hit) << c.x << "," << c.y;
        EXPECT_EQ(hit->chip, c.chip) << c.x << "," << c.y;
        EXPECT_EQ(hit->quarter, c.quarter) << c.x << "," << c.y;
    }
    EXPECT_FALSE(chipTableHitAt(512, 10, 512, 256, 0));
    EXPECT_FALSE(chipTableHitAt(10, -3, 512, 256, 0));
}

TEST(ChipEditRules, SixteenTablesAndEditedChipHitTheirCells)
{
    EXPECT_EQ(chip16TableEntryAt(0, 0, 128, 128, 0), 0x00);
    EXPECT_EQ(chip16TableEntryAt(127, 127, 128, 128, 0), 0x3F);
    EXPECT_EQ(chip16TableEntryAt(80, 16, 128, 128, 3), 0xC0 + 8 + 5);
    EXPECT_EQ(chip16TableEntryAt(40, 40, 64, 64, 1), 0x40 + 5 * 8 + 5) << "stretched";
    EXPECT_EQ(chip16TableEntryAt(128, 0, 128, 128, 0), -1);
    EXPECT_EQ(editedChipQuarterAt(0, 0, 64, 64), 0);
    EXPECT_EQ(editedChipQuarterAt(0, 40, 64, 64), 1);
    EXPECT_EQ(editedChipQuarterAt(40, 0, 64, 64), 2);
    EXPECT_EQ(editedChipQuarterAt(63, 63, 64, 64), 3);
    EXPECT_EQ(editedChipQuarterAt(64, 0, 64, 64), -1);
}

TEST(ChipEditRules, LabelClicksStepWithWrapAround)
{
    EXPECT_EQ(stepSubPalette(0x7A, true), 0xBA);
    EXPECT_EQ(stepSubPalette(0x7A, false), 0x3A);
    EXPECT_EQ(stepSubPalette(0xFA, true), 0x3A) << "sub-palette 3 wraps to 0";
    EXPECT_EQ(stepSubPalette(0x05, false), 0xC5) << "sub-palette 0 wraps to 3";
    EXPECT_EQ(stepAttribute(0, false), 3);
    EXPECT_EQ(stepAttribute(3, true), 0);
    EXPECT_EQ(stepAttribute(1, true), 2);
}

TEST(ChipEditRules, LabelTextsShowChipPaletteAndAttributeNames)
{
    EXPECT_EQ(entryLabelText(0x9A), "1A(02)");
    EXPECT_EQ(entryLabelText(0xFF), "3F(03)");
    std::vector<std::string> names(56, "????????");
    names[4 * 13 + 3] = "Conveyor";
    EXPECT_EQ(attributeName(names, 13, 3), "Conveyor");
    EXPECT_EQ(attributeName({"a", "b"}, 5, 1), "????????") << "a short list never reads past its end";
    EXPECT_EQ(chipPageText(0), "00-7F");
    EXPECT_EQ(chipPageText(1), "80-FF");
}

TEST(ChipEditRules, StatusTextsAndHeadingsInBothLanguages)
{
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(chipTableStatusText(0x8C), "32x32 Tile No:8C");
        EXPECT_EQ(chip16StatusText(0x9A), "16x16 tile No:1A Palette:02");
        EXPECT_EQ(unusedChipListHeading(), "Unused 32x32 Tile List");
        EXPECT_EQ(duplicatedChipListHeading(), "Duplicated 32x32 Tile List");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(chipTableStatusText(0x0C), "32x32チップ No:0C");
    EXPECT_EQ(chip16StatusText(0xC1), "16x16チップ No:01 パレット:03");
    EXPECT_EQ(unusedChipListHeading(), "マップに使用されていない32x32チップ番号");
    EXPECT_EQ(duplicatedChipListHeading(), "重複定義されている32x32チップ番号");
}

TEST(ChipEditRules, UnusedListHasOneLinePerRowWithUnusedChips)
{
    std::vector<std::uint8_t> map(2816);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<std::uint8_t>(i % 256);
    EXPECT_EQ(unusedChipListText(map), "") << "every chip used: an empty memo";

    for (auto& chip : map)
        if (chip == 0x03 || chip == 0x0A || chip == 0x41)
            chip = 0x00;
    EXPECT_EQ(unusedChipListText(map), "03 0A \r\n41 \r\n");

    for (auto& chip : map)
        if (chip == 0x77)
            chip = 0x00;
    map[2815] = 0x77; // the last byte of room 43
    EXPECT_EQ(unusedChipListText(map), "03 0A \r\n41 \r\n");

    const std::vector<std::uint8_t> blank(2816, 0x00);
    const std::string text = unusedChipListText(blank);
    EXPECT_EQ(text.substr(0, 50), "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n10 ");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
}

TEST(ChipEditRules, DuplicatesAreListedOnceUnderTheirHighestNumber)
{
    DistinctChips chips;
    EXPECT_EQ(chips.duplicates(), "");

    chips.copyChip(0x10, 0x20);
    chips.copyChip(0x10, 0x30);
    chips.copyChip(0x05, 0x06);
    EXPECT_EQ(chips.duplicates(), "05 06\r\n10 20 30\r\n");

    DistinctChips three;
    three.copyChip(0x02, 0x81);
    three.copyChip(0x02, 0xFF);
    EXPECT_EQ(three.duplicates(), "02 81 FF\r\n") << "three equal chips on one line";

    three.attributes[4 * 0x81 + 2] = 1; // attributes count too
    EXPECT_EQ(three.duplicates(), "02 FF\r\n");
}

TEST(PaletteEditRules, EntryBoxWaitsForTwoCharactersAndKeepsOnlyValidColours)
{
    struct Case {
        const char* text;
        std::uint8_t stored;
        bool acts;
        std::uint8_t value;
        const char* shown;
    } cases[] = {
        {"", 0x0F, false, 0, ""},
        {"3", 0x0F, false, 0, ""},
        {"3f", 0x0F, true, 0x3F, "3F"},
        {"40", 0x0F, true, 0x0F, "0F"},
        {"123", 0x0F, true, 0x23, "23"},
        {"zz", 0x21, true, 0x21, "21"},
        {"1 ", 0x21, true, 0x21, "21"},
        {"-1", 0x21, true, 0x21, "21"},
        {"あい", 0x16, true, 0x16, "16"},
        {"4F", 0x4F, true, 0x4F, "4F"},        // a stored byte above 3F stays until edited
        {"123456789", 0x01, true, 0x01, "01"}, // beyond 32 bits is not a number
    };
    for (const Case& c : cases) {
        const auto input = readPaletteEntryBox(c.text, c.stored);
        ASSERT_EQ(input.has_value(), c.acts) << c.text;
        if (input) {
            EXPECT_EQ(input->value, c.value) << c.text;
            EXPECT_EQ(input->text, c.shown) << c.text;
        }
    }
    EXPECT_FALSE(readPaletteEntryBox("あ", 0)) << "one character, however many bytes";
}

TEST(PaletteEditRules, TimerBoxAcceptsEveryByte)
{
    struct Case {
        const char* text;
        std::uint8_t value;
        const char* shown;
    } cases[] = {{"ff", 0xFF, "FF"}, {"00", 0x00, "00"}, {"1FF", 0xFF, "FF"}, {"xy", 0x0F, "0F"}};
    for (const Case& c : cases) {
        const auto input = readFrameTimerBox(c.text, 0x0F);
        ASSERT_TRUE(input) << c.text;
        EXPECT_EQ(input->value, c.value) << c.text;
        EXPECT_EQ(input->text, c.shown) << c.text;
    }
    EXPECT_FALSE(readFrameTimerBox("f", 0x0F));
}

TEST(PaletteEditRules, ColourGridAndSelectedColour)
{
    EXPECT_EQ(colorGridCellAt(0, 0, 384, 96), 0);
    EXPECT_EQ(colorGridCellAt(383, 95, 384, 96), 63);
    EXPECT_EQ(colorGridCellAt(24, 24, 384, 96), 17);
    EXPECT_EQ(colorGridCellAt(12, 12, 192, 48), 17) << "stretched to half size";
    EXPECT_EQ(colorGridCellAt(384, 0, 384, 96), -1);
    EXPECT_EQ(colorGridCellAt(0, -1, 384, 96), -1);
    EXPECT_EQ(shownSelectedColor(0x3F), 0x3F);
    EXPECT_EQ(shownSelectedColor(0x4F), 0x00);
}
