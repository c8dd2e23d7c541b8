// Any clipboard text pasted into the room grid at any anchor: cells stay two upper-case hex
// digits, a copy of the grid pastes back to the same grid, and OK's bytes agree with it.
//
// Input: [left: 1 byte][top: 1 byte][clipboard text ...]
#include "rules/MapGridRules.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

bool wellFormed(const GridCells& cells)
{
    for (const std::string& cell : cells) {
        if (cell.size() != 2)
            return false;
        for (char c : cell)
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Anchors a little outside the grid on both sides.
    const int left = static_cast<int>(data[0] % 12) - 2, top = static_cast<int>(data[1] % 12) - 2;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    std::array<std::uint8_t, 64> room{};
    for (std::size_t i = 0; i < room.size(); ++i)
        room[i] = static_cast<std::uint8_t>(i * 7);
    GridCells cells = cellsOfRoom(room);
    pasteText(cells, text, left, top);
    if (!wellFormed(cells))
        std::abort();
    GridCells again = cellsOfRoom(roomOfCells(cells));
    if (again != cells)
        std::abort();
    GridCells copy = cellsOfRoom(std::array<std::uint8_t, 64>{});
    pasteText(copy, copyText(cells, {0, 0, 7, 7}), 0, 0);
    if (copy != cells)
        std::abort();
    return 0;
}
