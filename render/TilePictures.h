#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/base/Result.h"
#include "core/model/TileSheet.h"

namespace vx {

class PaletteManager;
class StageData;

// A console colour (0-3F; any other gives the colour file's grey) as 0xRRGGBB, as PNG
// pictures and palette files hold colours.
std::uint32_t consoleColour(const PaletteManager& palette, int colourIndex);

// The four colours (0xRRGGBB) a table's tiles show in sub-palette 0-3: colour 0 is the
// background palette's entry 0 for both tables, as the console shows it; 1-3 are entries
// 4p+1..4p+3 of the background or the sprite palette.
std::array<std::uint32_t, 4> subPaletteColours(const StageData& stage, const PaletteManager& palette, TileTable table,
                                               int subPalette);

// The table's tiles as the user sees them now, as a 128x128 palette PNG in the layout whose
// four palette entries are the sub-palette's colours.
std::vector<std::uint8_t> tilePicturePng(const StageData& stage, const PaletteManager& palette, TileTable table,
                                         int subPalette, TileLayout layout = TileLayout::Tiles);

// Reads such a picture, taken to be in the layout whatever it was written in, back into the
// table as one history step. Returns the tiles that changed (none: nothing differed and
// nothing was recorded); refused, nothing changed, for a picture that does not decode, is not
// 128x128, has a pixel of none of the four colours, or would change a tile read from outside
// the image.
Result<std::vector<int>> importTilePicture(StageData& stage, const PaletteManager& palette, TileTable table,
                                           int subPalette, std::span<const std::uint8_t> pngBytes,
                                           TileLayout layout = TileLayout::Tiles);

} // namespace vx
