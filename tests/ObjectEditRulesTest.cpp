// The object page's decisions, without widgets.
#include "core/Language.h"
#include "core/VxObject.h"
#include "rules/ObjectRules.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct Placed {
    std::uint8_t room, x, y, kind;
};

std::unique_ptr<TVxObjectManager> Build(const std::vector<Placed>& objects, int capacity = EnemyCapacity)
{
    std::vector<std::uint8_t> room(256, 0xFF), x(256), y(256), kind(256);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        room[i] = objects[i].room;
        x[i] = objects[i].x;
        y[i] = objects[i].y;
        kind[i] = objects[i].kind;
    }
    return std::make_unique<TVxObjectManager>(room, x, y, kind, capacity);
}

} // namespace

TEST(ObjectEditRules, HitTestTakesTheFirstListedWithinNinePixels)
{
    const auto objects = Build({{5, 100, 100, 1}, {5, 105, 100, 2}, {5, 50, 50, 3}});
    const TVxObjectList& room = objects->Lists(5);
    struct Hit {
        int x, y, kind;
        const char* why;
    } hits[] = {{105, 100, 1, "first in list order, not the nearest"},
                {114, 100, 2, "9 to the second, 14 to the first"},
                {59, 41, 3, "9 pixels both ways still hit"}};
    for (const Hit& hit : hits) {
        const TVxObjectNode* found = HitTestObject(room, hit.x, hit.y);
        ASSERT_NE(found, nullptr) << hit.why;
        EXPECT_EQ(found->Kind, hit.kind) << hit.why;
    }
    EXPECT_EQ(HitTestObject(room, 60, 50), nullptr) << "10 pixels miss";
    EXPECT_EQ(HitTestObject(room, 50, 40), nullptr);
    EXPECT_EQ(HitTestObject(objects->Lists(6), 100, 100), nullptr);
}

TEST(ObjectEditRules, PointerPositionsScaleToRoomPixels)
{
    EXPECT_EQ(ObjectCoordinate(100, 256), 100);
    EXPECT_EQ(ObjectCoordinate(100, 512), 50);
    EXPECT_EQ(ObjectCoordinate(-3, 256), -3) << "clamped by the caller";
}

TEST(ObjectEditRules, DragSnapsWithCtrlOrShiftAndHoldsWithBoth)
{
    EXPECT_EQ(DragPosition(77, 13, false, false), (TObjectPoint{77, 13}));
    EXPECT_EQ(DragPosition(77, 13, true, false), (TObjectPoint{72, 8}));
    EXPECT_EQ(DragPosition(77, 13, false, true), (TObjectPoint{76, 12}));
    EXPECT_FALSE(DragPosition(77, 13, true, true));
    EXPECT_EQ(DragPosition(-5, 300, true, false), (TObjectPoint{0, 296})) << "towards zero; the clamp follows";
    EXPECT_EQ(StepWithin(255, 1, 0, 255), 255);
    EXPECT_EQ(StepWithin(0, -1, 0, 255), 0);
    EXPECT_EQ(StepWithin(43, 1, 0, 43), 43) << "room 43 up stays";
}

TEST(ObjectEditRules, ViewsScrollOnlyAsFarAsNeeded)
{
    EXPECT_EQ(FirstLeftRoom(0x2B), 0x2A);
    EXPECT_EQ(FirstLeftRoom(0x07), 0x07);
    EXPECT_EQ(LeftRoomShowing(5, 6), 5) << "room 6 is shown in 05-06";
    EXPECT_EQ(LeftRoomShowing(5, 7), 6);
    EXPECT_EQ(LeftRoomShowing(5, 2), 2);
    EXPECT_EQ(LeftRoomShowing(5, 43), 42);
}

