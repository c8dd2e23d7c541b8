// The scroll and restart-point pages' decisions, without widgets.
#include "core/base/Language.h"
#include "core/model/RestartPoint.h"
#include "core/model/StageObjects.h"
#include "render/RoomOverlay.h"
#include "rules/RestartPointRules.h"
#include "rules/ScrollRules.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

std::array<std::uint8_t, 32> scroll(std::initializer_list<std::uint8_t> entries)
{
    std::array<std::uint8_t, 32> scroll{};
    std::copy(entries.begin(), entries.end(), scroll.begin());
    return scroll;
}

// A restart point over empty object lists of its own.
struct PointFixture {
    std::vector<std::uint8_t> none = std::vector<std::uint8_t>(256, 0xFF), zero = std::vector<std::uint8_t>(256);
    std::shared_ptr<StageObjects> enemies = std::make_shared<StageObjects>(none, zero, zero, zero, EnemyCapacity);
    std::shared_ptr<StageObjects> items = std::make_shared<StageObjects>(none, zero, zero, zero, ItemCapacity);
    RestartPoint point{RestartPointBytes{0xB7, 0x05, 0, 0, 0x84, 0xE0, 0x85, 0x60, 0, 0x05, 0x09}, 0x0510, enemies,
                       items};
};

} // namespace

TEST(ScrollEditRules, TheWalkMarksForwardRoomsAndTheDirectionOfEachEntrysLastRoom)
{
    // From room 2 at entry 1: entry 1 = 3 forward then right, entry 2 = an end, entry 3 = down only.
    const auto path = walkScrollPath(scroll({0x07, 0x23, 0x00, 0x40}), 2, 1);
    EXPECT_EQ(path.roomFlags[1], 0) << "before the start room";
    for (int room : {2, 3, 4})
        EXPECT_EQ(path.roomFlags[static_cast<std::size_t>(room)], rmForward) << room;
    EXPECT_EQ(path.roomFlags[5], rmRight);
    EXPECT_EQ(path.roomFlags[6], 0) << "an end entry marks its room with nothing and the walk goes on";
    EXPECT_EQ(path.roomFlags[7], rmDown) << "count 0: only the arrow";
    EXPECT_EQ(path.segmentLeftRoom[0], 2) << "entries before the start keep the start room";
    EXPECT_EQ(path.segmentLeftRoom[1], 2);
    EXPECT_EQ(path.segmentLeftRoom[2], 6);
    EXPECT_EQ(path.segmentLeftRoom[3], 7);
}

TEST(ScrollEditRules, TheWalkStopsAtTheLastRoom)
{
    const auto path = walkScrollPath(scroll({0x2F, 0x2F, 0x2F, 0x2F, 0x25}), 0, 0);
    EXPECT_EQ(path.segmentLeftRoom[2], 32);
    EXPECT_EQ(path.roomFlags[43], rmForward) << "entry 2 runs past room 2B";
    EXPECT_EQ(path.segmentLeftRoom[3], 0) << "entries after the walk keep the start room";
    const auto bit4 = walkScrollPath(scroll({0x11}), 0, 0);
    EXPECT_EQ(bit4.roomFlags[1], rmForward) << "bit 4 counts as the forward mark";
    const auto outside = walkScrollPath(scroll({0x25}), 0xFF, 0x40);
    EXPECT_EQ(outside.segmentLeftRoom[0], 0xFF) << "a start outside walks nothing";
}

TEST(ScrollEditRules, LinesInBothLanguages)
{
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(scrollLineText(3, 0x25, false), "03 : 25(5 Screens Forward Right)");
        EXPECT_EQ(scrollLineText(0, 0x29, true), "00 : 29(9 Screens Forward Right)[Start]");
        EXPECT_EQ(scrollLineText(1, 0x20, false), "01 : 20(Right)");
        EXPECT_EQ(scrollDescription(0xC0), "Up&Down");
        EXPECT_EQ(scrollDescription(0xE3), "3 Screens Forward Right&Up&Down");
        EXPECT_EQ(scrollDescription(0x10), "????");
        EXPECT_EQ(scrollDescription(0x35), "????");
        EXPECT_EQ(scrollDescription(0xF1), "????");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(scrollLineText(0x1F, 0x00, false), "1F : 00(終点)");
    EXPECT_EQ(scrollLineText(2, 0x62, true), "02 : 62(2 画面進んで 右・下)[スタート地点]");
    EXPECT_EQ(scrollDescription(0xA0), "右・上");
}

