#include "core/ChipEntry.h"
#include "core/ImageAccess.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/ScrollEntry.h"
#include "core/VxObject.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

class StageDataTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "sample.nes")); }
    TStageData& Stage(int n) { return rom.Stage(n); }
    TRomImgManager rom{test::DefaultAddresses()};
};

} // namespace

TEST_F(StageDataTest, StagesWithTheSameChipAddressShareChipsButNotHistory)
{
    // Stages 0 and 8 share every table but the pattern setting and palettes.
    ASSERT_EQ(&Stage(0).Chip32x32(), &Stage(8).Chip32x32());
    ASSERT_NE(&Stage(0).PaletteBlock(), &Stage(8).PaletteBlock());
    const std::uint8_t before = Stage(8).Chip32x32()[20];
    ASSERT_TRUE(Stage(0).SetChipEntry(20, before ^ 0x41));
    EXPECT_EQ(Stage(8).Chip32x32()[20], before ^ 0x41);
    EXPECT_EQ(Stage(0).UndoStack().Count(), 1);
    EXPECT_EQ(Stage(8).UndoStack().Count(), 0);
    EXPECT_TRUE(Stage(0).EditedFlags().Get(efChip32x32));
    EXPECT_FALSE(Stage(8).EditedFlags().Any());
    EXPECT_EQ(&Stage(0).EnemyObjects(), &Stage(8).EnemyObjects());
    EXPECT_EQ(&Stage(0).MidPoints(2), &Stage(8).MidPoints(2));
    EXPECT_NE(&Stage(0).Map(), &Stage(1).Map());
}

TEST(StageData, SharedRecordsOutliveTheStageThatReadThem)
{
    auto image = test::SampleBytes();
    std::array<std::unique_ptr<TStageData>, 9> stages;
    for (int n = 0; n < 9; ++n)
        stages[n] = std::make_unique<TStageData>(
            image, std::span<const std::unique_ptr<TStageData>>(stages.data(), n), n,
            test::DefaultAddresses(), nullptr);
    ASSERT_EQ(&stages[8]->MidPoints(2), &stages[0]->MidPoints(2));
    const TMidPoint before = stages[8]->MidPoints(2);
    const int enemies = stages[0]->EnemyObjects().TotalCount();
    stages[0].reset();
    TMidPoint& shared = stages[8]->MidPoints(2);
    shared.Recalc(); // reads the shared enemy list: freed memory here would be caught
    EXPECT_TRUE(shared.Equals(before)) << "the sample's mid-points are as Recalc makes them";
    EXPECT_EQ(stages[8]->EnemyObjects().TotalCount(), enemies);
}

TEST_F(StageDataTest, PalettesAreCopiedPerStageAndTheHigherStageWinsAtSave)
{
    auto addresses = test::AddressesFrom("[LevelDataAddress]\nBGPalette[2]=3E12\n");
    TRomImgManager shared(*addresses);
    ASSERT_TRUE(shared.LoadFromBytes(test::SampleBytes(), "x"));
    ASSERT_TRUE(shared.Stage(0).SetPaletteColor(1, 0x11));
    EXPECT_EQ(shared.Stage(2).BGPalette()[1], test::SampleBytes()[0x3E12 + 1]) << "own copy";
    ASSERT_TRUE(shared.Stage(2).SetPaletteColor(1, 0x22));
    for (int n = 0; n < StageCount; ++n)
        shared.Stage(n).WriteBack();
    EXPECT_EQ(shared.ImageBytes()[0x3E12 + 1], 0x22);
}

TEST_F(StageDataTest, UnchangedValuesRecordNothing)
{
    TStageData& stage = Stage(3);
    EXPECT_FALSE(stage.SetMapChip(5, stage.Map()[5]));
    std::array<std::uint8_t, RoomSize> room{};
    std::copy_n(stage.Map().begin() + 128, RoomSize, room.begin());
    EXPECT_FALSE(stage.SetMapRoom(128, room, ukMapPaste));
    EXPECT_FALSE(stage.SetPaletteColor(0, stage.PaletteBlock()[0]));
    EXPECT_FALSE(stage.SetScrollData(31, stage.Scroll()[31]));
    EXPECT_FALSE(stage.SetMapChip(MapSize, 1)) << "outside the table";
    EXPECT_FALSE(stage.SetChipEntry(-1, 1));
    EXPECT_EQ(stage.UndoStack().Count(), 0);
    EXPECT_EQ(stage.RedoStack().Count(), 0);
    EXPECT_FALSE(stage.EditedFlags().Any());
}

