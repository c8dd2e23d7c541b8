// Chips and tiles renumbered without a pixel moving, and where a palette entry shows.
#include "core/model/ChipOrder.h"
#include "core/model/ColourUses.h"
#include "core/model/RomImage.h"
#include "core/model/TileOrder.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"
#include "tests/support/BoxGlyphs.h"
#include "tests/support/Images.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// Stage 08 draws stage 00's chip table over a map of its own (stage 02's rooms in the free
// last bank), stage 06 stage 00's map with a chip table of its own; stage 03 draws stage
// 01's pattern bytes with a chip table of its own.
constexpr std::int32_t OwnMap = 0x3C010;
const char* const SharedSettings = "[LevelDataAddress]\nMap[8]=3C010\nMap[6]=510\nPatternTableSetting[3]=7C10\n";

// The sample, or the image whose stages share chip tables and pattern bytes.
class Pictures : public ::testing::Test {
protected:
    void open(bool shared)
    {
        std::vector<std::uint8_t> bytes = test::sampleBytes();
        if (shared) {
            std::copy_n(bytes.begin() + 0x8510, MapSize, bytes.begin() + OwnMap);
            addresses = test::addressesFrom(SharedSettings);
        }
        rom = std::make_unique<RomImage>(addresses ? *addresses : test::defaultAddresses());
        ASSERT_TRUE(rom->loadFromBytes(bytes, "x.nes").ok());
        remember();
    }
    void remember()
    {
        before = rom->editedImage();
        looks = pictures();
    }

    // Per stage, each room's colours as one number.
    std::vector<std::vector<std::uint64_t>> pictures()
    {
        std::vector<std::vector<std::uint64_t>> all;
        for (int n = 0; n < StageCount; ++n) {
            prepareStageSheets(graphics, rom->stage(n), rom->imageBytes(), sheets, nullptr);
            const auto picture = drawStageSheetPicture(graphics, rom->stage(n), *sheets.chip32Sheet, {});
            std::vector<std::uint64_t> rooms(RoomCount, 1469598103934665603ULL);
            for (int room = 0; room < RoomCount; ++room)
                for (int y = 0; y < 256; ++y)
                    for (int x = 0; x < 256; ++x) {
                        auto& h = rooms[static_cast<std::size_t>(room)];
                        h = (h ^ picture->color(picture->pixel(room % 11 * 256 + x, room / 11 * 256 + y))) *
                            1099511628211ULL;
                    }
            all.push_back(std::move(rooms));
        }
        return all;
    }

    // Every room of every stage as before; only bytes of these tables changed; one undo of
    // the batch, or of each stage holding a part of it, brings every byte back.
    void expectNothingMoved(std::initializer_list<TableKey> tables, bool patternBytes)
    {
        EXPECT_EQ(pictures(), looks);
        const std::vector<std::uint8_t> after = rom->editedImage();
        EXPECT_NE(after, before);
        for (std::size_t at = 0; at < after.size(); ++at)
            if (after[at] != before[at]) {
                bool inside = patternBytes && at >= 0x20010;
                for (const TableKey key : tables)
                    for (int n = 0; n < StageCount; ++n) {
                        const auto start = static_cast<std::size_t>(rom->stage(n).address(key));
                        inside = inside || (at >= start && at < start + infoOf(key).length);
                    }
                ASSERT_TRUE(inside) << "byte " << std::hex << at;
            }
        std::vector<int> stepped;
        for (int n = 0; n < StageCount; ++n)
            if (rom->stage(n).undoStack().count() > 0)
                stepped.push_back(n);
        rom->undo();
        EXPECT_EQ(rom->editedImage(), before);
        rom->redo();
        EXPECT_EQ(rom->editedImage(), after);
        for (const int n : stepped)
            EXPECT_GE(rom->stage(n).undo(), 0);
        EXPECT_EQ(rom->editedImage(), before);
    }

    std::unique_ptr<AddressData> addresses;
    std::unique_ptr<RomImage> rom;
    std::vector<std::uint8_t> before;
    std::vector<std::vector<std::uint64_t>> looks;
    PaletteManager palette{[] {
                               std::vector<std::uint8_t> file(192); // 64 colours, each its own
                               for (std::size_t i = 0; i < file.size(); ++i)
                                   file[i] = static_cast<std::uint8_t>(i * 37);
                               return file;
                           }(),
                           "p"};
    test::BoxGlyphs glyphs;
    GraphicManager graphics{palette, &glyphs};
    StageSheets sheets;
};

class Reorder : public Pictures, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { open(GetParam()); }
};

class Colours : public Pictures {
protected:
    void SetUp() override { open(false); }
};

// Nothing changed and no step taken.
#define EXPECT_REFUSED(result, text)                                                                                   \
    do {                                                                                                               \
        const auto refused = (result);                                                                                 \
        ASSERT_FALSE(refused.ok());                                                                                    \
        EXPECT_NE(refused.error().message.find(text), std::string::npos) << refused.error().message;                   \
        EXPECT_EQ(rom->editedImage(), before);                                                                         \
        EXPECT_FALSE(rom->canUndo());                                                                                  \
    } while (false)

