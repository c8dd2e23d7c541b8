#include "core/model/PlayCopy.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Objects = std::vector<std::array<int, 4>>;

Objects listed(const StageObjects& objects)
{
    Objects out;
    for (const PlacedObject* object : objects.objectsInOrder())
        out.push_back({object->room, object->x, object->y, object->kind});
    return out;
}

RestartPointBytes recalculated(const StageData& stage, int point, std::int32_t map)
{
    RestartPoint moved(stage.restartPoints(point).toBytes(), map, nullptr, nullptr);
    moved.recalc();
    RestartPointBytes bytes = moved.toBytes();
    bytes[2] = static_cast<std::uint8_t>(stage.enemyObjects().firstIndexOfRoom(moved.startRoom()));
    bytes[3] = static_cast<std::uint8_t>(stage.itemObjects().firstIndexOfRoom(moved.startRoom()));
    return bytes;
}

class PlayCopyTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(source.loadFromBytes(test::sampleBytes(), "sample.nes").ok()); }

    // The copy as the editor reads it, first stage shown.
    const StageData& copied(const PlayStart& start)
    {
        auto made = makePlayCopy(test::sampleBytes(), test::defaultAddresses(), start);
        EXPECT_TRUE(made.ok()) << (made.ok() ? "" : made.error().message);
        if (made.ok()) {
            EXPECT_TRUE(copy.loadFromBytes(made.value().image, "copy.nes").ok());
        }
        return copy.stage(0);
    }

    RomImage source{test::defaultAddresses()};
    RomImage copy{test::defaultAddresses()};
};

} // namespace

TEST_F(PlayCopyTest, TheFirstStageHoldsTheShownStagesTablesAndStartsAtItsPoint)
{
    const StageData& shown = source.stage(0x0B);
    const StageData& first = copied(PlayStart::atPoint(0x0B, 3));
    EXPECT_EQ(first.map(), shown.map());
    EXPECT_EQ(first.chip32x32(), shown.chip32x32());
    EXPECT_EQ(first.chip32x32Attribute(), shown.chip32x32Attribute());
    EXPECT_EQ(first.scroll(), shown.scroll());
    EXPECT_EQ(first.paletteBlock(), shown.paletteBlock());
    EXPECT_EQ(first.paletteAnimeFrameCount(), shown.paletteAnimeFrameCount());
    EXPECT_EQ(first.paletteAnimeFrameTimer(), shown.paletteAnimeFrameTimer());
    EXPECT_EQ(first.patternTableSetting(), shown.patternTableSetting());
    EXPECT_EQ(listed(first.enemyObjects()), listed(shown.enemyObjects()));
    EXPECT_EQ(listed(first.itemObjects()), listed(shown.itemObjects()));
    const std::int32_t map = test::defaultAddresses().address(TableKey::Map, 0);
    EXPECT_EQ(first.restartPoints(PlayStartRecord).toBytes(), recalculated(shown, 3, map));
    for (int point = 1; point < RestartPointCount; ++point)
        EXPECT_EQ(first.restartPoints(point).toBytes(), recalculated(shown, point, map)) << point;
    // Every other stage reads as before, apart from tables it shares with the first.
    for (int stage = 1; stage < StageCount; ++stage)
        if (shareSource(test::defaultAddresses(), SharedGroup::Map, stage) != 0) {
            EXPECT_EQ(copy.stage(stage).map(), source.stage(stage).map()) << stage;
        }
}

TEST_F(PlayCopyTest, ARoomStartLandsAtTheStartPointsHeightOnThePathsEntryThere)
{
    const StageData& shown = source.stage(2);
    const RestartPoint& start = shown.restartPoints(shown.defaultStartPoint());
    const int room = std::min(start.startRoom() + 5, LastRoom);
    const RestartPoint& point = copied(PlayStart::atRoom(2, room)).restartPoints(PlayStartRecord);
    EXPECT_EQ(point.startRoom(), room);
    EXPECT_EQ(point.leftRoom, room);
    EXPECT_EQ(point.startY, start.startY);
    EXPECT_EQ(point.startScroll, scrollEntryAt(shown.scroll(), start.startRoom(), start.startScroll, room));
    EXPECT_EQ(point.enemyIndex, shown.enemyObjects().firstIndexOfRoom(room));
    EXPECT_EQ(copied(PlayStart::atRoom(2, room, 0x54)).restartPoints(PlayStartRecord).startY, 0x54);
}

TEST(PlayCopy, ScrollEntriesCoverTheirForwardRoomsAndTheirTurn)
{
    const std::vector<std::uint8_t> scroll{0x02, 0x20, 0x01}; // rooms 4-6, 7, 8-9 from room 4
    EXPECT_EQ(scrollEntryAt(scroll, 4, 0, 3), 0);
    EXPECT_EQ(scrollEntryAt(scroll, 4, 0, 6), 0);
    EXPECT_EQ(scrollEntryAt(scroll, 4, 0, 7), 1);
    EXPECT_EQ(scrollEntryAt(scroll, 4, 0, 9), 2);
    EXPECT_EQ(scrollEntryAt(scroll, 4, 1, 4), 1); // a later start entry starts there
    EXPECT_EQ(scrollEntryAt(scroll, 4, 1, 5), 2);
}

TEST(PlayCopy, RefusesValuesOutOfRangeAndAListLongerThanItsPlace)
{
    const auto& image = test::sampleBytes();
    for (const PlayStart start : {PlayStart::atPoint(14, 0), PlayStart::atPoint(-1, 0), PlayStart::atPoint(1, 6),
                                  PlayStart::atRoom(1, 44), PlayStart::atRoom(1, 3, 256)}) {
        const auto made = makePlayCopy(image, test::defaultAddresses(), start);
        ASSERT_FALSE(made.ok());
        EXPECT_NE(made.error().message.find(" to "), std::string::npos) << made.error().message;
    }
    // The first stage's item room table squeezed to two bytes by the next table.
    const auto squeezed = test::addressesFrom("[LevelDataAddress]\nItemObjectX[0]=3A12\n");
    int items = 0;
    for (int stage = 1; stage < StageCount && !items; ++stage)
        if (!makePlayCopy(image, *squeezed, PlayStart::atPoint(stage, 0)).ok())
            items = stage;
    ASSERT_NE(items, 0) << "no stage of the sample has more than one item";
    const auto made = makePlayCopy(image, *squeezed, PlayStart::atPoint(items, 0));
    EXPECT_NE(made.error().message.find("ItemObjectRoom"), std::string::npos) << made.error().message;
    EXPECT_NE(made.error().message.find("holds 2."), std::string::npos) << made.error().message;
}
