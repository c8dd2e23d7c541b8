#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/base/Result.h"
#include "core/model/PatternSources.h"
#include "core/model/TileSheet.h"

namespace vx {

class RomImage;
class StageData;

// The image offsets a tile of a table is copied from (Zero: from outside the image).
std::span<const std::int32_t, TileLength> tileSources(const PatternSources& sources, TileTable table, int tile);
// Whether every byte of the tile comes from the image, so it can be painted.
bool tileInImage(const PatternSources& sources, TileTable table, int tile);
// Why a tile cannot be painted, in the user's language.
std::string tileOutsideText(TileTable table, std::span<const int> tiles);

// The tile's 16 bytes as the user sees them now (painted bytes over the image's).
std::array<std::uint8_t, TileLength> workingTile(const StageData& stage, const PatternSources& sources, TileTable table,
                                                 int tile);

// Paints one pixel (colour 0-3) of a tile in the stage's history; a stroke is one step
// between the stage's beginGesture and endGesture. Refused when the tile's bytes come from
// outside the image; false when the pixel already had the colour.
Result<bool> paintTilePixel(StageData& stage, const PatternSources& sources, TileTable table, int tile, int x, int y,
                            int colour);

// Writes a whole table (4096 bytes) as one step: only the tiles that differ. Refused,
// nothing changed, when one of them comes from outside the image. Returns the changed tiles.
Result<std::vector<int>> replaceTileTable(StageData& stage, const PatternSources& sources, TileTable table,
                                          std::span<const std::uint8_t, TileTableLength> bytes);

// The other stages whose pattern data copies any of these image offsets, in order.
std::vector<int> stagesDrawing(const RomImage& rom, std::span<const std::int32_t> offsets, int exceptStage);

// The image offsets of the tiles' bytes (Zero ones left out).
std::vector<std::int32_t> offsetsOfTiles(const PatternSources& sources, TileTable table, std::span<const int> tiles);

} // namespace vx