TEST(ObjectEditRules, HintTextsAndLabels)
{
    const auto objects = Build({{1, 0x30, 0x40, 0x02}, {1, 0x10, 0x20, 0x05}, {2, 0, 0, 0}});
    const std::vector<std::string> names{"Walker", "Flyer", "Turret"};
    ASSERT_NE(objects->Lists(1).First(), nullptr);
    const TVxObjectNode& object = *objects->Lists(1).First();
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(ObjectHintText(7, object, names), "Index:07\r\nXPos:30\r\nYPos:40\r\nKind:\r\nTurret");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(ObjectHintText(7, object, names), "設置番号:07\r\nX座標:30\r\nY座標:40\r\n種類:\r\nTurret");
    EXPECT_EQ(ShownRoomsText(0x0A), "0A-0B");
    EXPECT_EQ(RoomCountsText(*objects, 1), "2-1");
    EXPECT_EQ(RoomCountsText(*objects, 0x2A), "0-0");
    EXPECT_EQ(TotalCountText(*objects, 128), "3 / 128");
}

TEST(ObjectEditRules, MenuStatesAndCaptions)
{
    const auto objects = Build({{0, 10, 10, 0x2C}});
    const TVxObjectNode* object = objects->Lists(0).First();
    ASSERT_NE(object, nullptr);
    {
        test::LanguageGuard english(Language::English);
        const TObjectMenuState empty = ObjectMenuState(nullptr, -1);
        EXPECT_TRUE(empty.create.enabled);
        EXPECT_FALSE(empty.paste.enabled);
        EXPECT_EQ(empty.paste.caption, "Paste");
        EXPECT_FALSE(empty.copy.enabled);
        EXPECT_EQ(empty.remove.caption, "Remove");

        const TObjectMenuState copied = ObjectMenuState(nullptr, 0x2C);
        EXPECT_TRUE(copied.paste.enabled);
        EXPECT_EQ(copied.paste.caption, "Paste Object(2C)");

        const TObjectMenuState on = ObjectMenuState(object, 0x05);
        EXPECT_FALSE(on.create.enabled);
        EXPECT_FALSE(on.paste.enabled);
        EXPECT_EQ(on.paste.caption, "Paste Object(05)") << "the copied kind shows while disabled";
        EXPECT_TRUE(on.copy.enabled);
        EXPECT_EQ(on.copy.caption, "Copy Object(2C)");
        EXPECT_EQ(on.select.caption, "Select Object(2C)");
        EXPECT_EQ(on.remove.caption, "Remove Object(2C)");
    }
    test::LanguageGuard japanese(Language::Japanese);
    const TObjectMenuState on = ObjectMenuState(object, -1);
    EXPECT_EQ(on.create.caption, "オブジェクトの新規作成");
    EXPECT_EQ(on.copy.caption, "このオブジェクト(2C)をコピー");
    EXPECT_EQ(on.paste.caption, "オブジェクトを貼り付け");
    EXPECT_EQ(on.select.caption, "このオブジェクト(2C)を選択");
    EXPECT_EQ(on.remove.caption, "このオブジェクト(2C)を削除");
    EXPECT_EQ(ObjectMenuState(nullptr, 0x01).paste.caption, "オブジェクト(01)を貼り付け");
}

TEST(ObjectEditRules, RoomTextListsTheRoomAndReadsBack)
{
    const auto objects = Build({{3, 0x10, 0x20, 0x05}, {3, 0x30, 0x40, 0x06}});
    const std::string text = RoomObjectsText(objects->Lists(3));
    EXPECT_EQ(text, "10 20 05\r\n30 40 06\r\n");
    EXPECT_EQ(ParseRoomObjectsText(text), (std::vector<TObjectLine>{{0x10, 0x20, 0x05}, {0x30, 0x40, 0x06}}));
    EXPECT_EQ(RoomObjectsText(objects->Lists(4)), "");
}

