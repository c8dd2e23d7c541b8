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
             return s.addObject(s.enemyObjects(), {3, 0x40, 0x50, 7}, true);
         }},
        {ukObject, efObject,
         [](StageData& s) { return s.removeObject(s.itemObjects(), s.itemObjects().objectsInOrder().front()); }},
        {ukObject, efObject,
         [](StageData& s) {
             const PlacedObject* o = s.enemyObjects().head();
             return s.moveObject(s.enemyObjects(), o, (o->room + 1) % RoomCount, o->x ^ 1, o->y, true);
         }},
        {ukObject, efObject,
         [](StageData& s) {
             const PlacedObject* o = s.enemyObjects().head();
             return s.setObjectKind(s.enemyObjects(), o, o->kind ^ 1);
         }},
        {ukObject, efObject,
         [](StageData& s) {
             for (const PlacedObject* o : s.enemyObjects().objectsInOrder())
                 if (const PlacedObject* n = s.enemyObjects().nextObject(o); n && n->room == o->room && n->x != o->x)
                     return s.moveObjectInOrder(s.enemyObjects(), o, true);
             return false;
         }},
        {ukObject, efObject,
         [](StageData& s) {
             const std::array<ObjectPlacement, 2> placed{{{7, 1, 2, 3}, {7, 4, 5, 6}}};
             return s.setRoomObjects(s.enemyObjects(), 7, placed);
         }},
        {ukObject, efObject,
         [](StageData& s) {
             const std::array<ObjectPlacement, 2> placed{{{2, 1, 1, 1}, {1, 2, 2, 2}}}; // not by room
             return s.replaceObjects(s.itemObjects(), placed);
         }},
        {ukMidPoint, efMidPoint,
         [](StageData& s) { return s.setRestartPointField(2, mfStartY, s.restartPoints(2).startY ^ 0x10); }},
        {ukMidPoint, efMidPoint,
         [](StageData& s) {
             return s.setRestartPointStartRoom(
                 1, static_cast<std::uint8_t>((s.restartPoints(1).startRoom() + 1) % RoomCount));
         }},
        {ukMidPoint, efMidPoint,
         [](StageData& s) {
             RestartPointBytes bytes = s.restartPoints(4).toBytes();
             bytes[10] ^= 1;
             return s.setRestartPoint(4, bytes);
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
    const PlacedObject* enemy = stage.enemyObjects().head();
    ASSERT_NE(enemy, nullptr);
    stage.beginGesture(); // a drag: every move step reports
    for (int step = 1; step <= 5; ++step)
        ASSERT_TRUE(stage.moveObject(stage.enemyObjects(), enemy, enemy->room, enemy->x + 8, enemy->y, false));
    stage.endGesture();
    stage.setRestartPointField(0, mfStartY, stage.restartPoints(0).startY ^ 1);
    EXPECT_EQ(stage.undoStack().count(), 2);
    EXPECT_EQ(rom.undo(), ukMidPoint);
    EXPECT_EQ(rom.undo(), ukObject);
    EXPECT_EQ(rom.editedImage(), before);
    EXPECT_EQ(rom.undo(), -1);
}

TEST(EditCommands, RecalculatingIsOneStepForOneOrAllPoints)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    rom.setCurrentStageIndex(3);
    StageData& stage = rom.stage(3);
    EXPECT_FALSE(stage.recalcRestartPoints()) << "the sample's points are as recalculation makes them";
    for (const int p : {1, 4})
        ASSERT_TRUE(stage.setRestartPointField(p, mfMapBackAddr, 0x1234));
    const auto stale = rom.editedImage();
    ASSERT_TRUE(stage.recalcRestartPoint(4));
    ASSERT_TRUE(stage.recalcRestartPoints());
    EXPECT_EQ(stage.undoStack().count(), 4);
    const auto recalculated = rom.editedImage();
    EXPECT_EQ(rom.undo(), ukMidPoint);
    EXPECT_EQ(rom.undo(), ukMidPoint);
    EXPECT_EQ(rom.editedImage(), stale);
    EXPECT_EQ(rom.redo(), ukMidPoint);
    EXPECT_EQ(rom.redo(), ukMidPoint);
    EXPECT_EQ(rom.editedImage(), recalculated);
}

TEST(EditCommands, AGroupThatTouchesOneValueTwiceUndoesToTheOriginal)
{
    RomImage rom(test::defaultAddresses());
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "x").ok());
    rom.setCurrentStageIndex(1);
    StageData& stage = rom.stage(1);
    const auto before = rom.editedImage();
    const PlacedObject* enemy = stage.enemyObjects().head();
    {
        const EditGroup group(stage, ukStageText);
        for (const std::uint8_t value : {std::uint8_t(stage.map()[70] ^ 1), std::uint8_t(stage.map()[70] ^ 2)})
            ASSERT_TRUE(stage.setMapChip(70, value));
        for (const int y : {enemy->y ^ 4, enemy->y ^ 8})
            ASSERT_TRUE(stage.moveObject(stage.enemyObjects(), enemy, enemy->room, enemy->x, y, false));
        const int startY = stage.restartPoints(3).startY;
        for (const int y : {startY ^ 0x10, startY ^ 0x20})
            ASSERT_TRUE(stage.setRestartPointField(3, mfStartY, static_cast<std::uint16_t>(y)));
    }
    EXPECT_EQ(stage.undoStack().count(), 1);
    const auto after = rom.editedImage();
    EXPECT_EQ(rom.undo(), ukStageText);
    EXPECT_EQ(rom.editedImage(), before);
    EXPECT_EQ(rom.redo(), ukStageText);
    EXPECT_EQ(rom.editedImage(), after);
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
    EXPECT_EQ(undoKindText(19), "Unknown");
    forceLanguage(Language::Japanese);
    EXPECT_EQ(undoKindText(ukPaletteAnimeFrameCount), "パレットアニメの編集");
    EXPECT_EQ(undoKindText(ukScroll), "スクロールの編集");
    EXPECT_EQ(undoKindText(ukTiles), "タイルの編集");
    EXPECT_EQ(undoKindText(-1), "不明な編集");
    forceLanguage(std::nullopt);
}

TEST(EditedFlagData, AnyOfItsFlagsAndClear)
{
    EditedFlagData flags;
    EXPECT_FALSE(flags.any());
    flags.set(efTiles, true);
    EXPECT_TRUE(flags.any());
    flags.set(EditedFlagCount, true); // a flag the program does not have
    EXPECT_FALSE(flags.get(EditedFlagCount));
    flags.clear();
    EXPECT_FALSE(flags.any());
}
