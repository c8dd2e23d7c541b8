#include "rules/MapRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "rules/HitTest.h"

#include <algorithm>

namespace vx {

int roomCellAt(int x, int y, int width, int height)
{
    const int column = cellAt(x, width, 8), row = cellAt(y, height, 8);
    return column < 0 || row < 0 ? -1 : column * 8 + row;
}

int mapChipTableAt(int x, int y, int width, int height)
{
    const int column = cellAt(x, width, 16), row = cellAt(y, height, 16);
    return column < 0 || row < 0 ? -1 : row * 16 + column;
}

ViewRooms initialViewRooms(int startRoom)
{
    const int left = std::clamp(startRoom, 0, LastLeftViewRoom);
    return {left, left + 1};
}

ViewRooms scrollBothViews(ViewRooms now, int position)
{
    const int right = now.right + (position - now.left);
    return {std::clamp(position, 0, LastLeftViewRoom), std::clamp(right, 1, LastRoom)};
}

int clampViewRoom(int view, int position) { return std::clamp(position, 0, view == 0 ? LastLeftViewRoom : LastRoom); }

std::string roomCellHint(int room, int cell, std::uint8_t chip)
{
    const auto hex = [](int value) { return formatHex(static_cast<std::uint32_t>(value & 0xFF), 2); };
    const std::string column = std::to_string(cell / 8), row = std::to_string(cell % 8);
    if (isJapanese())
        return "部屋 " + hex(room) + " 列 " + column + " 行 " + row + " : チップ " + hex(chip);
    return "Room " + hex(room) + ", column " + column + ", row " + row + ": chip " + hex(chip);
}

std::string chipTableHint(int chip)
{
    return localized("32x32チップ ", "32x32 Tile ") + formatHex(static_cast<std::uint32_t>(chip & 0xFF), 2);
}

} // namespace vx
