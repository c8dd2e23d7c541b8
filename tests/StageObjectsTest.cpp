#include "core/model/StageObjects.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// A manager over enemy-sized tables whose objects are told apart by Kind = their index.
std::unique_ptr<StageObjects> build(std::vector<std::uint8_t> rooms, std::vector<std::uint8_t> xs = {},
                                    int capacity = EnemyCapacity)
{
    std::vector<std::uint8_t> room(256, 0xFF), x(256), y(256), kind(256);
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        room[i] = rooms[i];
        x[i] = i < xs.size() ? xs[i] : static_cast<std::uint8_t>(i * 3);
        y[i] = static_cast<std::uint8_t>(i + 100);
        kind[i] = static_cast<std::uint8_t>(i);
    }
    return std::make_unique<StageObjects>(room, x, y, kind, capacity);
}

std::vector<int> order(const StageObjects& manager)
{
    std::vector<int> kinds;
    for (auto* node : manager.objectsInOrder())
        kinds.push_back(node->kind);
    return kinds;
}

std::vector<int> chain(const StageObjects& manager)
{
    std::vector<int> kinds;
    for (auto* node = manager.head(); node; node = node->next())
        kinds.push_back(node->kind);
    std::vector<int> backwards;
    for (auto* node = manager.tail(); node; node = node->prev())
        backwards.insert(backwards.begin(), node->kind);
    EXPECT_EQ(kinds, backwards) << "Prev links disagree with Next links";
    return kinds;
}

std::vector<int> kinds(const RoomObjectList& list)
{
    std::vector<int> kinds;
    for (int i = 0; i < list.count(); ++i)
        kinds.push_back(list.items(i)->kind);
    return kinds;
}

PlacedObject* byKind(StageObjects& manager, int kind)
{
    for (auto* node : manager.objectsInOrder())
        if (node->kind == kind)
            return node;
    ADD_FAILURE() << "no object of kind " << kind;
    return nullptr;
}

} // namespace

TEST(StageObjects, OrderTypeComesFromWhetherRoomsEverDecrease)
{
    EXPECT_EQ(build({0x00, 0x00, 0x03, 0x03, 0x2B})->orderType, otByRoom);
    EXPECT_EQ(build({0x03, 0x05, 0x01})->orderType, otFree);
    EXPECT_EQ(build({})->orderType, otByRoom);
}

TEST(StageObjects, ConstructionStopsAtTheEndMarkOrAtCapacity)
{
    auto empty = build({0x2C, 0x01});
    EXPECT_EQ(empty->totalCount(), 0);
    EXPECT_EQ(empty->head(), nullptr);
    EXPECT_EQ(empty->tail(), nullptr);
    std::vector<std::uint8_t> room(256, 0xAA), x(256, 0xAA), y(256, 0xAA), kind(256, 0xAA);
    empty->exportTables(room, x, y, kind);
    EXPECT_EQ(room[0], 0xFF);
    EXPECT_EQ(room[1], 0xAA);
    EXPECT_EQ(x[0], 0xAA) << "only the Room table carries the end mark";

    auto full = build(std::vector<std::uint8_t>(200, 0x05));
    EXPECT_EQ(full->totalCount(), 128);
    std::fill(room.begin(), room.end(), 0xAA);
    full->exportTables(room, x, y, kind);
    EXPECT_EQ(room[127], 0x05);
    EXPECT_EQ(room[128], 0xFF);
    EXPECT_EQ(room[129], 0xAA);
    EXPECT_FALSE(full->addObject(1, 1, 1, 1));

    auto items = build(std::vector<std::uint8_t>(64, 0x00), {}, ItemCapacity);
    EXPECT_EQ(items->totalCount(), 32);
}

TEST(StageObjects, ShortTablesNeitherReadNorWritePastTheirEnd)
{
    std::vector<std::uint8_t> room{1, 2, 3}, x{9}, y{}, kind{7, 7};
    StageObjects manager(room, x, y, kind, EnemyCapacity);
    EXPECT_EQ(manager.totalCount(), 3);
    std::vector<std::uint8_t> outRoom(3), outX(1), outY(0), outKind(2);
    manager.exportTables(outRoom, outX, outY, outKind);
    EXPECT_EQ(outRoom, room) << "no room for the end mark, and none written";
}

