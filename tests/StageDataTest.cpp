#include "core/base/Language.h"
#include "core/model/ChipEntry.h"
#include "core/model/ImageAccess.h"
#include "core/model/RomImage.h"
#include "core/model/ScrollEntry.h"
#include "core/model/StageObjects.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

class StageDataTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok()); }
    StageData& stageOf(int n) { return rom.stage(n); }
    RomImage rom{test::defaultAddresses()};
};

} // namespace

TEST_F(StageDataTest, StagesWithTheSameChipAddressShareChipsButNotHistory)
{
    // Stages 0 and 8 share every table but the pattern setting and palettes.
    ASSERT_EQ(&stageOf(0).chip32x32(), &stageOf(8).chip32x32());
    ASSERT_NE(&stageOf(0).paletteBlock(), &stageOf(8).paletteBlock());
    const std::uint8_t before = stageOf(8).chip32x32()[20];
    ASSERT_TRUE(stageOf(0).setChipEntry(20, before ^ 0x41));
    EXPECT_EQ(stageOf(8).chip32x32()[20], before ^ 0x41);
    EXPECT_EQ(stageOf(0).undoStack().count(), 1);
    EXPECT_EQ(stageOf(8).undoStack().count(), 0);
    EXPECT_TRUE(stageOf(0).editedFlags().get(efChip32x32));
    EXPECT_FALSE(stageOf(8).editedFlags().any());
    EXPECT_EQ(&stageOf(0).enemyObjects(), &stageOf(8).enemyObjects());
    EXPECT_EQ(&stageOf(0).restartPoints(2), &stageOf(8).restartPoints(2));
    EXPECT_NE(&stageOf(0).map(), &stageOf(1).map());
}

TEST(StageData, SharedRecordsOutliveTheStageThatReadThem)
{
    auto image = test::sampleBytes();
    std::array<std::unique_ptr<StageData>, 9> stages;
    for (int n = 0; n < 9; ++n)
        stages[n] = std::make_unique<StageData>(image, std::span<const std::unique_ptr<StageData>>(stages.data(), n), n,
                                                test::defaultAddresses(), nullptr);
    ASSERT_EQ(&stages[8]->restartPoints(2), &stages[0]->restartPoints(2));
    const RestartPoint before = stages[8]->restartPoints(2);
    const int enemies = stages[0]->enemyObjects().totalCount();
    stages[0].reset();
    RestartPoint shared = stages[8]->restartPoints(2);
    shared.recalc(); // reads the shared enemy list: freed memory here would be caught
    EXPECT_TRUE(shared.equals(before)) << "the sample's mid-points are as Recalc makes them";
    EXPECT_EQ(stages[8]->enemyObjects().totalCount(), enemies);
}

TEST_F(StageDataTest, PalettesAreCopiedPerStageAndTheHigherStageWinsAtSave)
{
    auto addresses = test::addressesFrom("[LevelDataAddress]\nBGPalette[2]=3E12\n");
    RomImage shared(*addresses);
    ASSERT_TRUE(shared.loadFromBytes(test::sampleBytes(), "x").ok());
    ASSERT_TRUE(shared.stage(0).setPaletteColor(1, 0x11));
    EXPECT_EQ(shared.stage(2).bgPalette()[1], test::sampleBytes()[0x3E12 + 1]) << "own copy";
    ASSERT_TRUE(shared.stage(2).setPaletteColor(1, 0x22));
    for (int n = 0; n < StageCount; ++n)
        shared.stage(n).writeBack();
    EXPECT_EQ(shared.imageBytes()[0x3E12 + 1], 0x22);
}

TEST_F(StageDataTest, UnchangedValuesRecordNothing)
{
    StageData& stage = stageOf(3);
    EXPECT_FALSE(stage.setMapChip(5, stage.map()[5]));
    std::array<std::uint8_t, RoomSize> room{};
    std::copy_n(stage.map().begin() + 128, RoomSize, room.begin());
    EXPECT_FALSE(stage.setMapRoom(128, room, ukMapPaste));
    EXPECT_FALSE(stage.setPaletteColor(0, stage.paletteBlock()[0]));
    EXPECT_FALSE(stage.setScrollData(31, stage.scroll()[31]));
    EXPECT_FALSE(stage.setMapChip(MapSize, 1)) << "outside the table";
    EXPECT_FALSE(stage.setChipEntry(-1, 1));
    EXPECT_EQ(stage.undoStack().count(), 0);
    EXPECT_EQ(stage.redoStack().count(), 0);
    EXPECT_FALSE(stage.editedFlags().any());
}

