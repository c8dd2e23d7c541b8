#pragma once
#include <cstdint>
#include <string>

#include "core/Rooms.h"

namespace vx {

constexpr int LastLeftViewRoom = LastRoom - 1; // the left view keeps a room to its right

// The cell (column x 8 + row, the room's byte order) of a room view under (x, y); -1 outside.
int RoomCellAt(int x, int y, int width, int height);
// The chip of the map page's 16 x 16 chip table under (x, y); -1 outside.
int MapChipTableAt(int x, int y, int width, int height);

// The rooms the two views show.
struct TViewRooms {
    int left;
    int right;
    bool operator==(const TViewRooms&) const = default;
};
// The first rooms of a stage: its start room (at most 2A) and the room after it.
TViewRooms InitialViewRooms(int startRoom);
// The overall scroll bar moved to `position`: both views move by the same amount, each
// clamped on its own (left 00..2A, right 01..2B), so the gap shrinks at an end.
TViewRooms ScrollBothViews(TViewRooms now, int position);
// A view's own scroll bar moved to `position`: left 00..2A, right 00..2B.
int ClampViewRoom(int view, int position);

// Tool tips: a room cell with its chip, and a chip of the table.
std::string RoomCellHint(int room, int cell, std::uint8_t chip);
std::string ChipTableHint(int chip);

} // namespace vx
