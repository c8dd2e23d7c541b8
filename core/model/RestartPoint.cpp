#include "core/model/RestartPoint.h"

#include "core/model/Rooms.h"
#include "core/model/StageObjects.h"

namespace vx {

// Byte order of RestartPointBytes.
enum RestartPointByte {
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

RestartPoint::RestartPoint(const RestartPointBytes& bytes, std::int32_t mapAddress,
                           std::shared_ptr<StageObjects> enemyObjects, std::shared_ptr<StageObjects> itemObjects)
    : mapAddress_(mapAddress), enemyObjects_(std::move(enemyObjects)), itemObjects_(std::move(itemObjects))
{
    setFromBytes(bytes);
}

void RestartPoint::setFromBytes(const RestartPointBytes& bytes)
{
    startY = bytes[mbStartY];
    setStartRoom(bytes[mbStartRoom]);
    enemyIndex = bytes[mbEnemyIndex];
    itemIndex = bytes[mbItemIndex];
    setHigh(mapBackAddr, bytes[mbBackHigh]);
    setLow(mapBackAddr, bytes[mbBackLow]);
    setHigh(mapForwardAddr, bytes[mbForwardHigh]);
    setLow(mapForwardAddr, bytes[mbForwardLow]);
    startScroll = bytes[mbStartScroll];
    leftRoom = bytes[mbLeftRoom]; // the image's value wins over setStartRoom's
    rightRoom = bytes[mbRightRoom];
}

void RestartPoint::setStartRoom(std::uint8_t room)
{
    startRoom_ = room;
    leftRoom = room;
}

void RestartPoint::recalc()
{
    if (startRoom_ >= RoomCount)
        return;
    // Where the map lies in the game's 16 KB window at 0x8000.
    const std::uint32_t base = 0x8000u + static_cast<std::uint32_t>(((mapAddress_ - 0x10) % 0x4000 + 0x4000) % 0x4000);
    mapBackAddr = static_cast<std::uint16_t>(base + startRoom_ * unsigned{RoomSize} - 0x20u);
    mapForwardAddr = static_cast<std::uint16_t>(base + (startRoom_ + 1u) * unsigned{RoomSize} + 0x20u);
    if (enemyObjects_)
        enemyIndex = static_cast<std::uint8_t>(enemyObjects_->firstIndexOfRoom(startRoom_));
    if (itemObjects_)
        itemIndex = static_cast<std::uint8_t>(itemObjects_->firstIndexOfRoom(startRoom_));
}

bool RestartPoint::equals(const RestartPoint& other) const
{
    return mapAddress_ == other.mapAddress_ && enemyObjects_ == other.enemyObjects_ &&
        itemObjects_ == other.itemObjects_ && startY == other.startY && startRoom_ == other.startRoom_ &&
        enemyIndex == other.enemyIndex && itemIndex == other.itemIndex && mapBackAddr == other.mapBackAddr &&
        mapForwardAddr == other.mapForwardAddr && startScroll == other.startScroll && leftRoom == other.leftRoom &&
        rightRoom == other.rightRoom;
}

RestartPointBytes RestartPoint::toBytes() const
{
    RestartPointBytes bytes{};
    bytes[mbStartY] = startY;
    bytes[mbStartRoom] = startRoom_;
    bytes[mbEnemyIndex] = enemyIndex;
    bytes[mbItemIndex] = itemIndex;
    bytes[mbBackHigh] = high(mapBackAddr);
    bytes[mbBackLow] = low(mapBackAddr);
    bytes[mbForwardHigh] = high(mapForwardAddr);
    bytes[mbForwardLow] = low(mapForwardAddr);
    bytes[mbStartScroll] = startScroll;
    bytes[mbLeftRoom] = leftRoom;
    bytes[mbRightRoom] = rightRoom;
    return bytes;
}

std::uint16_t restartPointFieldValue(const RestartPoint& point, int field)
{
    switch (field) {
    case mfStartY: return point.startY;
    case mfStartRoom: return point.startRoom();
    case mfEnemyIndex: return point.enemyIndex;
    case mfItemIndex: return point.itemIndex;
    case mfMapBackAddr: return point.mapBackAddr;
    case mfMapForwardAddr: return point.mapForwardAddr;
    case mfStartScroll: return point.startScroll;
    case mfLeftRoom: return point.leftRoom;
    case mfRightRoom: return point.rightRoom;
    default: return 0;
    }
}

void setRestartPointField(RestartPoint& point, int field, std::uint16_t value)
{
    const auto byte = static_cast<std::uint8_t>(value);
    switch (field) {
    case mfStartY: point.startY = byte; break;
    case mfStartRoom: point.setStartRoom(byte); break;
    case mfEnemyIndex: point.enemyIndex = byte; break;
    case mfItemIndex: point.itemIndex = byte; break;
    case mfMapBackAddr: point.mapBackAddr = value; break;
    case mfMapForwardAddr: point.mapForwardAddr = value; break;
    case mfStartScroll: point.startScroll = byte; break;
    case mfLeftRoom: point.leftRoom = byte; break;
    case mfRightRoom: point.rightRoom = byte; break;
    default: break;
    }
}

} // namespace vx
