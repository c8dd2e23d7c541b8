#pragma once
#include <array>
#include <cstdint>
#include <memory>

namespace vx {

class TVxObjectManager;

constexpr int MidPointCount = 6;
constexpr int MidPointTableCount = 11;

// The eleven image bytes of one mid-point, in the order of their settings keys
// (MidPointStartY ... MidPointRightRoom).
using MidPointBytes = std::array<std::uint8_t, MidPointTableCount>;

// One restart point of a stage.
class TMidPoint {
public:
    TMidPoint(const MidPointBytes& bytes, std::int32_t mapAddress,
              std::shared_ptr<TVxObjectManager> enemyObjects,
              std::shared_ptr<TVxObjectManager> itemObjects);

    std::uint8_t StartY = 0;
    std::uint8_t EnemyIndex = 0;
    std::uint8_t ItemIndex = 0;
    std::uint8_t StartScroll = 0;
    std::uint8_t LeftRoom = 0;
    std::uint8_t RightRoom = 0;
    std::uint16_t MapBackAddr = 0;
    std::uint16_t MapForwardAddr = 0;

    std::int32_t MapAddress() const { return mapAddress_; }
    std::uint8_t StartRoom() const { return startRoom_; }
    // Sets the start room and the left-end room with it.
    void SetStartRoom(std::uint8_t room);

    static std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
    static std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value); }
    static void SetHigh(std::uint16_t& value, std::uint8_t high) { value = static_cast<std::uint16_t>((value & 0x00FF) | (high << 8)); }
    static void SetLow(std::uint16_t& value, std::uint8_t low) { value = static_cast<std::uint16_t>((value & 0xFF00) | low); }

    // Recomputes the two map addresses and the two object indices from the start room;
    // does nothing for a start room of 44 or more.
    void Recalc();
    std::unique_ptr<TMidPoint> Clone() const { return std::make_unique<TMidPoint>(*this); }
    bool Equals(const TMidPoint& other) const;

    // The eleven image bytes, in the order the constructor takes them.
    MidPointBytes ToBytes() const;
    // Every field from such bytes, as the constructor sets them.
    void SetFromBytes(const MidPointBytes& bytes);

    const TVxObjectManager* EnemyObjects() const { return enemyObjects_.get(); }
    const TVxObjectManager* ItemObjects() const { return itemObjects_.get(); }

private:
    std::int32_t mapAddress_;
    // Held, not merely referenced, so a record shared into a later stage never outlives
    // the lists it counts in.
    std::shared_ptr<TVxObjectManager> enemyObjects_;
    std::shared_ptr<TVxObjectManager> itemObjects_;
    std::uint8_t startRoom_ = 0;
};

} // namespace vx