TEST(StageObjects, ExportWritesTheObjectOrderAndRoundTrips)
{
    auto manager = build({0x03, 0x05, 0x01, 0x05});
    std::vector<std::uint8_t> room(256), x(256), y(256), kind(256);
    manager->exportTables(room, x, y, kind);
    StageObjects rebuilt(room, x, y, kind, EnemyCapacity);
    EXPECT_EQ(rebuilt.orderType, otFree);
    EXPECT_EQ(order(rebuilt), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(room[4], 0xFF);
    EXPECT_EQ(y[2], 102);
}

TEST(StageObjects, SwitchingToByRoomGroupsTheChainByRoomKeepingChainOrderWithinARoom)
{
    auto manager = build({0x05, 0x02, 0x05}); // a, b, c
    ASSERT_EQ(manager->orderType, otFree);
    EXPECT_EQ(order(*manager), (std::vector<int>{0, 1, 2}));
    manager->setOrderType(otByRoom);
    EXPECT_EQ(order(*manager), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(kinds(manager->lists(5)), (std::vector<int>{0, 2}));
}

TEST(StageObjects, ByRoomToFreeAndBackKeepsEveryRoomList)
{
    auto manager = build({0x01, 0x01, 0x04, 0x04, 0x04, 0x09});
    manager->moveEarlier(byKind(*manager, 4));
    const auto before = kinds(manager->lists(4));
    manager->setOrderType(otFree);
    EXPECT_EQ(chain(*manager), order(*manager));
    EXPECT_EQ(order(*manager), (std::vector<int>{0, 1, 2, 4, 3, 5})) << "free order starts as by-room order";
    manager->setOrderType(otByRoom);
    EXPECT_EQ(kinds(manager->lists(4)), before);
    EXPECT_EQ(manager->totalCount(), 6);
}

TEST(StageObjects, WalkingTheOrderCrossesEmptyRoomsAndStopsAtTheEnds)
{
    auto manager = build({0x02, 0x02, 0x07, 0x2A});
    auto* first = byKind(*manager, 0);
    auto* last = byKind(*manager, 3);
    const PlacedObject* next = manager->nextObject(byKind(*manager, 1));
    const PlacedObject* previous = manager->prevObject(byKind(*manager, 2));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(next->kind, 2);
    EXPECT_EQ(previous->kind, 1);
    EXPECT_EQ(manager->prevObject(first), nullptr);
    EXPECT_EQ(manager->nextObject(last), nullptr);
    EXPECT_EQ(manager->orderIndexOf(last), 3);
    EXPECT_EQ(manager->firstIndexOfRoom(3), 2);
    EXPECT_EQ(manager->firstIndexOfRoom(44), 4);
}

TEST(StageObjects, FirstIndexOfRoomUnderFreeOrderStopsAtTheFirstHigherRoom)
{
    auto manager = build({0x00, 0x03, 0x01, 0x05});
    ASSERT_EQ(manager->orderType, otFree);
    EXPECT_EQ(manager->firstIndexOfRoom(2), 1);
    EXPECT_EQ(manager->firstIndexOfRoom(6), 4);
    EXPECT_EQ(manager->firstIndexOfRoom(0), 0);
}

TEST(StageObjects, MovesStayInsideTheRoomUnderByRoomAndFollowTheChainUnderFree)
{
    auto manager = build({0x04, 0x05, 0x05});
    EXPECT_FALSE(manager->moveEarlier(byKind(*manager, 1))) << "never into room 4";
    EXPECT_FALSE(manager->moveLater(byKind(*manager, 2)));
    EXPECT_TRUE(manager->moveLater(byKind(*manager, 1)));
    EXPECT_EQ(order(*manager), (std::vector<int>{0, 2, 1}));

    auto free = build({0x05, 0x02, 0x07, 0x01});
    ASSERT_EQ(free->orderType, otFree);
    EXPECT_TRUE(free->moveEarlier(byKind(*free, 1)));
    EXPECT_EQ(chain(*free), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(free->head()->kind, 1);
    EXPECT_FALSE(free->moveEarlier(byKind(*free, 1)));
    EXPECT_TRUE(free->moveLater(byKind(*free, 2)));
    EXPECT_EQ(chain(*free), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(free->tail()->kind, 2);
    EXPECT_FALSE(free->moveLater(byKind(*free, 2)));
}

TEST(StageObjects, AddObjectUnderFreeOrderGoesBehindTheLastObjectOfTheNearestRoomAtOrBelow)
{
    // Chain: room 5 (n), room 1, room 9. Room 6 is empty.
    auto manager = build({0x05, 0x01, 0x09});
    ASSERT_EQ(manager->orderType, otFree);
    ASSERT_TRUE(manager->addObject(7, 0, 0, 0x70));
    EXPECT_EQ(chain(*manager), (std::vector<int>{0, 0x70, 1, 2}));
    ASSERT_TRUE(manager->addObject(0, 0, 0, 0x71));
    EXPECT_EQ(chain(*manager), (std::vector<int>{0x71, 0, 0x70, 1, 2})) << "no lower room: at the head";
    ASSERT_TRUE(manager->addObject(9, 0, 0, 0x72));
    EXPECT_EQ(chain(*manager).back(), 0x72);
    EXPECT_EQ(manager->tail()->kind, 0x72);
    EXPECT_FALSE(manager->addObject(44, 0, 0, 0)) << "no room 44";
}

TEST(StageObjects, RemovingTheOnlyObjectEmptiesTheChain)
{
    auto manager = build({0x03});
    manager->removeObject(manager->head());
    EXPECT_EQ(manager->head(), nullptr);
    EXPECT_EQ(manager->tail(), nullptr);
    EXPECT_EQ(manager->totalCount(), 0);
    ASSERT_TRUE(manager->addObject(2, 1, 1, 1));
    EXPECT_EQ(manager->head(), manager->tail());
    EXPECT_EQ(manager->head()->kind, 1);
}

TEST(StageObjects, RemovingHeadAndTailKeepsBothEndsRight)
{
    auto manager = build({0x01, 0x02, 0x03});
    manager->removeObject(manager->head());
    manager->removeObject(manager->tail());
    EXPECT_EQ(chain(*manager), (std::vector<int>{1}));
}

TEST(StageObjects, MoveToRoomKeepsTheFreeOrderAndEndsTheRoomUnderByRoom)
{
    auto free = build({0x05, 0x02, 0x07});
    auto* moved = byKind(*free, 0);
    ASSERT_NE(moved, nullptr);
    free->moveToRoom(moved, 9);
    EXPECT_EQ(moved->room, 9);
    EXPECT_EQ(free->orderIndexOf(moved), 0);
    EXPECT_EQ(free->orderIndexOf(byKind(*free, 2)), 2);

    auto byRoom = build({0x01, 0x03, 0x03});
    byRoom->moveToRoom(byKind(*byRoom, 0), 3);
    EXPECT_EQ(kinds(byRoom->lists(3)), (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(byRoom->lists(1).empty());
    byRoom->moveToRoom(byKind(*byRoom, 1), 200);
    ASSERT_NE(byKind(*byRoom, 1), nullptr);
    EXPECT_EQ(byKind(*byRoom, 1)->room, 3) << "a room outside the 44 is refused";
}

TEST(StageObjects, SortByXOrdersByRoomListsOnly)
{
    auto manager = build({0x04, 0x04, 0x04}, {30, 10, 20});
    manager->lists(4).sortByX();
    EXPECT_EQ(kinds(manager->lists(4)), (std::vector<int>{1, 2, 0}));

    auto free = build({0x04, 0x04, 0x04, 0x01}, {30, 10, 20});
    ASSERT_EQ(free->orderType, otFree);
    free->lists(4).sortByX();
    EXPECT_EQ(kinds(free->lists(4)), (std::vector<int>{0, 1, 2}));
}

TEST(StageObjects, SortByXLeavesEqualValuesInTheQuicksortsOrder)
{
    // Traced by hand through the in-place quicksort with the middle node as pivot:
    // it is not stable, and users see the order it leaves.
    auto manager = build({0x00, 0x00, 0x00, 0x00, 0x00}, {5, 5, 1, 5, 5});
    manager->lists(0).sortByX();
    EXPECT_EQ(kinds(manager->lists(0)), (std::vector<int>{2, 3, 4, 1, 0}));
    auto same = build({0x00, 0x00, 0x00, 0x00}, {7, 7, 7, 7});
    same->lists(0).sortByX();
    EXPECT_EQ(kinds(same->lists(0)), (std::vector<int>{2, 3, 0, 1}));
}
