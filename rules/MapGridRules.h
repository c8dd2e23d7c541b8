#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vx {

constexpr int GridSize = 8;
constexpr std::size_t MaxPasteCharacters = 256;

// The texts of the room grid, cell (column, row) at column x 8 + row: the room's byte order.
using GridCells = std::array<std::string, GridSize * GridSize>;
constexpr int gridIndex(int column, int row) { return column * GridSize + row; }

// A selection, columns left..right and rows top..bottom.
struct GridRange {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const GridRange&) const = default;
};

GridCells cellsOfRoom(std::span<const std::uint8_t> room);
// What OK writes: each cell's low byte (a cell that does not convert gives 00).
std::array<std::uint8_t, GridSize * GridSize> roomOfCells(const GridCells& cells);

// A typed character: hex digits only (false for any other). A cell of fewer than two
// characters takes it at its end; a full cell starts over with it.
bool typeIntoCell(std::string& cell, char typed);
// Every cell as at least two upper-case hex digits; a text that does not convert is 00.
void normalizeCells(GridCells& cells);

// The selection for copy and fill: nothing when it lies outside the grid or is inverted,
// otherwise clamped to it.
std::optional<GridRange> clampRange(GridRange range);
// The selection as text: cells separated by one blank, CR LF after every row. Empty for a
// selection outside the grid.
std::string copyText(const GridCells& cells, GridRange range);
// Pastes text at (left, top): blanks separate cells, CR LF, CR or LF ends a row; cells
// beyond the grid are dropped and tokens that are not a hex byte leave their cell alone.
// A text of more than 256 characters (UTF-16 units, as the clipboard counts them) pastes
// nothing. Returns whether any cell was set.
bool pasteText(GridCells& cells, std::string_view utf8Text, int left, int top);
// The fill dialog's answer: a hex byte, or nothing.
std::optional<std::uint8_t> parseFillValue(std::string_view text);
// Fills the selection; false when it lies outside the grid.
bool fillCells(GridCells& cells, GridRange range, std::uint8_t value);

// The dialog's caption for a room, in the user's language.
std::string gridCaption(int room);
// The fill dialog's caption and prompt, in the user's language.
std::string fillCaption();
std::string fillPrompt();

} // namespace vx
