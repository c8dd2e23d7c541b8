#include "core/EditedFlagData.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/UndoData.h"
#include "core/VxObject.h"
#include "tests/support/Images.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace vx;

namespace {

struct KindCase {
    TUndoKind kind;
    TEditedFlag flag;
    std::function<bool(TStageData&)> edit;
};

// Each kind of edit, as its page makes it.
std::vector<KindCase> Kinds()
{
    static const std::array<std::uint8_t, 8> chip{1, 2, 3, 4, 1, 1, 1, 1};
    static const std::array<std::uint8_t, RoomSize> room = [] {
        std::array<std::uint8_t, RoomSize> cells{};
        cells.fill(0x42);
        return cells;
    }();
    return {
        {ukPalette, efPalette, [](TStageData& s) { return s.SetPaletteColor(3, 0x2A); }},
        {ukPaletteAnimeFrameCount, efPaletteAnime, [](TStageData& s) { return s.SetPaletteAnimeFrameCount(3); }},
        {ukPaletteAnimeFrameTimer, efPaletteAnime, [](TStageData& s) { return s.SetPaletteAnimeFrameTimer(0x33); }},
        {ukPaletteAnimePalette, efPaletteAnime, [](TStageData& s) { return s.SetPaletteAnimeColor(60, 0x11); }},
        {ukChip32x32, efChip32x32, [](TStageData& s) { return s.SetChipEntry(9, 0x7F); }},
        {ukChip32x32Attr, efChip32x32, [](TStageData& s) { return s.SetChipAttribute(9, 3); }},
        {ukChip32x32Paste, efChip32x32, [](TStageData& s) { return s.SetChip(8, chip); }},
        {ukMap, efMap, [](TStageData& s) { return s.SetMapChip(100, 0x77); }},
        {ukMapPaste, efMap, [](TStageData& s) { return s.SetMapRoom(128, room, ukMapPaste); }},
        {ukMapGrid, efMap, [](TStageData& s) { return s.SetMapRoom(192, room, ukMapGrid); }},
        {ukScroll, efScroll, [](TStageData& s) { return s.SetScrollData(5, s.Scroll()[5] ^ 0x01); }},
        {ukObject, efObject, [](TStageData& s) {
             const bool added = s.EnemyObjects().AddObject(3, 0x40, 0x50, 7);
             s.MarkEdited(efObject);
             return added;
         }},
        {ukMidPoint, efMidPoint, [](TStageData& s) {
             s.MidPoints(2).StartY ^= 0x10;
             s.MarkEdited(efMidPoint);
             return true;
         }},
    };
}

} // namespace

TEST(EditCommands, EveryKindUndoesAndRedoesItsBytesAndMarksItsArea)
{
    for (const KindCase& c : Kinds()) {
        TRomImgManager rom(test::DefaultAddresses());
        ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
        rom.SetCurrentStageIndex(3);
        TStageData& stage = rom.Stage(3);
        const auto before = rom.EditedImage();
        ASSERT_TRUE(c.edit(stage)) << int(c.kind);
        const auto after = rom.EditedImage();
        EXPECT_NE(after, before) << int(c.kind);
        EXPECT_TRUE(stage.EditedFlags().Get(c.flag)) << int(c.kind);
        EXPECT_EQ(stage.UndoStack().Count(), 1) << int(c.kind);
        EXPECT_EQ(rom.Undo(), c.kind);
        EXPECT_EQ(rom.EditedImage(), before) << int(c.kind);
        EXPECT_EQ(rom.Redo(), c.kind);
        EXPECT_EQ(rom.EditedImage(), after) << int(c.kind);
    }
}

TEST(EditCommands, TheStepsOfAGestureAreOneStep)
{
    TRomImgManager rom(test::DefaultAddresses());
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "x"));
    TStageData& stage = rom.Stage(0);
    const auto before = rom.EditedImage();
    TVxObjectNode* enemy = stage.EnemyObjects().Head;
    ASSERT_NE(enemy, nullptr);
    stage.BeginGesture(); // a drag: every move step reports
    for (int step = 1; step <= 5; ++step) {
        enemy->X = static_cast<std::uint8_t>(enemy->X + 8);
        stage.MarkEdited(efObject);
    }
    stage.EndGesture();
    stage.MidPoints(0).StartY ^= 1;
    stage.MarkEdited(efMidPoint);
    EXPECT_EQ(stage.UndoStack().Count(), 2);
    EXPECT_EQ(rom.Undo(), ukMidPoint);
    EXPECT_EQ(rom.Undo(), ukObject);
    EXPECT_EQ(rom.EditedImage(), before);
    EXPECT_EQ(rom.Undo(), -1);
}

TEST(UndoData, KindNamesInBothLanguages)
{
    ForceLanguage(Language::English);
    EXPECT_EQ(UndoKindText(ukPaletteAnimeFrameCount), "Edit PalAnime");
    EXPECT_EQ(UndoKindText(ukMapGrid), "Edit Map(Grid)");
    EXPECT_EQ(UndoKindText(ukChip32x32Attr), "Edit 32x32Tile(Attr)");
    EXPECT_EQ(UndoKindText(ukObject), "Edit Object");
    EXPECT_EQ(UndoKindText(13), "Unknown");
    ForceLanguage(Language::Japanese);
    EXPECT_EQ(UndoKindText(ukPaletteAnimeFrameCount), "パレットアニメの編集");
    EXPECT_EQ(UndoKindText(ukScroll), "スクロールの編集");
    EXPECT_EQ(UndoKindText(-1), "不明な編集");
    ForceLanguage(std::nullopt);
}

TEST(EditedFlagData, AnyOfTenFlagsAndClear)
{
    TEditedFlagData flags;
    EXPECT_FALSE(flags.Any());
    flags.Set(9, true);
    EXPECT_TRUE(flags.Any());
    flags.Set(10, true);
    EXPECT_FALSE(flags.Get(10));
    flags.Clear();
    EXPECT_FALSE(flags.Any());
}
