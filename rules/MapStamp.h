#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/Result.h"
#include "rules/MapRules.h"

namespace vx {

// A rectangle of map chips the map page paints with: up to two rooms wide (16 columns)
// and one room high (8 rows), chips row by row.
struct MapStamp {
    static constexpr int MaxWidth = 16;
    static constexpr int MaxHeight = 8;

    int width = 1;
    int height = 1;
    std::vector<std::uint8_t> chips = std::vector<std::uint8_t>(1);

    std::uint8_t at(int column, int row) const { return chips[static_cast<std::size_t>(row * width + column)]; }
    bool operator==(const MapStamp&) const = default;
};

// A cell of one of the two room views: the view (0 left, 1 right) and the cell (column x 8
// + row, the room's byte order).
struct ViewCell {
    int view = 0;
    int cell = 0;
    bool operator==(const ViewCell&) const = default;
};

// The rectangle between two cells, taken from the rooms the views show. When the right view
// shows the room after the left one the rectangle may cross from one into the other;
// otherwise it stays in the first cell's view.
MapStamp captureStamp(std::span<const std::uint8_t> map, ViewRooms rooms, ViewCell from, ViewCell to);
// The top-left cell of that rectangle, as a view cell.
ViewCell stampCorner(ViewRooms rooms, ViewCell from, ViewCell to);

// Where a stamp with its top-left on a cell writes: (map position, chip) pairs. Columns
// past the room continue into the next room when the right view shows it beside this
// one, else they are dropped, as are rows below the room.
std::vector<std::pair<int, std::uint8_t>> stampWrites(const MapStamp& stamp, ViewRooms rooms, ViewCell at);

// The stamp as the grid dialog copies cells: two hex digits each, one blank between them,
// CR LF after every row.
std::string stampText(const MapStamp& stamp);
// Such text back; blanks, tabs and any line ends separate. Refused with the reason: more
// than 256 characters (the grid dialog's limit), a token that is not a hex byte, rows of
// different lengths, or more than 16 columns or 8 rows.
Result<MapStamp> stampOfText(std::string_view text);

} // namespace vx