TEST_F(StageDataTest, UndoRedoOfAMapByte)
{
    TStageData& stage = Stage(2);
    ASSERT_TRUE(stage.SetMapChip(100, 5) || stage.Map()[100] == 5);
    stage.UndoStack().Clear();
    ASSERT_TRUE(stage.SetMapChip(100, 7));
    EXPECT_EQ(stage.Undo(), ukMap);
    EXPECT_EQ(stage.Map()[100], 5);
    EXPECT_EQ(stage.RedoStack().Count(), 1);
    EXPECT_EQ(stage.Redo(), ukMap);
    EXPECT_EQ(stage.Map()[100], 7);
    EXPECT_EQ(stage.RedoStack().Count(), 0);
    EXPECT_EQ(stage.UndoStack().Count(), 1);
    ASSERT_NE(stage.UndoStack().Peek(), nullptr);
    EXPECT_EQ(stage.UndoStack().Peek()->Kind(), ukMap);
    EXPECT_EQ(stage.Undo(), ukMap);
    ASSERT_TRUE(stage.SetScrollData(0, 0x21));
    EXPECT_EQ(stage.RedoStack().Count(), 0) << "a new edit empties the redo stack";
    EXPECT_EQ(stage.Redo(), -1);
}

TEST_F(StageDataTest, PaletteEditsReachTheRendererHooks)
{
    int bg = 0, anime = 0;
    rom.Hooks.PaletteChanged = [&](const TStageData&) { ++bg; };
    rom.Hooks.PaletteAnimeChanged = [&](const TStageData&) { ++anime; };
    std::string shown;
    rom.Hooks.ShowModified = [&](const std::string& text) { shown = text; };
    ForceLanguage(Language::English);
    TStageData& stage = Stage(1);
    ASSERT_TRUE(stage.SetPaletteColor(20, 0x0F ^ stage.PaletteBlock()[20]));
    ASSERT_TRUE(stage.SetPaletteAnimeFrameTimer(stage.PaletteAnimeFrameTimer() + 1));
    ASSERT_TRUE(stage.SetPaletteAnimeColor(63, stage.PaletteBlock()[95] ^ 1));
    EXPECT_EQ(bg, 1);
    EXPECT_EQ(anime, 2);
    EXPECT_EQ(shown, "Modified");
    ForceLanguage(Language::Japanese);
    stage.MarkEdited(efObject);
    EXPECT_EQ(shown, "変更あり");
    ForceLanguage(std::nullopt);
    stage.Undo();
    EXPECT_EQ(anime, 3) << "undo goes through the same operation";
}

TEST(StageData, ChipPaletteBitsComeInQuarterOrder)
{
    auto image = test::SampleBytes();
    image[0x410 + 7] = 0xE4; // chip 7 of stage 0
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(image, "x"));
    const auto& entries = rom.Stage(0).Chip32x32();
    EXPECT_EQ(entries[28] >> 6, 0);
    EXPECT_EQ(entries[29] >> 6, 2);
    EXPECT_EQ(entries[30] >> 6, 1);
    EXPECT_EQ(entries[31] >> 6, 3);
    EXPECT_EQ(entries[28] & 0x3F, image[0x10 + 28] & 0x3F);
    EXPECT_EQ(rom.Stage(0).Chip32x32Attribute()[28], image[0x10 + 28] >> 6);
}

TEST(StageData, WritingBackEveryAreaReproducesTheTables)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        const auto original = test::RandomImage(0x40010, seed);
        TRomImgManager rom(test::DefaultAddresses());
        ASSERT_TRUE(rom.LoadFromBytes(original, "x"));
        for (int n = 0; n < StageCount; ++n) {
            for (int flag = 0; flag < TEditedFlagData::FlagCount; ++flag)
                if (flag != efObject) // objects are rewritten in list order by design
                    rom.Stage(n).EditedFlags().Set(flag, true);
            rom.Stage(n).WriteBack();
        }
        EXPECT_EQ(rom.ImageBytes(), original) << "seed " << seed;
    }
}