TEST_P(Reorder, SwapMoveAndMergeRenumberEveryMapOfTheChipTable)
{
    forceLanguage(Language::English);
    const Result<ChipChange> preview = previewChipSwap(*rom, 0, 0x05, 0x3A);
    ASSERT_TRUE(preview.ok());
    EXPECT_EQ(preview.value().stages, GetParam() ? (std::vector<int>{0, 6, 8}) : (std::vector<int>{0, 8}));
    const Result<ChipChange> swapped = swapChips(*rom, 0, 0x05, 0x3A);
    ASSERT_TRUE(swapped.ok());
    EXPECT_GT(swapped.value().cells, 0);
    EXPECT_EQ(std::tuple(swapped.value().cells, swapped.value().rooms),
              std::tuple(preview.value().cells, preview.value().rooms));
    EXPECT_EQ(rom->undoCaption(), "Swap 32x32Tiles");
    expectNothingMoved({TableKey::Chip32x32, TableKey::Chip32x32Palette, TableKey::Map}, false);

    const int used = rom->stage(0).map()[0];
    int unused = 0;
    while (unused < ChipCount && !previewChipMove(*rom, 0, used, unused).ok())
        ++unused;
    ASSERT_LT(unused, ChipCount);
    EXPECT_REFUSED(moveChip(*rom, 0, unused, used), "is used by");
    EXPECT_REFUSED(moveChip(*rom, 0, 0x05, 0x100), "00 to FF");
    EXPECT_REFUSED(swapChips(*rom, 0, 0x05, 0x05), "itself");
    ASSERT_TRUE(moveChip(*rom, 0, used, unused).ok());
    expectNothingMoved({TableKey::Chip32x32, TableKey::Chip32x32Palette, TableKey::Map}, false);

    // A copy of chip 05 in each chip table and a cell of each map: the merge points them back
    // and frees the copy.
    for (const int n : chipFamily(*rom, 0)) {
        StageData& stage = rom->stage(n);
        std::array<std::uint8_t, 8> copy{};
        for (std::size_t i = 0; i < 4; ++i)
            copy[i] = stage.chip32x32()[20 + i], copy[i + 4] = stage.chip32x32Attribute()[20 + i];
        stage.setChip(unused * 4, copy);
        if (const auto at = std::ranges::find(stage.map(), 0x05); at != stage.map().end())
            stage.setMapChip(static_cast<int>(at - stage.map().begin()), static_cast<std::uint8_t>(unused));
        stage.undoStack().clear();
    }
    remember();
    const Result<ChipChange> merged = mergeChips(*rom, 0);
    ASSERT_TRUE(merged.ok());
    EXPECT_NE(std::ranges::find(merged.value().freed, unused), merged.value().freed.end());
    EXPECT_TRUE(previewChipMove(*rom, 0, 0x3A, unused).ok()) << "set free";
    expectNothingMoved({TableKey::Map}, false);
    rom->redo();
    for (const int n : chipFamily(*rom, 0))
        rom->stage(n).undoStack().clear();
    remember();
    EXPECT_REFUSED(mergeChips(*rom, 0), "No cell");
}

TEST_P(Reorder, ATileSwapRenumbersTheEntriesOfEveryStageDrawingTheBytes)
{
    forceLanguage(Language::English);
    rom->setCurrentStageIndex(1);
    const Result<TileChange> preview = previewTileSwap(*rom, 1, TileUnit::Chip16, 0x01, 0x02);
    ASSERT_TRUE(preview.ok()) << preview.error().message;
    EXPECT_EQ(preview.value().stages, GetParam() ? (std::vector<int>{1, 3, 9, 11}) : (std::vector<int>{1, 9}));
    EXPECT_EQ(preview.value().drawing, GetParam() ? (std::vector<int>{3, 9, 11}) : (std::vector<int>{9}));
    ASSERT_TRUE(swapTiles(*rom, 1, TileUnit::Chip16, 0x01, 0x02).ok());
    EXPECT_EQ(rom->undoCaption(), "Swap Tiles");
    expectNothingMoved({TableKey::Chip32x32, TableKey::Chip32x32Palette}, true);

    EXPECT_REFUSED(swapTiles(*rom, 1, TileUnit::Tile, 0x04, 0x05), "would look different");
    EXPECT_REFUSED(swapTiles(*rom, 1, TileUnit::Chip16, 0x40, 0x02), "00 to 3F");
}

INSTANTIATE_TEST_SUITE_P(SampleAndShared, Reorder, ::testing::Bool());

// A new colour in an entry changes exactly the rooms its uses name; an unused one none.
TEST_F(Colours, UsesNameTheRoomsTheEntryColoursAndTheUnusedNone)
{
    StageData& stage = rom->stage(0);
    const std::vector<int> unused = unusedPaletteEntries(stage);
    EXPECT_EQ(std::ranges::count_if(unused, [](int e) { return e % 4 == 0 && e > 0; }), 3);
    for (int entry = 0; entry < 16; ++entry) {
        const ColourUse use = colourUses(stage, entry);
        EXPECT_EQ(use.quarters.empty(), std::ranges::count(unused, entry) > 0);
        stage.setPaletteColor(entry,
                              static_cast<std::uint8_t>(0x3F - stage.bgPalette()[static_cast<std::size_t>(entry)] % 2));
        const auto now = pictures()[0];
        std::vector<int> differing;
        for (int room = 0; room < RoomCount; ++room)
            if (now[static_cast<std::size_t>(room)] != looks[0][static_cast<std::size_t>(room)])
                differing.push_back(room);
        EXPECT_EQ(differing, use.rooms) << "entry " << entry;
        stage.undo();
    }
    stage.setPaletteAnimeFrameCount(2);
    stage.setPaletteAnimeFrameTimer(8);
    stage.setPaletteAnimeColor(16 + 5, stage.bgPalette()[5] ^ 1);
    stage.setPaletteAnimeColor(5, stage.bgPalette()[5]);
    EXPECT_TRUE(colourUses(stage, 5).animationChanges);
    stage.setPaletteAnimeColor(16 + 5, stage.bgPalette()[5]);
    EXPECT_FALSE(colourUses(stage, 5).animationChanges);
    EXPECT_TRUE(colourUses(stage, 0x15).quarters.empty());
}

} // namespace