TEST(ObjectEditRules, RoomTextLinesNeedThreeHexTokens)
{
    EXPECT_EQ(ParseRoomObjectsText("1 2\nzz 10 10\na b c d\n"), (std::vector<TObjectLine>{{0x0A, 0x0B, 0x0C}}));
    EXPECT_EQ(ParseRoomObjectsText("\t 1\t\t2   3  \r\n"), (std::vector<TObjectLine>{{1, 2, 3}}));
    EXPECT_EQ(ParseRoomObjectsText("100 1FF 7\r"), (std::vector<TObjectLine>{{0x00, 0xFF, 0x07}})) << "low bytes";
    EXPECT_EQ(ParseRoomObjectsText("1 2 3x\n1 2 123456789\n"), std::vector<TObjectLine>{}) << "bad third tokens";
    EXPECT_EQ(ParseRoomObjectsText("1 2 3 junk"), (std::vector<TObjectLine>{{1, 2, 3}})) << "the rest is ignored";
    EXPECT_EQ(ParseRoomObjectsText("1 2 3\r4 5 6\n\n7 8 9"),
              (std::vector<TObjectLine>{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    EXPECT_EQ(ParseRoomObjectsText(""), std::vector<TObjectLine>{});
}

TEST(ObjectEditRules, ARoomFitsWhenTheOthersPlusItsLinesStayWithinCapacity)
{
    std::vector<Placed> thirtyTwo;
    for (int i = 0; i < 32; ++i)
        thirtyTwo.push_back({static_cast<std::uint8_t>(i < 2 ? 4 : 5 + i % 30), 0, 0, 0});
    const auto items = Build(thirtyTwo, ItemCapacity);
    ASSERT_EQ(items->TotalCount(), 32);
    EXPECT_TRUE(RoomObjectsFit(*items, 4, 2));
    EXPECT_FALSE(RoomObjectsFit(*items, 4, 3)) << "32 items, 2 in the room, 3 lines";
    EXPECT_TRUE(RoomObjectsFit(*items, 4, 0));
    EXPECT_FALSE(RoomObjectsFit(*items, 44, 0));
    EXPECT_EQ(RoomObjectsLimit(*items, 4), 2) << "its own objects count as room";
    EXPECT_EQ(RoomObjectsLimit(*items, 0), 0);
    EXPECT_EQ(RoomObjectsLimit(*Build({{3, 0, 0, 0}, {9, 0, 0, 0}}, ItemCapacity), 3), 31);
    EXPECT_EQ(RoomObjectsLimit(*items, 44), 0);
}

TEST(ObjectEditRules, MessagesInBothLanguages)
{
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(RoomTextCaption(0x0C), "Edit Object in Screen 0C");
        EXPECT_EQ(CannotCreateObjectText(), "Failed to Create a New Object");
        EXPECT_EQ(FailedToAddObjectsText(), "Failed to Add Objects");
        EXPECT_EQ(RoomObjectsDoNotFitText(3, 2),
                  "Failed to Add Objects\nNothing was applied: the text has 3 objects and this room can hold at "
                  "most 2.");
        EXPECT_EQ(RoomObjectsDoNotFitText(1, 0),
                  "Failed to Add Objects\nNothing was applied: the text has 1 object and this room can hold at "
                  "most 0.");
        EXPECT_EQ(OrderTypeQuestion(), "Intend to Order Method.Switching \"Free\" to \"By Screen\" maybe changes Order of "
                                       "Objects.Do you really do?");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(RoomTextCaption(0x0C), "部屋番号0Cのオブジェクト編集");
    EXPECT_EQ(CannotCreateObjectText(), "オブジェクトを作成できませんでした。");
    EXPECT_EQ(FailedToAddObjectsText(), "オブジェクトの追加に失敗しました");
    EXPECT_EQ(RoomObjectsDoNotFitText(3, 2),
              "オブジェクトの追加に失敗しました\n何も変更していません。入力は3個ですが、この部屋に置けるのは2個までです。");
    EXPECT_EQ(OrderTypeQuestion(), "オブジェクトの順序決定方法を変更しようとしています。自由順序から部屋単位で管理への変更は"
                                   "オブジェクトの順序が変更される可能性があります。変更を行いますか？");
}
