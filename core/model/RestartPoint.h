#pragma once
#include <array>
#include <cstdint>
#include <memory>

namespace vx {

class StageObjects;

constexpr int RestartPointCount = 6;
constexpr int RestartPointTableCount = 11;

// The eleven image bytes of one restart point, in the order of their settings keys
// (MidPointStartY ... MidPointRightRoom).
using RestartPointBytes = std::array<std::uint8_t, RestartPointTableCount>;

// The nine boxes of a restart point, by tag.
enum RestartPointField {
    mfStartY,
    mfStartRoom,
    mfEnemyIndex,
    mfItemIndex,
    mfMapBackAddr,
    mfMapForwardAddr,
    mfStartScroll,
    mfLeftRoom,
    mfRightRoom,
    RestartPointFieldCount
};

// One restart point of a stage.
class RestartPoint {
public:
    RestartPoint(const RestartPointBytes& bytes, std::int32_t mapAddress, std::shared_ptr<StageObjects> enemyObjects,
                 std::shared_ptr<StageObjects> itemObjects);

    std::uint8_t startY = 0;
    std::uint8_t enemyIndex = 0;
    std::uint8_t itemIndex = 0;
    std::uint8_t startScroll = 0;
    std::uint8_t leftRoom = 0;
    std::uint8_t rightRoom = 0;
    std::uint16_t mapBackAddr = 0;
    std::uint16_t mapForwardAddr = 0;

    std::int32_t mapAddress() const { return mapAddress_; }
    std::uint8_t startRoom() const { return startRoom_; }
    // Sets the start room and the left-end room with it.
    void setStartRoom(std::uint8_t room);

    static std::uint8_t high(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
    static std::uint8_t low(std::uint16_t value) { return static_cast<std::uint8_t>(value); }
    static void setHigh(std::uint16_t& value, std::uint8_t high)
    {
        value = static_cast<std::uint16_t>((value & 0x00FF) | (high << 8));
    }
    static void setLow(std::uint16_t& value, std::uint8_t low)
    {
        value = static_cast<std::uint16_t>((value & 0xFF00) | low);
    }

    // Recomputes the two map addresses and the two object indices from the start room;
    // does nothing for a start room of 44 or more.
    void recalc();
    std::unique_ptr<RestartPoint> clone() const { return std::make_unique<RestartPoint>(*this); }
    bool equals(const RestartPoint& other) const;

    // The eleven image bytes, in the order the constructor takes them.
    RestartPointBytes toBytes() const;
    // Every field from such bytes, as the constructor sets them.
    void setFromBytes(const RestartPointBytes& bytes);

    const StageObjects* enemyObjects() const { return enemyObjects_.get(); }
    const StageObjects* itemObjects() const { return itemObjects_.get(); }

private:
    std::int32_t mapAddress_;
    // Held, not merely referenced, so a record shared into a later stage never outlives
    // the lists it counts in.
    std::shared_ptr<StageObjects> enemyObjects_;
    std::shared_ptr<StageObjects> itemObjects_;
    std::uint8_t startRoom_ = 0;
};

std::uint16_t restartPointFieldValue(const RestartPoint& point, int field);
// Stores a value; the start room takes the left-end room with it.
void setRestartPointField(RestartPoint& point, int field, std::uint16_t value);

} // namespace vx
