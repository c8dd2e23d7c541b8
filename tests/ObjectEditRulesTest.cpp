// The object page's decisions, without widgets.
#include "core/base/Language.h"
#include "core/model/StageObjects.h"
#include "rules/ObjectRules.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct Placed {
    std::uint8_t room, x, y, kind;
};

std::unique_ptr<StageObjects> build(const std::vector<Placed>& objects, int capacity = EnemyCapacity)
{
    std::vector<std::uint8_t> room(256, 0xFF), x(256), y(256), kind(256);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        room[i] = objects[i].room;
        x[i] = objects[i].x;
        y[i] = objects[i].y;
        kind[i] = objects[i].kind;
    }
    return std::make_unique<StageObjects>(room, x, y, kind, capacity);
}

} // namespace

TEST(ObjectEditRules, HitTestTakesTheFirstListedWithinNinePixels)
{
    const auto objects = build({{5, 100, 100, 1}, {5, 105, 100, 2}, {5, 50, 50, 3}});
    const RoomObjectList& room = objects->lists(5);
    struct Hit {
        int x, y, kind;
        const char* why;
    } hits[] = {{105, 100, 1, "first in list order, not the nearest"},
                {114, 100, 2, "9 to the second, 14 to the first"},
                {59, 41, 3, "9 pixels both ways still hit"}};
    for (const Hit& hit : hits) {
        const PlacedObject* found = hitTestObject(room, hit.x, hit.y);
        ASSERT_NE(found, nullptr) << hit.why;
        EXPECT_EQ(found->kind, hit.kind) << hit.why;
    }
    EXPECT_EQ(hitTestObject(room, 60, 50), nullptr) << "10 pixels miss";
    EXPECT_EQ(hitTestObject(room, 50, 40), nullptr);
    EXPECT_EQ(hitTestObject(objects->lists(6), 100, 100), nullptr);
}

TEST(ObjectEditRules, PointerPositionsScaleToRoomPixels)
{
    EXPECT_EQ(objectCoordinate(100, 256), 100);
    EXPECT_EQ(objectCoordinate(100, 512), 50);
    EXPECT_EQ(objectCoordinate(-3, 256), -3) << "clamped by the caller";
}

TEST(ObjectEditRules, DragSnapsWithCtrlOrShiftAndHoldsWithBoth)
{
    EXPECT_EQ(dragPosition(77, 13, false, false), (ObjectPoint{77, 13}));
    EXPECT_EQ(dragPosition(77, 13, true, false), (ObjectPoint{72, 8}));
    EXPECT_EQ(dragPosition(77, 13, false, true), (ObjectPoint{76, 12}));
    EXPECT_FALSE(dragPosition(77, 13, true, true));
    EXPECT_EQ(dragPosition(-5, 300, true, false), (ObjectPoint{0, 296})) << "towards zero; the clamp follows";
    EXPECT_EQ(stepWithin(255, 1, 0, 255), 255);
    EXPECT_EQ(stepWithin(0, -1, 0, 255), 0);
    EXPECT_EQ(stepWithin(43, 1, 0, 43), 43) << "room 43 up stays";
}

TEST(ObjectEditRules, ViewsScrollOnlyAsFarAsNeeded)
{
    EXPECT_EQ(firstLeftRoom(0x2B), 0x2A);
    EXPECT_EQ(firstLeftRoom(0x07), 0x07);
    EXPECT_EQ(leftRoomShowing(5, 6), 5) << "room 6 is shown in 05-06";
    EXPECT_EQ(leftRoomShowing(5, 7), 6);
    EXPECT_EQ(leftRoomShowing(5, 2), 2);
    EXPECT_EQ(leftRoomShowing(5, 43), 42);
}

