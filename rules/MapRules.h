#pragma once
#include <cstdint>
#include <string>

#include "core/model/Rooms.h"

namespace vx {

constexpr int LastLeftViewRoom = LastRoom - 1; // the left view keeps a room to its right

// The cell (column x 8 + row, the room's byte order) of a room view under (x, y); -1 outside.
int roomCellAt(int x, int y, int width, int height);
// The chip of the map page's 16 x 16 chip table under (x, y); -1 outside.
int mapChipTableAt(int x, int y, int width, int height);

// The rooms the two views show.
struct ViewRooms {
    int left;
    int right;
    bool operator==(const ViewRooms&) const = default;
};
// The first rooms of a stage: its start room (at most 2A) and the room after it.
ViewRooms initialViewRooms(int startRoom);
// The overall scroll bar moved to `position`: both views move by the same amount, each
// clamped on its own (left 00..2A, right 01..2B), so the gap shrinks at an end.
ViewRooms scrollBothViews(ViewRooms now, int position);
// A view's own scroll bar moved to `position`: left 00..2A, right 00..2B.
int clampViewRoom(int view, int position);

// Tool tips: a room cell with its chip, and a chip of the table.
std::string roomCellHint(int room, int cell, std::uint8_t chip);
std::string chipTableHint(int chip);

} // namespace vx
