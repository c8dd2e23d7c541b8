#include "core/MidPoint.h"

#include "core/Rooms.h"
#include "core/VxObject.h"

namespace vx {

// Byte order of MidPointBytes.
enum MidPointByte {
    mbStartY,
    mbStartRoom,
    mbEnemyIndex,
    mbItemIndex,
    mbBackHigh,
    mbBackLow,
    mbForwardHigh,
    mbForwardLow,
    mbStartScroll,
    mbLeftRoom,
    mbRightRoom,
};

TMidPoint::TMidPoint(const MidPointBytes& bytes, std::int32_t mapAddress,
                     std::shared_ptr<TVxObjectManager> enemyObjects,
                     std::shared_ptr<TVxObjectManager> itemObjects)
    : mapAddress_(mapAddress), enemyObjects_(std::move(enemyObjects)),
      itemObjects_(std::move(itemObjects))
{
    SetFromBytes(bytes);
}

void TMidPoint::SetFromBytes(const MidPointBytes& bytes)
{
    StartY = bytes[mbStartY];
    SetStartRoom(bytes[mbStartRoom]);
    EnemyIndex = bytes[mbEnemyIndex];
    ItemIndex = bytes[mbItemIndex];
    SetHigh(MapBackAddr, bytes[mbBackHigh]);
    SetLow(MapBackAddr, bytes[mbBackLow]);
    SetHigh(MapForwardAddr, bytes[mbForwardHigh]);
    SetLow(MapForwardAddr, bytes[mbForwardLow]);
    StartScroll = bytes[mbStartScroll];
    LeftRoom = bytes[mbLeftRoom]; // the image's value wins over SetStartRoom's
    RightRoom = bytes[mbRightRoom];
}

void TMidPoint::SetStartRoom(std::uint8_t room)
{
    startRoom_ = room;
    LeftRoom = room;
}

void TMidPoint::Recalc()
{
    if (startRoom_ >= RoomCount)
        return;
    // Where the map lies in the game's 16 KB window at 0x8000.
    const std::uint32_t base = 0x8000u + static_cast<std::uint32_t>(((mapAddress_ - 0x10) % 0x4000 + 0x4000) % 0x4000);
    MapBackAddr = static_cast<std::uint16_t>(base + startRoom_ * unsigned{RoomSize} - 0x20u);
    MapForwardAddr = static_cast<std::uint16_t>(base + (startRoom_ + 1u) * unsigned{RoomSize} + 0x20u);
    if (enemyObjects_)
        EnemyIndex = static_cast<std::uint8_t>(enemyObjects_->FirstIndexOfRoom(startRoom_));
    if (itemObjects_)
        ItemIndex = static_cast<std::uint8_t>(itemObjects_->FirstIndexOfRoom(startRoom_));
}

bool TMidPoint::Equals(const TMidPoint& other) const
{
    return mapAddress_ == other.mapAddress_ && enemyObjects_ == other.enemyObjects_ &&
           itemObjects_ == other.itemObjects_ && StartY == other.StartY &&
           startRoom_ == other.startRoom_ && EnemyIndex == other.EnemyIndex &&
           ItemIndex == other.ItemIndex && MapBackAddr == other.MapBackAddr &&
           MapForwardAddr == other.MapForwardAddr && StartScroll == other.StartScroll &&
           LeftRoom == other.LeftRoom && RightRoom == other.RightRoom;
}

MidPointBytes TMidPoint::ToBytes() const
{
    MidPointBytes bytes{};
    bytes[mbStartY] = StartY;
    bytes[mbStartRoom] = startRoom_;
    bytes[mbEnemyIndex] = EnemyIndex;
    bytes[mbItemIndex] = ItemIndex;
    bytes[mbBackHigh] = High(MapBackAddr);
    bytes[mbBackLow] = Low(MapBackAddr);
    bytes[mbForwardHigh] = High(MapForwardAddr);
    bytes[mbForwardLow] = Low(MapForwardAddr);
    bytes[mbStartScroll] = StartScroll;
    bytes[mbLeftRoom] = LeftRoom;
    bytes[mbRightRoom] = RightRoom;
    return bytes;
}

} // namespace vx