TEST_F(StageDataTest, UndoRedoOfAMapByte)
{
    StageData& stage = stageOf(2);
    ASSERT_TRUE(stage.setMapChip(100, 5) || stage.map()[100] == 5);
    stage.undoStack().clear();
    ASSERT_TRUE(stage.setMapChip(100, 7));
    EXPECT_EQ(stage.undo(), ukMap);
    EXPECT_EQ(stage.map()[100], 5);
    EXPECT_EQ(stage.redoStack().count(), 1);
    EXPECT_EQ(stage.redo(), ukMap);
    EXPECT_EQ(stage.map()[100], 7);
    EXPECT_EQ(stage.redoStack().count(), 0);
    EXPECT_EQ(stage.undoStack().count(), 1);
    ASSERT_NE(stage.undoStack().peek(), nullptr);
    EXPECT_EQ(stage.undoStack().peek()->kind(), ukMap);
    EXPECT_EQ(stage.undo(), ukMap);
    ASSERT_TRUE(stage.setScrollData(0, 0x21));
    EXPECT_EQ(stage.redoStack().count(), 0) << "a new edit empties the redo stack";
    EXPECT_EQ(stage.redo(), -1);
}

TEST_F(StageDataTest, PaletteEditsReachTheRendererHooks)
{
    int bg = 0, anime = 0;
    rom.hooks.paletteChanged = [&](const StageData&) { ++bg; };
    rom.hooks.paletteAnimeChanged = [&](const StageData&) { ++anime; };
    std::string shown;
    rom.hooks.showModified = [&](const std::string& text) { shown = text; };
    forceLanguage(Language::English);
    StageData& stage = stageOf(1);
    ASSERT_TRUE(stage.setPaletteColor(20, 0x0F ^ stage.paletteBlock()[20]));
    ASSERT_TRUE(stage.setPaletteAnimeFrameTimer(stage.paletteAnimeFrameTimer() + 1));
    ASSERT_TRUE(stage.setPaletteAnimeColor(63, stage.paletteBlock()[95] ^ 1));
    EXPECT_EQ(bg, 1);
    EXPECT_EQ(anime, 2);
    EXPECT_EQ(shown, "Modified");
    forceLanguage(Language::Japanese);
    ASSERT_TRUE(stage.setPaletteAnimeFrameCount(stage.paletteAnimeFrameCount() + 1));
    EXPECT_EQ(shown, "変更あり");
    forceLanguage(std::nullopt);
    stage.undo();
    EXPECT_EQ(anime, 4) << "undo goes through the same operation";
}

TEST(StageData, ChipPaletteBitsComeInQuarterOrder)
{
    auto image = test::sampleBytes();
    image[0x410 + 7] = 0xE4; // chip 7 of stage 0
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(image, "x").ok());
    const auto& entries = rom.stage(0).chip32x32();
    EXPECT_EQ(entries[28] >> 6, 0);
    EXPECT_EQ(entries[29] >> 6, 2);
    EXPECT_EQ(entries[30] >> 6, 1);
    EXPECT_EQ(entries[31] >> 6, 3);
    EXPECT_EQ(entries[28] & 0x3F, image[0x10 + 28] & 0x3F);
    EXPECT_EQ(rom.stage(0).chip32x32Attribute()[28], image[0x10 + 28] >> 6);
}

