#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vx {

constexpr int ScrollEntryCount = 32;
constexpr int PathRoomCount = 44;

// Overlay marks of a room on the path.
enum TRoomMark : std::uint8_t {
    rmForward = 1, // ">>"
    rmRight = 2,
    rmDown = 4,
    rmUp = 8,
};

// The path the scroll entries describe from the start point: each room's marks and each
// entry's first (left) room. Entries before the start entry and after the walk ended keep
// the start room.
struct TScrollPath {
    std::array<std::uint8_t, PathRoomCount> roomFlags{};
    std::array<int, ScrollEntryCount> segmentLeftRoom{};
};
TScrollPath WalkScrollPath(std::span<const std::uint8_t> scroll, int startRoom, int startEntry);

// "5 Screens Forward Right", "End", "????" for an entry with bit 4, in the user's language.
std::string ScrollDescription(std::uint8_t entry);
// "03 : 25(5 Screens Forward Right)", with the start marker on the start entry.
std::string ScrollLineText(int index, std::uint8_t entry, bool startEntry);
// The entry the count list and the three boxes make; bit 4 is always clear.
std::uint8_t ScrollEntryOf(int count, bool right, bool down, bool up);
// The overlay texts of the marks, in the user's language, and where each stands.
struct TMarkText {
    TRoomMark mark;
    int x;
    int y;
    std::string text;
};
std::array<TMarkText, 4> MarkTexts();

} // namespace vx