TEST(ObjectEditRules, HintTextsAndLabels)
{
    const auto objects = build({{1, 0x30, 0x40, 0x02}, {1, 0x10, 0x20, 0x05}, {2, 0, 0, 0}});
    const std::vector<std::string> names{"Walker", "Flyer", "Turret"};
    ASSERT_NE(objects->lists(1).first(), nullptr);
    const PlacedObject& object = *objects->lists(1).first();
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(objectHintText(7, object, names), "Index:07\r\nXPos:30\r\nYPos:40\r\nKind:\r\nTurret");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(objectHintText(7, object, names), "設置番号:07\r\nX座標:30\r\nY座標:40\r\n種類:\r\nTurret");
    EXPECT_EQ(shownRoomsText(0x0A), "0A-0B");
    EXPECT_EQ(roomCountsText(*objects, 1), "2-1");
    EXPECT_EQ(roomCountsText(*objects, 0x2A), "0-0");
    EXPECT_EQ(totalCountText(*objects, 128), "3 / 128");
}

TEST(ObjectEditRules, MenuStatesAndCaptions)
{
    const auto objects = build({{0, 10, 10, 0x2C}});
    const PlacedObject* object = objects->lists(0).first();
    ASSERT_NE(object, nullptr);
    {
        test::LanguageGuard english(Language::English);
        const ObjectMenuState empty = objectMenuState(nullptr, -1);
        EXPECT_TRUE(empty.create.enabled);
        EXPECT_FALSE(empty.paste.enabled);
        EXPECT_EQ(empty.paste.caption, "Paste");
        EXPECT_FALSE(empty.copy.enabled);
        EXPECT_EQ(empty.remove.caption, "Remove");

        const ObjectMenuState copied = objectMenuState(nullptr, 0x2C);
        EXPECT_TRUE(copied.paste.enabled);
        EXPECT_EQ(copied.paste.caption, "Paste Object(2C)");

        const ObjectMenuState on = objectMenuState(object, 0x05);
        EXPECT_FALSE(on.create.enabled);
        EXPECT_FALSE(on.paste.enabled);
        EXPECT_EQ(on.paste.caption, "Paste Object(05)") << "the copied kind shows while disabled";
        EXPECT_TRUE(on.copy.enabled);
        EXPECT_EQ(on.copy.caption, "Copy Object(2C)");
        EXPECT_EQ(on.select.caption, "Select Object(2C)");
        EXPECT_EQ(on.remove.caption, "Remove Object(2C)");
    }
    test::LanguageGuard japanese(Language::Japanese);
    const ObjectMenuState on = objectMenuState(object, -1);
    EXPECT_EQ(on.create.caption, "オブジェクトの新規作成");
    EXPECT_EQ(on.copy.caption, "このオブジェクト(2C)をコピー");
    EXPECT_EQ(on.paste.caption, "オブジェクトを貼り付け");
    EXPECT_EQ(on.select.caption, "このオブジェクト(2C)を選択");
    EXPECT_EQ(on.remove.caption, "このオブジェクト(2C)を削除");
    EXPECT_EQ(objectMenuState(nullptr, 0x01).paste.caption, "オブジェクト(01)を貼り付け");
}

TEST(ObjectEditRules, RoomTextListsTheRoomAndReadsBack)
{
    const auto objects = build({{3, 0x10, 0x20, 0x05}, {3, 0x30, 0x40, 0x06}});
    const std::string text = roomObjectsText(objects->lists(3));
    EXPECT_EQ(text, "10 20 05\r\n30 40 06\r\n");
    EXPECT_EQ(parseRoomObjectsText(text), (std::vector<ObjectLine>{{0x10, 0x20, 0x05}, {0x30, 0x40, 0x06}}));
    EXPECT_EQ(roomObjectsText(objects->lists(4)), "");
}

