#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "core/model/Rooms.h"

namespace vx {

constexpr int ScrollEntryCount = 32;

// Overlay marks of a room on the path.
enum RoomMark : std::uint8_t {
    rmForward = 1, // ">>"
    rmRight = 2,
    rmDown = 4,
    rmUp = 8,
};

// The path the scroll entries describe from the start point: each room's marks and each
// entry's first (left) room. Entries before the start entry and after the walk ended keep
// the start room.
struct ScrollPath {
    std::array<std::uint8_t, RoomCount> roomFlags{};
    std::array<int, ScrollEntryCount> segmentLeftRoom{};
};
ScrollPath walkScrollPath(std::span<const std::uint8_t> scroll, int startRoom, int startEntry);

} // namespace vx
