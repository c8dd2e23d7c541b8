#include "rules/MapRules.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "rules/HitTest.h"

#include <algorithm>

namespace vx {

int RoomCellAt(int x, int y, int width, int height)
{
    const int column = CellAt(x, width, 8), row = CellAt(y, height, 8);
    return column < 0 || row < 0 ? -1 : column * 8 + row;
}

int MapChipTableAt(int x, int y, int width, int height)
{
    const int column = CellAt(x, width, 16), row = CellAt(y, height, 16);
    return column < 0 || row < 0 ? -1 : row * 16 + column;
}

TViewRooms InitialViewRooms(int startRoom)
{
    const int left = std::clamp(startRoom, 0, LastLeftViewRoom);
    return {left, left + 1};
}

TViewRooms ScrollBothViews(TViewRooms now, int position)
{
    const int right = now.right + (position - now.left);
    return {std::clamp(position, 0, LastLeftViewRoom), std::clamp(right, 1, LastRoom)};
}

int ClampViewRoom(int view, int position)
{
    return std::clamp(position, 0, view == 0 ? LastLeftViewRoom : LastRoom);
}

std::string RoomCellHint(int room, int cell, std::uint8_t chip)
{
    const auto hex = [](int value) { return FormatHex(static_cast<std::uint32_t>(value & 0xFF), 2); };
    const std::string column = std::to_string(cell / 8), row = std::to_string(cell % 8);
    if (IsJapanese())
        return "部屋 " + hex(room) + " 列 " + column + " 行 " + row + " : チップ " + hex(chip);
    return "Room " + hex(room) + ", column " + column + ", row " + row + ": chip " + hex(chip);
}

std::string ChipTableHint(int chip)
{
    return Tr("32x32チップ ", "32x32 Tile ") + FormatHex(static_cast<std::uint32_t>(chip & 0xFF), 2);
}

} // namespace vx
