#include "core/VxObject.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// A manager over enemy-sized tables whose objects are told apart by Kind = their index.
std::unique_ptr<TVxObjectManager> Build(std::vector<std::uint8_t> rooms, std::vector<std::uint8_t> xs = {},
                                        int capacity = EnemyCapacity)
{
    std::vector<std::uint8_t> room(256, 0xFF), x(256), y(256), kind(256);
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        room[i] = rooms[i];
        x[i] = i < xs.size() ? xs[i] : static_cast<std::uint8_t>(i * 3);
        y[i] = static_cast<std::uint8_t>(i + 100);
        kind[i] = static_cast<std::uint8_t>(i);
    }
    return std::make_unique<TVxObjectManager>(room, x, y, kind, capacity);
}

std::vector<int> Order(const TVxObjectManager& manager)
{
    std::vector<int> kinds;
    for (auto* node : manager.ObjectsInOrder())
        kinds.push_back(node->Kind);
    return kinds;
}

std::vector<int> Chain(const TVxObjectManager& manager)
{
    std::vector<int> kinds;
    for (auto* node = manager.Head; node; node = node->Next)
        kinds.push_back(node->Kind);
    std::vector<int> backwards;
    for (auto* node = manager.Tail; node; node = node->Prev)
        backwards.insert(backwards.begin(), node->Kind);
    EXPECT_EQ(kinds, backwards) << "Prev links disagree with Next links";
    return kinds;
}

std::vector<int> Kinds(const TVxObjectList& list)
{
    std::vector<int> kinds;
    for (int i = 0; i < list.Count(); ++i)
        kinds.push_back(list.Items(i)->Kind);
    return kinds;
}

TVxObjectNode* ByKind(TVxObjectManager& manager, int kind)
{
    for (auto* node : manager.ObjectsInOrder())
        if (node->Kind == kind)
            return node;
    ADD_FAILURE() << "no object of kind " << kind;
    return nullptr;
}

} // namespace

TEST(VxObject, OrderTypeComesFromWhetherRoomsEverDecrease)
{
    EXPECT_EQ(Build({0x00, 0x00, 0x03, 0x03, 0x2B})->OrderType, otByRoom);
    EXPECT_EQ(Build({0x03, 0x05, 0x01})->OrderType, otFree);
    EXPECT_EQ(Build({})->OrderType, otByRoom);
}

TEST(VxObject, ConstructionStopsAtTheEndMarkOrAtCapacity)
{
    auto empty = Build({0x2C, 0x01});
    EXPECT_EQ(empty->TotalCount(), 0);
    EXPECT_EQ(empty->Head, nullptr);
    EXPECT_EQ(empty->Tail, nullptr);
    std::vector<std::uint8_t> room(256, 0xAA), x(256, 0xAA), y(256, 0xAA), kind(256, 0xAA);
    empty->ExportTables(room, x, y, kind);
    EXPECT_EQ(room[0], 0xFF);
    EXPECT_EQ(room[1], 0xAA);
    EXPECT_EQ(x[0], 0xAA) << "only the Room table carries the end mark";

    auto full = Build(std::vector<std::uint8_t>(200, 0x05));
    EXPECT_EQ(full->TotalCount(), 128);
    std::fill(room.begin(), room.end(), 0xAA);
    full->ExportTables(room, x, y, kind);
    EXPECT_EQ(room[127], 0x05);
    EXPECT_EQ(room[128], 0xFF);
    EXPECT_EQ(room[129], 0xAA);
    EXPECT_FALSE(full->AddObject(1, 1, 1, 1));

    auto items = Build(std::vector<std::uint8_t>(64, 0x00), {}, ItemCapacity);
    EXPECT_EQ(items->TotalCount(), 32);
}

TEST(VxObject, ShortTablesNeitherReadNorWritePastTheirEnd)
{
    std::vector<std::uint8_t> room{1, 2, 3}, x{9}, y{}, kind{7, 7};
    TVxObjectManager manager(room, x, y, kind, EnemyCapacity);
    EXPECT_EQ(manager.TotalCount(), 3);
    std::vector<std::uint8_t> outRoom(3), outX(1), outY(0), outKind(2);
    manager.ExportTables(outRoom, outX, outY, outKind);
    EXPECT_EQ(outRoom, room) << "no room for the end mark, and none written";
}