TEST(ScrollEditRules, TheFieldsMakeAnEntryWithoutBitFour)
{
    EXPECT_EQ(scrollEntryOf(5, true, false, false), 0x25);
    EXPECT_EQ(scrollEntryOf(15, true, true, true), 0xEF);
    EXPECT_EQ(scrollEntryOf(0, false, false, false), 0x00);
    EXPECT_EQ(scrollEntryOf(0x10, false, true, false), 0x40);
    test::LanguageGuard english(Language::English);
    const auto marks = markTexts();
    EXPECT_EQ(marks[1].text, "->");
    EXPECT_EQ(marks[3].y, 16);
}

TEST(RestartPointEditRules, BoxesAcceptTheirRangesOnly)
{
    PointFixture f;
    EXPECT_EQ(restartPointFieldLength(mfMapBackAddr), 4);
    EXPECT_EQ(restartPointFieldLength(mfStartRoom), 2);
    EXPECT_EQ(restartPointFieldText(f.point, mfMapBackAddr), "84E0");
    EXPECT_FALSE(restartPointFieldInput(f.point, mfStartRoom, "2C")) << "beyond the last room";
    EXPECT_EQ(restartPointFieldInput(f.point, mfStartRoom, "2b"), 0x2B);
    EXPECT_FALSE(restartPointFieldInput(f.point, mfStartRoom, "05")) << "unchanged";
    EXPECT_FALSE(restartPointFieldInput(f.point, mfStartY, "zz"));
    EXPECT_EQ(restartPointFieldInput(f.point, mfMapForwardAddr, "0FFF"), 0x0FFF);
    EXPECT_EQ(restartPointFieldInput(f.point, mfRightRoom, "FF"), 0xFF);

    setRestartPointField(f.point, mfStartRoom, 0x2B);
    EXPECT_EQ(f.point.startRoom(), 0x2B);
    EXPECT_EQ(f.point.leftRoom, 0x2B) << "the left-end room follows";
    setRestartPointField(f.point, mfMapBackAddr, 0x0123);
    EXPECT_EQ(restartPointFieldText(f.point, mfMapBackAddr), "123") << "three digits: the box waits for a fourth";
}

TEST(RestartPointEditRules, LandingHeightMovesByRowsAtOffsetFour)
{
    EXPECT_EQ(stepStartY(0xB7, true), 0xA4);
    EXPECT_EQ(stepStartY(0xB7, false), 0xC4);
    EXPECT_EQ(stepStartY(0x04, true), 0x04);
    EXPECT_EQ(stepStartY(0x0F, true), 0x04);
    EXPECT_EQ(stepStartY(0xF4, false), 0xF4);
    EXPECT_EQ(stepStartY(0xFF, false), 0xF4);
}

TEST(RestartPointEditRules, RecalculationReportsOnlyAChange)
{
    PointFixture f;
    EXPECT_TRUE(recalcRestartPoint(f.point)) << "the map addresses follow the start room";
    EXPECT_FALSE(recalcRestartPoint(f.point)) << "the stored values again";
    f.point.setStartRoom(0x2C);
    EXPECT_FALSE(recalcRestartPoint(f.point)) << "a start room past the map is left alone";
}

TEST(RestartPointEditRules, PointListNamesTheStart)
{
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(restartPointItemText(3, true), "Point3(Start)");
        EXPECT_EQ(restartPointItemText(1, false), "Point1");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(restartPointItemText(0, true), "復帰地点0(スタート地点)");
}
