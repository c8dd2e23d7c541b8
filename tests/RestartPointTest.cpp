#include "core/model/RestartPoint.h"
#include "core/model/StageObjects.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

RestartPointBytes pointBytes(std::uint8_t startRoom, std::uint8_t leftRoom)
{
    //                 Y     room       enemy item back      forward    scroll left      right
    return RestartPointBytes{0xB0, startRoom, 9, 9, 0x12, 0x34, 0x56, 0x78, 2, leftRoom, 7};
}

std::shared_ptr<StageObjects> objects(std::vector<std::uint8_t> rooms)
{
    rooms.push_back(0xFF);
    std::vector<std::uint8_t> zeros(rooms.size());
    return std::make_shared<StageObjects>(rooms, zeros, zeros, zeros, EnemyCapacity);
}

} // namespace

TEST(RestartPoint, ImageLeftRoomWinsButSetStartRoomMovesBoth)
{
    RestartPoint point(pointBytes(3, 2), 0x510, nullptr, nullptr);
    EXPECT_EQ(point.startRoom(), 3);
    EXPECT_EQ(point.leftRoom, 2);
    EXPECT_EQ(point.mapBackAddr, 0x1234);
    EXPECT_EQ(point.mapForwardAddr, 0x5678);
    EXPECT_EQ(point.toBytes(), pointBytes(3, 2)) << "bytes round-trip";
    point.setStartRoom(5);
    EXPECT_EQ(point.startRoom(), 5);
    EXPECT_EQ(point.leftRoom, 5);
}

TEST(RestartPoint, HighAndLowBytesChangeAlone)
{
    RestartPoint point(pointBytes(0, 0), 0x510, nullptr, nullptr);
    RestartPoint::setHigh(point.mapBackAddr, 0xAB);
    EXPECT_EQ(point.mapBackAddr, 0xAB34);
    RestartPoint::setLow(point.mapForwardAddr, 0xCD);
    EXPECT_EQ(point.mapForwardAddr, 0x56CD);
}

TEST(RestartPoint, RecalcPlacesTheMapInTheProgramWindowAndCountsObjects)
{
    auto enemies = objects({0, 1, 1, 3, 4});
    auto items = objects({2, 3});
    RestartPoint point(pointBytes(3, 3), 0x510, enemies, items);
    point.recalc();
    EXPECT_EQ(point.mapBackAddr, 0x85A0);
    EXPECT_EQ(point.mapForwardAddr, 0x8620);
    EXPECT_EQ(point.enemyIndex, 3);
    EXPECT_EQ(point.itemIndex, 1);

    point.setStartRoom(0);
    point.recalc();
    EXPECT_EQ(point.mapBackAddr, 0x84E0);
    EXPECT_EQ(point.mapForwardAddr, 0x8560);

    RestartPoint otherBank(pointBytes(1, 1), 0x1C510, nullptr, nullptr);
    otherBank.recalc();
    EXPECT_EQ(otherBank.mapBackAddr, 0x8520) << "the bank does not count";
    EXPECT_EQ(otherBank.enemyIndex, 9) << "no list, no change";
}

TEST(RestartPoint, RecalcIgnoresRoomsPastTheMap)
{
    RestartPoint point(pointBytes(44, 44), 0x510, objects({1}), objects({}));
    const auto before = point.toBytes();
    point.recalc();
    EXPECT_EQ(point.toBytes(), before);
    RestartPoint last(pointBytes(43, 43), 0x510, nullptr, nullptr);
    last.recalc();
    EXPECT_EQ(last.mapForwardAddr, 0x9020) << "the last room is in the map";
}

TEST(RestartPoint, CloneEqualsUntilRecalcChangesADerivedValue)
{
    auto enemies = objects({0, 5});
    RestartPoint point(RestartPointBytes{0xB0, 5, 1, 0, 0x86, 0x20, 0x86, 0xA0, 0, 5, 6}, 0x4510, enemies, nullptr);
    auto clone = point.clone();
    EXPECT_TRUE(point.equals(*clone));
    point.recalc(); // already consistent
    EXPECT_TRUE(point.equals(*clone));
    point.setStartRoom(6);
    clone = point.clone();
    point.recalc();
    EXPECT_FALSE(point.equals(*clone));
    RestartPoint otherList(point.toBytes(), point.mapAddress(), objects({0, 5}), nullptr);
    EXPECT_FALSE(point.equals(otherList)) << "another list is another record";
}