TEST(ObjectEditRules, RoomTextLinesNeedThreeHexTokens)
{
    EXPECT_EQ(parseRoomObjectsText("1 2\nzz 10 10\na b c d\n"), (std::vector<ObjectLine>{{0x0A, 0x0B, 0x0C}}));
    EXPECT_EQ(parseRoomObjectsText("\t 1\t\t2   3  \r\n"), (std::vector<ObjectLine>{{1, 2, 3}}));
    EXPECT_EQ(parseRoomObjectsText("100 1FF 7\r"), (std::vector<ObjectLine>{{0x00, 0xFF, 0x07}})) << "low bytes";
    EXPECT_EQ(parseRoomObjectsText("1 2 3x\n1 2 123456789\n"), std::vector<ObjectLine>{}) << "bad third tokens";
    EXPECT_EQ(parseRoomObjectsText("1 2 3 junk"), (std::vector<ObjectLine>{{1, 2, 3}})) << "the rest is ignored";
    EXPECT_EQ(parseRoomObjectsText("1 2 3\r4 5 6\n\n7 8 9"),
              (std::vector<ObjectLine>{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    EXPECT_EQ(parseRoomObjectsText(""), std::vector<ObjectLine>{});
}

TEST(ObjectEditRules, ARoomFitsWhenTheOthersPlusItsLinesStayWithinCapacity)
{
    std::vector<Placed> thirtyTwo;
    for (int i = 0; i < 32; ++i)
        thirtyTwo.push_back({static_cast<std::uint8_t>(i < 2 ? 4 : 5 + i % 30), 0, 0, 0});
    const auto items = build(thirtyTwo, ItemCapacity);
    ASSERT_EQ(items->totalCount(), 32);
    EXPECT_TRUE(roomObjectsFit(*items, 4, 2));
    EXPECT_FALSE(roomObjectsFit(*items, 4, 3)) << "32 items, 2 in the room, 3 lines";
    EXPECT_TRUE(roomObjectsFit(*items, 4, 0));
    EXPECT_FALSE(roomObjectsFit(*items, 44, 0));
    EXPECT_EQ(roomObjectsLimit(*items, 4), 2) << "its own objects count as room";
    EXPECT_EQ(roomObjectsLimit(*items, 0), 0);
    EXPECT_EQ(roomObjectsLimit(*build({{3, 0, 0, 0}, {9, 0, 0, 0}}, ItemCapacity), 3), 31);
    EXPECT_EQ(roomObjectsLimit(*items, 44), 0);
}

TEST(ObjectEditRules, MessagesInBothLanguages)
{
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(roomTextCaption(0x0C), "Edit Object in Screen 0C");
        EXPECT_EQ(cannotCreateObjectText(), "Failed to Create a New Object");
        EXPECT_EQ(failedToAddObjectsText(), "Failed to Add Objects");
        EXPECT_EQ(roomObjectsDoNotFitText(3, 2),
                  "Failed to Add Objects\nNothing was applied: the text has 3 objects and this room can hold at "
                  "most 2.");
        EXPECT_EQ(roomObjectsDoNotFitText(1, 0),
                  "Failed to Add Objects\nNothing was applied: the text has 1 object and this room can hold at "
                  "most 0.");
        EXPECT_EQ(orderTypeQuestion(),
                  "Intend to Order Method.Switching \"Free\" to \"By Screen\" maybe changes Order of "
                  "Objects.Do you really do?");
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(roomTextCaption(0x0C), "部屋番号0Cのオブジェクト編集");
    EXPECT_EQ(cannotCreateObjectText(), "オブジェクトを作成できませんでした。");
    EXPECT_EQ(failedToAddObjectsText(), "オブジェクトの追加に失敗しました");
    EXPECT_EQ(roomObjectsDoNotFitText(3, 2),
              "オブジェクトの追加に失敗しました\n何も変更していません。入力は3個で"
              "すが"
              "、この部屋に置けるのは2個までです。");
    EXPECT_EQ(orderTypeQuestion(),
              "オブジェクトの順序決定方法を変更しようとしています。自由順序から部"
              "屋単位で管理への変更は"
              "オブジェクトの順序が変更される可能性があります。変更を行いますか？");
}
