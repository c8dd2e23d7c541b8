#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace vx {

// How many rooms a stage has and how big a room is: every room limit derives from here.
constexpr int RoomCount = 44;
constexpr int LastRoom = RoomCount - 1; // 2B
constexpr int RoomSide = 8;             // cells across and down
constexpr int RoomSize = RoomSide * RoomSide;
constexpr int MapSize = RoomCount * RoomSize;
constexpr int RoomPixels = 256; // a room's side on screen and in pictures

// The cells of one room in the stage's map (column x 8 + row); empty when the room or the
// map is too short.
template <typename Byte>
std::span<Byte> roomSpan(std::span<Byte> map, int room)
{
    if (room < 0 || room >= RoomCount || map.size() < static_cast<std::size_t>(room + 1) * RoomSize)
        return {};
    return map.subspan(static_cast<std::size_t>(room) * RoomSize, RoomSize);
}

} // namespace vx