TEST(VxObject, ExportWritesTheObjectOrderAndRoundTrips)
{
    auto manager = Build({0x03, 0x05, 0x01, 0x05});
    std::vector<std::uint8_t> room(256), x(256), y(256), kind(256);
    manager->ExportTables(room, x, y, kind);
    TVxObjectManager rebuilt(room, x, y, kind, EnemyCapacity);
    EXPECT_EQ(rebuilt.OrderType, otFree);
    EXPECT_EQ(Order(rebuilt), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(room[4], 0xFF);
    EXPECT_EQ(y[2], 102);
}

TEST(VxObject, SwitchingToByRoomGroupsTheChainByRoomKeepingChainOrderWithinARoom)
{
    auto manager = Build({0x05, 0x02, 0x05}); // a, b, c
    ASSERT_EQ(manager->OrderType, otFree);
    EXPECT_EQ(Order(*manager), (std::vector<int>{0, 1, 2}));
    manager->SetOrderType(otByRoom);
    EXPECT_EQ(Order(*manager), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(Kinds(manager->Lists(5)), (std::vector<int>{0, 2}));
}

TEST(VxObject, ByRoomToFreeAndBackKeepsEveryRoomList)
{
    auto manager = Build({0x01, 0x01, 0x04, 0x04, 0x04, 0x09});
    manager->MoveEarlier(ByKind(*manager, 4));
    const auto before = Kinds(manager->Lists(4));
    manager->SetOrderType(otFree);
    EXPECT_EQ(Chain(*manager), Order(*manager));
    EXPECT_EQ(Order(*manager), (std::vector<int>{0, 1, 2, 4, 3, 5})) << "free order starts as by-room order";
    manager->SetOrderType(otByRoom);
    EXPECT_EQ(Kinds(manager->Lists(4)), before);
    EXPECT_EQ(manager->TotalCount(), 6);
}

TEST(VxObject, WalkingTheOrderCrossesEmptyRoomsAndStopsAtTheEnds)
{
    auto manager = Build({0x02, 0x02, 0x07, 0x2A});
    auto* first = ByKind(*manager, 0);
    auto* last = ByKind(*manager, 3);
    const TVxObjectNode* next = manager->NextObject(ByKind(*manager, 1));
    const TVxObjectNode* previous = manager->PrevObject(ByKind(*manager, 2));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(next->Kind, 2);
    EXPECT_EQ(previous->Kind, 1);
    EXPECT_EQ(manager->PrevObject(first), nullptr);
    EXPECT_EQ(manager->NextObject(last), nullptr);
    EXPECT_EQ(manager->OrderIndexOf(last), 3);
    EXPECT_EQ(manager->FirstIndexOfRoom(3), 2);
    EXPECT_EQ(manager->FirstIndexOfRoom(44), 4);
}

TEST(VxObject, FirstIndexOfRoomUnderFreeOrderStopsAtTheFirstHigherRoom)
{
    auto manager = Build({0x00, 0x03, 0x01, 0x05});
    ASSERT_EQ(manager->OrderType, otFree);
    EXPECT_EQ(manager->FirstIndexOfRoom(2), 1);
    EXPECT_EQ(manager->FirstIndexOfRoom(6), 4);
    EXPECT_EQ(manager->FirstIndexOfRoom(0), 0);
}

TEST(VxObject, MovesStayInsideTheRoomUnderByRoomAndFollowTheChainUnderFree)
{
    auto manager = Build({0x04, 0x05, 0x05});
    EXPECT_FALSE(manager->MoveEarlier(ByKind(*manager, 1))) << "never into room 4";
    EXPECT_FALSE(manager->MoveLater(ByKind(*manager, 2)));
    EXPECT_TRUE(manager->MoveLater(ByKind(*manager, 1)));
    EXPECT_EQ(Order(*manager), (std::vector<int>{0, 2, 1}));

    auto free = Build({0x05, 0x02, 0x07, 0x01});
    ASSERT_EQ(free->OrderType, otFree);
    EXPECT_TRUE(free->MoveEarlier(ByKind(*free, 1)));
    EXPECT_EQ(Chain(*free), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(free->Head->Kind, 1);
    EXPECT_FALSE(free->MoveEarlier(ByKind(*free, 1)));
    EXPECT_TRUE(free->MoveLater(ByKind(*free, 2)));
    EXPECT_EQ(Chain(*free), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(free->Tail->Kind, 2);
    EXPECT_FALSE(free->MoveLater(ByKind(*free, 2)));
}

TEST(VxObject, AddObjectUnderFreeOrderGoesBehindTheLastObjectOfTheNearestRoomAtOrBelow)
{
    // Chain: room 5 (n), room 1, room 9. Room 6 is empty.
    auto manager = Build({0x05, 0x01, 0x09});
    ASSERT_EQ(manager->OrderType, otFree);
    ASSERT_TRUE(manager->AddObject(7, 0, 0, 0x70));
    EXPECT_EQ(Chain(*manager), (std::vector<int>{0, 0x70, 1, 2}));
    ASSERT_TRUE(manager->AddObject(0, 0, 0, 0x71));
    EXPECT_EQ(Chain(*manager), (std::vector<int>{0x71, 0, 0x70, 1, 2})) << "no lower room: at the head";
    ASSERT_TRUE(manager->AddObject(9, 0, 0, 0x72));
    EXPECT_EQ(Chain(*manager).back(), 0x72);
    EXPECT_EQ(manager->Tail->Kind, 0x72);
    EXPECT_FALSE(manager->AddObject(44, 0, 0, 0)) << "no room 44";
}

TEST(VxObject, RemovingTheOnlyObjectEmptiesTheChain)
{
    auto manager = Build({0x03});
    manager->RemoveObject(manager->Head);
    EXPECT_EQ(manager->Head, nullptr);
    EXPECT_EQ(manager->Tail, nullptr);
    EXPECT_EQ(manager->TotalCount(), 0);
    ASSERT_TRUE(manager->AddObject(2, 1, 1, 1));
    EXPECT_EQ(manager->Head, manager->Tail);
    EXPECT_EQ(manager->Head->Kind, 1);
}

TEST(VxObject, RemovingHeadAndTailKeepsBothEndsRight)
{
    auto manager = Build({0x01, 0x02, 0x03});
    manager->RemoveObject(manager->Head);
    manager->RemoveObject(manager->Tail);
    EXPECT_EQ(Chain(*manager), (std::vector<int>{1}));
}

TEST(VxObject, MoveToRoomKeepsTheFreeOrderAndEndsTheRoomUnderByRoom)
{
    auto free = Build({0x05, 0x02, 0x07});
    auto* moved = ByKind(*free, 0);
    ASSERT_NE(moved, nullptr);
    free->MoveToRoom(moved, 9);
    EXPECT_EQ(moved->Room, 9);
    EXPECT_EQ(free->OrderIndexOf(moved), 0);
    EXPECT_EQ(free->OrderIndexOf(ByKind(*free, 2)), 2);

    auto byRoom = Build({0x01, 0x03, 0x03});
    byRoom->MoveToRoom(ByKind(*byRoom, 0), 3);
    EXPECT_EQ(Kinds(byRoom->Lists(3)), (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(byRoom->Lists(1).Empty());
    byRoom->MoveToRoom(ByKind(*byRoom, 1), 200);
    ASSERT_NE(ByKind(*byRoom, 1), nullptr);
    EXPECT_EQ(ByKind(*byRoom, 1)->Room, 3) << "a room outside the 44 is refused";
}

TEST(VxObject, SortByXOrdersByRoomListsOnly)
{
    auto manager = Build({0x04, 0x04, 0x04}, {30, 10, 20});
    manager->Lists(4).SortByX();
    EXPECT_EQ(Kinds(manager->Lists(4)), (std::vector<int>{1, 2, 0}));

    auto free = Build({0x04, 0x04, 0x04, 0x01}, {30, 10, 20});
    ASSERT_EQ(free->OrderType, otFree);
    free->Lists(4).SortByX();
    EXPECT_EQ(Kinds(free->Lists(4)), (std::vector<int>{0, 1, 2}));
}

TEST(VxObject, SortByXLeavesEqualValuesInTheQuicksortsOrder)
{
    // Traced by hand through the in-place quicksort with the middle node as pivot:
    // it is not stable, and users see the order it leaves.
    auto manager = Build({0x00, 0x00, 0x00, 0x00, 0x00}, {5, 5, 1, 5, 5});
    manager->Lists(0).SortByX();
    EXPECT_EQ(Kinds(manager->Lists(0)), (std::vector<int>{2, 3, 4, 1, 0}));
    auto same = Build({0x00, 0x00, 0x00, 0x00}, {7, 7, 7, 7});
    same->Lists(0).SortByX();
    EXPECT_EQ(Kinds(same->Lists(0)), (std::vector<int>{2, 3, 0, 1}));
}
