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
using TGridCells = std::array<std::string, GridSize * GridSize>;
constexpr int GridIndex(int column, int row) { return column * GridSize + row; }

// A selection, columns left..right and rows top..bottom.
struct TGridRange {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const TGridRange&) const = default;
};

TGridCells CellsOfRoom(std::span<const std::uint8_t> room);
// What OK writes: each cell's low byte (a cell that does not convert gives 00).
std::array<std::uint8_t, GridSize * GridSize> RoomOfCells(const TGridCells& cells);

// A typed character: hex digits only (false for any other). A cell of fewer than two
// characters takes it at its end; a full cell starts over with it.
bool TypeIntoCell(std::string& cell, char typed);
// Every cell as at least two upper-case hex digits; a text that does not convert is 00.
void NormalizeCells(TGridCells& cells);

// The selection for copy and fill: nothing when it lies outside the grid or is inverted,
// otherwise clamped to it.
std::optional<TGridRange> ClampRange(TGridRange range);
// The selection as text: cells separated by one blank, CR LF after every row. Empty for a
// selection outside the grid.
std::string CopyText(const TGridCells& cells, TGridRange range);
// Pastes text at (left, top): blanks separate cells, CR LF, CR or LF ends a row; cells
// beyond the grid are dropped and tokens that are not a hex byte leave their cell alone.
// A text of more than 256 characters (UTF-16 units, as the clipboard counts them) pastes
// nothing. Returns whether any cell was set.
bool PasteText(TGridCells& cells, std::string_view utf8Text, int left, int top);
// The fill dialog's answer: a hex byte, or nothing.
std::optional<std::uint8_t> ParseFillValue(std::string_view text);
// Fills the selection; false when it lies outside the grid.
bool FillCells(TGridCells& cells, TGridRange range, std::uint8_t value);

// The dialog's caption for a room, in the user's language.
std::string GridCaption(int room);
// The fill dialog's caption and prompt, in the user's language.
std::string FillCaption();
std::string FillPrompt();

} // namespace vx
