#include "core/model/EditHistory.h"
#include "core/base/Language.h"
#include "core/model/EditedFlagData.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "tests/support/Images.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace vx;

namespace {

struct KindCase {
    UndoKind kind;
    EditedFlag flag;
    std::function<bool(StageData&)> edit;
};

// Each kind of edit, as its page makes it.
std::vector<KindCase> kinds()
{
    static const std::array<std::uint8_t, 8> chip{1, 2, 3, 4, 1, 1, 1, 1};
    static const std::array<std::uint8_t, RoomSize> room = [] {
        std::array<std::uint8_t, RoomSize> cells{};
        cells.fill(0x42);
        return cells;
    }();
    return {
        {ukPalette, efPalette, [](StageData& s) { return s.setPaletteColor(3, 0x2A); }},
        {ukPaletteAnimeFrameCount, efPaletteAnime, [](StageData& s) { return s.setPaletteAnimeFrameCount(3); }},
        {ukPaletteAnimeFrameTimer, efPaletteAnime, [](StageData& s) { return s.setPaletteAnimeFrameTimer(0x33); }},
        {ukPaletteAnimePalette, efPaletteAnime, [](StageData& s) { return s.setPaletteAnimeColor(60, 0x11); }},
        {ukChip32x32, efChip32x32, [](StageData& s) { return s.setChipEntry(9, 0x7F); }},
        {ukChip32x32Attr, efChip32x32, [](StageData& s) { return s.setChipAttribute(9, 3); }},
        {ukChip32x32Paste, efChip32x32, [](StageData& s) { return s.setChip(8, chip); }},
        {ukMap, efMap, [](StageData& s) { return s.setMapChip(100, 0x77); }},
        {ukMapPaste, efMap, [](StageData& s) { return s.setMapRoom(128, room, ukMapPaste); }},
        {ukMapGrid, efMap, [](StageData& s) { return s.setMapRoom(192, room, ukMapGrid); }},
        {ukScroll, efScroll, [](StageData& s) { return s.setScrollData(5, s.scroll()[5] ^ 0x01); }},
        {ukObject, efObject,
         [](StageData& s) {
             const bool added = s.enemyObjects().addObject(3, 0x40, 0x50, 7);
             s.markEdited(efObject);
             return added;
         }},
        {ukMidPoint, efMidPoint,
         [](StageData& s) {
             s.restartPoints(2).startY ^= 0x10;
             s.markEdited(efMidPoint);
             return true;
         }},
    };
}

} // namespace

TEST(EditCommands, EveryKindUndoesAndRedoesItsBytesAndMarksItsArea)
{
    for (const KindCase& c : kinds()) {
        RomImage rom(test::defaultAddresses());
        ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
        rom.setCurrentStageIndex(3);
        StageData& stage = rom.stage(3);
        const auto before = rom.editedImage();
        ASSERT_TRUE(c.edit(stage)) << int(c.kind);
        const auto after = rom.editedImage();
        EXPECT_NE(after, before) << int(c.kind);
        EXPECT_TRUE(stage.editedFlags().get(c.flag)) << int(c.kind);
        EXPECT_EQ(stage.undoStack().count(), 1) << int(c.kind);
        EXPECT_EQ(rom.undo(), c.kind);
        EXPECT_EQ(rom.editedImage(), before) << int(c.kind);
        EXPECT_EQ(rom.redo(), c.kind);
        EXPECT_EQ(rom.editedImage(), after) << int(c.kind);
    }
}

TEST(EditCommands, TheStepsOfAGestureAreOneStep)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    StageData& stage = rom.stage(0);
    const auto before = rom.editedImage();
    PlacedObject* enemy = stage.enemyObjects().head;
    ASSERT_NE(enemy, nullptr);
    stage.beginGesture(); // a drag: every move step reports
    for (int step = 1; step <= 5; ++step) {
        enemy->x = static_cast<std::uint8_t>(enemy->x + 8);
        stage.markEdited(efObject);
    }
    stage.endGesture();
    stage.restartPoints(0).startY ^= 1;
    stage.markEdited(efMidPoint);
    EXPECT_EQ(stage.undoStack().count(), 2);
    EXPECT_EQ(rom.undo(), ukMidPoint);
    EXPECT_EQ(rom.undo(), ukObject);
    EXPECT_EQ(rom.editedImage(), before);
    EXPECT_EQ(rom.undo(), -1);
}

TEST(EditCommands, AGroupThatTouchesOneByteTwiceUndoesToWhatWasBefore)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    StageData& stage = rom.stage(0);
    const auto before = rom.editedImage();
    stage.beginGroup(ukMapPaste);
    ASSERT_TRUE(stage.setMapChip(3, 0x11));
    ASSERT_TRUE(stage.setMapChip(3, 0x22));
    stage.endGroup();
    EXPECT_EQ(stage.undoStack().count(), 1);
    EXPECT_EQ(rom.undo(), ukMapPaste);
    EXPECT_EQ(rom.editedImage(), before);
    EXPECT_EQ(rom.redo(), ukMapPaste);
    EXPECT_EQ(stage.map()[3], 0x22);
}

TEST(EditHistory, KindNamesInBothLanguages)
{
    forceLanguage(Language::English);
    EXPECT_EQ(undoKindText(ukPaletteAnimeFrameCount), "Edit PalAnime");
    EXPECT_EQ(undoKindText(ukMapGrid), "Edit Map(Grid)");
    EXPECT_EQ(undoKindText(ukChip32x32Attr), "Edit 32x32Tile(Attr)");
    EXPECT_EQ(undoKindText(ukObject), "Edit Object");
    EXPECT_EQ(undoKindText(ukStageText), "Import Stage Text");
    EXPECT_EQ(undoKindText(ukTiles), "Edit Tiles");
    EXPECT_EQ(undoKindText(16), "Unknown");
    forceLanguage(Language::Japanese);
    EXPECT_EQ(undoKindText(ukPaletteAnimeFrameCount), "パレットアニメの編集");
    EXPECT_EQ(undoKindText(ukScroll), "スクロールの編集");
    EXPECT_EQ(undoKindText(ukTiles), "タイルの編集");
    EXPECT_EQ(undoKindText(-1), "不明な編集");
    forceLanguage(std::nullopt);
}

TEST(EditedFlagData, AnyOfTenFlagsAndClear)
{
    EditedFlagData flags;
    EXPECT_FALSE(flags.any());
    flags.set(9, true);
    EXPECT_TRUE(flags.any());
    flags.set(10, true);
    EXPECT_FALSE(flags.get(10));
    flags.clear();
    EXPECT_FALSE(flags.any());
}
