#include "core/MidPoint.h"
#include "core/VxObject.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

MidPointBytes Bytes(std::uint8_t startRoom, std::uint8_t leftRoom)
{
    //                 Y     room       enemy item back      forward    scroll left      right
    return MidPointBytes{0xB0, startRoom, 9, 9, 0x12, 0x34, 0x56, 0x78, 2, leftRoom, 7};
}

std::shared_ptr<TVxObjectManager> Objects(std::vector<std::uint8_t> rooms)
{
    rooms.push_back(0xFF);
    std::vector<std::uint8_t> zeros(rooms.size());
    return std::make_shared<TVxObjectManager>(rooms, zeros, zeros, zeros, EnemyCapacity);
}

} // namespace

TEST(MidPoint, ImageLeftRoomWinsButSetStartRoomMovesBoth)
{
    TMidPoint point(Bytes(3, 2), 0x510, nullptr, nullptr);
    EXPECT_EQ(point.StartRoom(), 3);
    EXPECT_EQ(point.LeftRoom, 2);
    EXPECT_EQ(point.MapBackAddr, 0x1234);
    EXPECT_EQ(point.MapForwardAddr, 0x5678);
    EXPECT_EQ(point.ToBytes(), Bytes(3, 2)) << "bytes round-trip";
    point.SetStartRoom(5);
    EXPECT_EQ(point.StartRoom(), 5);
    EXPECT_EQ(point.LeftRoom, 5);
}

TEST(MidPoint, HighAndLowBytesChangeAlone)
{
    TMidPoint point(Bytes(0, 0), 0x510, nullptr, nullptr);
    TMidPoint::SetHigh(point.MapBackAddr, 0xAB);
    EXPECT_EQ(point.MapBackAddr, 0xAB34);
    TMidPoint::SetLow(point.MapForwardAddr, 0xCD);
    EXPECT_EQ(point.MapForwardAddr, 0x56CD);
}

TEST(MidPoint, RecalcPlacesTheMapInTheProgramWindowAndCountsObjects)
{
    auto enemies = Objects({0, 1, 1, 3, 4});
    auto items = Objects({2, 3});
    TMidPoint point(Bytes(3, 3), 0x510, enemies, items);
    point.Recalc();
    EXPECT_EQ(point.MapBackAddr, 0x85A0);
    EXPECT_EQ(point.MapForwardAddr, 0x8620);
    EXPECT_EQ(point.EnemyIndex, 3);
    EXPECT_EQ(point.ItemIndex, 1);

    point.SetStartRoom(0);
    point.Recalc();
    EXPECT_EQ(point.MapBackAddr, 0x84E0);
    EXPECT_EQ(point.MapForwardAddr, 0x8560);

    TMidPoint otherBank(Bytes(1, 1), 0x1C510, nullptr, nullptr);
    otherBank.Recalc();
    EXPECT_EQ(otherBank.MapBackAddr, 0x8520) << "the bank does not count";
    EXPECT_EQ(otherBank.EnemyIndex, 9) << "no list, no change";

}

TEST(MidPoint, RecalcIgnoresRoomsPastTheMap)
{
    TMidPoint point(Bytes(44, 44), 0x510, Objects({1}), Objects({}));
    const auto before = point.ToBytes();
    point.Recalc();
    EXPECT_EQ(point.ToBytes(), before);
}

TEST(MidPoint, CloneEqualsUntilRecalcChangesADerivedValue)
{
    auto enemies = Objects({0, 5});
    TMidPoint point(MidPointBytes{0xB0, 5, 1, 0, 0x86, 0x20, 0x86, 0xA0, 0, 5, 6}, 0x4510, enemies, nullptr);
    auto clone = point.Clone();
    EXPECT_TRUE(point.Equals(*clone));
    point.Recalc(); // already consistent
    EXPECT_TRUE(point.Equals(*clone));
    point.SetStartRoom(6);
    clone = point.Clone();
    point.Recalc();
    EXPECT_FALSE(point.Equals(*clone));
    TMidPoint otherList(point.ToBytes(), point.MapAddress(), Objects({0, 5}), nullptr);
    EXPECT_FALSE(point.Equals(otherList)) << "another list is another record";
}