TEST(StageData, ObjectWriteBackRoundTripsAListThatEndsWithTheMark)
{
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
    rom.Stage(4).MarkEdited(efObject);
    rom.Stage(4).WriteBack();
    EXPECT_EQ(rom.ImageBytes(), test::SampleBytes());
}

TEST(StageData, OneEditChangesOnlyItsTableOnSave)
{
    struct Case {
        const char* name;
        std::function<bool(TStageData&)> edit;
        std::vector<TableKey> tables;
    };
    const std::vector<Case> cases{
        {"chip entry", [](TStageData& s) { return s.SetChipEntry(9, s.Chip32x32()[9] ^ 0xC1); },
         {TableKey::Chip32x32, TableKey::Chip32x32Palette}},
        {"chip attribute", [](TStageData& s) { return s.SetChipAttribute(9, (s.Chip32x32Attribute()[9] + 1) & 3); },
         {TableKey::Chip32x32}},
        {"map", [](TStageData& s) { return s.SetMapChip(2815, s.Map()[2815] + 1); }, {TableKey::Map}},
        {"scroll", [](TStageData& s) { return s.SetScrollData(31, 0x99); }, {TableKey::Scroll}},
        {"palette", [](TStageData& s) { return s.SetPaletteColor(31, 0x3F); }, {TableKey::SpritePalette}},
        {"frame count", [](TStageData& s) { return s.SetPaletteAnimeFrameCount(4); },
         {TableKey::PaletteAnimeFrameCount}},
        {"enemy", [](TStageData& s) { s.EnemyObjects().AddObject(43, 1, 2, 3); s.MarkEdited(efObject); return true; },
         {TableKey::EnemyObjectRoom, TableKey::EnemyObjectX, TableKey::EnemyObjectY, TableKey::EnemyObjectKind}},
        {"mid-point", [](TStageData& s) { s.MidPoints(5).StartY ^= 0xFF; s.MarkEdited(efMidPoint); return true; },
         {TableKey::MidPointStartY}},
    };
    for (const Case& c : cases) {
        TRomImgManager rom(test::DefaultAddresses());
        ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
        ASSERT_TRUE(c.edit(rom.Stage(6))) << c.name;
        rom.Stage(6).WriteBack();
        const auto& after = rom.ImageBytes();
        const auto& before = test::SampleBytes();
        bool changed = false;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (after[i] == before[i])
                continue;
            changed = true;
            bool inside = false;
            for (TableKey key : c.tables)
                inside |= static_cast<std::int64_t>(i) >= rom.Stage(6).Address(key) &&
                          static_cast<std::int64_t>(i) < rom.Stage(6).Address(key) + InfoOf(key).length;
            EXPECT_TRUE(inside) << c.name << ": byte " << std::hex << i << " changed";
        }
        EXPECT_TRUE(changed) << c.name;
    }
}

TEST(PackedBytes, EveryScrollEntryAndChipEntryDecodesToItsFieldsAndBack)
{
    for (int byte = 0; byte < 256; ++byte) {
        const auto value = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(TScrollEntry::Decode(value).Encode(), value);
        EXPECT_EQ(TChipEntry::Decode(value).Encode(), value);
        EXPECT_EQ(TImageChipByte::Decode(value).Encode(), value);
    }
    const TScrollEntry entry = TScrollEntry::Decode(0xB3); // up, right, bit 4, three rooms
    EXPECT_EQ(entry.count, 3);
    EXPECT_TRUE(entry.unknown && entry.right && entry.up && !entry.down);
    EXPECT_EQ(entry.Turns(), 5);
    EXPECT_EQ(entry.RoomMark(), 0x0B);
    EXPECT_EQ((TChipEntry{2, 0x15}.Encode()), 0x95);
    EXPECT_EQ((TImageChipByte{3, 0x3F}.Encode()), 0xFF);
}
