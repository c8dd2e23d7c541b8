#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Result.h"
#include "core/model/PatternSources.h"

namespace vx {

struct PngPicture;

// A stage's two tables of 256 tiles within its pattern data.
enum class TileTable {
    Background, // the second half: the chips' tiles
    Sprites,    // the first half
};
constexpr int tableStart(TileTable table) { return table == TileTable::Background ? TileTableLength : 0; }

// A pixel's 2-bit colour in a tile of 16 bytes (plane 0, then plane 1; bit 7 leftmost).
std::uint8_t tilePixel(std::span<const std::uint8_t, TileLength> tile, int x, int y);
// The tile's two plane bytes of row y after the pixel took the colour (0-3).
std::pair<std::uint8_t, std::uint8_t> paintedRow(std::span<const std::uint8_t, TileLength> tile, int x, int y,
                                                 int colour);

// Where a pixel of the table picture (128x128, tiles paired above each other as the chip
// sheet lays them out) lies: tile and pixel within it; and the reverse.
struct TilePixel {
    int tile = 0;
    int x = 0;
    int y = 0;
};
TilePixel tilePixelAtPicture(int x, int y);
// The top-left corner of a tile in that picture.
std::pair<int, int> tilePictureCorner(int tile);

// How the 256 tiles lie in a 128x128 sheet: 16 a row in tile order, or each 16x16 chip
// (tiles 4n..4n+3: top-left, bottom-left, top-right, bottom-right) a square, 8 chips a row,
// as the tiles page shows the table (tilePixelAtPicture).
enum class TileLayout {
    Tiles,
    Chips,
};
// "tiles", "chips": the layout's name in the tool's options and the preferences; and back.
const char* tileLayoutName(TileLayout layout);
std::optional<TileLayout> tileLayoutNamed(std::string_view name);
// The tile under sheet pixel (x, y) in the layout.
int tileAtSheet(int x, int y, TileLayout layout);

// A table as the 128x128 sheet of tile editors, one 2-bit value per pixel; and back.
constexpr int SheetSide = 128;
std::vector<std::uint8_t> sheetOfTable(std::span<const std::uint8_t, TileTableLength> table,
                                       TileLayout layout = TileLayout::Tiles);
std::array<std::uint8_t, TileTableLength> tableOfSheet(std::span<const std::uint8_t> sheet,
                                                       TileLayout layout = TileLayout::Tiles);

// The sheet's 2-bit values read from a picture: a palette picture whose palette begins with
// the four colours by its indices (each 0-3); one whose palette another program rewrote
// (reordered, alike colours merged) by a pixel's colour where it is one of the four, else by
// its index (0-3); any other picture by its colours (each exactly one of the four). Where two
// of the four are the same colour, a pixel read by colour keeps the value it has now.
// Refused when the picture is not 128x128 or, for the first pixel that fits neither way,
// naming it, its tile (in the layout) and colour.
Result<std::vector<std::uint8_t>> sheetOfPicture(const PngPicture& picture, std::span<const std::uint32_t, 4> colours,
                                                 std::span<const std::uint8_t, TileTableLength> table,
                                                 TileLayout layout = TileLayout::Tiles);

// "03, 1A, 2F": tile or stage numbers, two upper-case hex digits each.
std::string hexListText(std::span<const int> numbers);

} // namespace vx