TEST(StageData, WritingBackEveryAreaReproducesTheTables)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const auto original = test::randomImage(0x40010, seed);
        RomImage rom(test::defaultAddresses());
        ASSERT_TRUE(rom.loadFromBytes(original, "x").ok());
        for (int n = 0; n < StageCount; ++n) {
            for (int flag = 0; flag < EditedFlagData::FlagCount; ++flag)
                if (flag != efObject) // objects are rewritten in list order by design
                    rom.stage(n).editedFlags().set(flag, true);
            rom.stage(n).writeBack();
        }
        EXPECT_EQ(rom.imageBytes(), original) << "seed " << seed;
    }
}

TEST(StageData, ObjectWriteBackRoundTripsAListThatEndsWithTheMark)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    rom.stage(4).editedFlags().set(efObject, true);
    rom.stage(4).writeBack();
    EXPECT_EQ(rom.imageBytes(), test::sampleBytes());
}

TEST(StageData, OneEditChangesOnlyItsTableOnSave)
{
    struct Case {
        const char* name;
        std::function<bool(StageData&)> edit;
        std::vector<TableKey> tables;
    };
    const std::vector<Case> cases{
        {"chip entry",
         [](StageData& s) { return s.setChipEntry(9, s.chip32x32()[9] ^ 0xC1); },
         {TableKey::Chip32x32, TableKey::Chip32x32Palette}},
        {"chip attribute",
         [](StageData& s) { return s.setChipAttribute(9, (s.chip32x32Attribute()[9] + 1) & 3); },
         {TableKey::Chip32x32}},
        {"map", [](StageData& s) { return s.setMapChip(2815, s.map()[2815] + 1); }, {TableKey::Map}},
        {"scroll", [](StageData& s) { return s.setScrollData(31, 0x99); }, {TableKey::Scroll}},
        {"palette", [](StageData& s) { return s.setPaletteColor(31, 0x3F); }, {TableKey::SpritePalette}},
        {"frame count",
         [](StageData& s) { return s.setPaletteAnimeFrameCount(4); },
         {TableKey::PaletteAnimeFrameCount}},
        {"enemy",
         [](StageData& s) {
             return s.addObject(s.enemyObjects(), {43, 1, 2, 3}, false);
         },
         {TableKey::EnemyObjectRoom, TableKey::EnemyObjectX, TableKey::EnemyObjectY, TableKey::EnemyObjectKind}},
        {"mid-point",
         [](StageData& s) { return s.setRestartPointField(5, mfStartY, s.restartPoints(5).startY ^ 0xFF); },
         {TableKey::MidPointStartY}},
    };
    for (const Case& c : cases) {
        RomImage rom(test::defaultAddresses());
        ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
        ASSERT_TRUE(c.edit(rom.stage(6))) << c.name;
        rom.stage(6).writeBack();
        const auto& after = rom.imageBytes();
        const auto& before = test::sampleBytes();
        bool changed = false;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (after[i] == before[i])
                continue;
            changed = true;
            bool inside = false;
            for (TableKey key : c.tables)
                inside |= static_cast<std::int64_t>(i) >= rom.stage(6).address(key) &&
                    static_cast<std::int64_t>(i) < rom.stage(6).address(key) + infoOf(key).length;
            EXPECT_TRUE(inside) << c.name << ": byte " << std::hex << i << " changed";
        }
        EXPECT_TRUE(changed) << c.name;
    }
}

TEST(PackedBytes, EveryScrollEntryAndChipEntryDecodesToItsFieldsAndBack)
{
    for (int byte = 0; byte < 256; ++byte) {
        const auto value = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(ScrollEntry::decode(value).encode(), value);
        EXPECT_EQ(ChipEntry::decode(value).encode(), value);
        EXPECT_EQ(ImageChipByte::decode(value).encode(), value);
    }
    const ScrollEntry entry = ScrollEntry::decode(0xB3); // up, right, bit 4, three rooms
    EXPECT_EQ(entry.count, 3);
    EXPECT_TRUE(entry.unknown && entry.right && entry.up && !entry.down);
    EXPECT_EQ(entry.turns(), 5);
    EXPECT_EQ(entry.roomMark(), 0x0B);
    EXPECT_EQ((ChipEntry{2, 0x15}.encode()), 0x95);
    EXPECT_EQ((ImageChipByte{3, 0x3F}.encode()), 0xFF);
}
