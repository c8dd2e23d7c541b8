#pragma once
#include <vector>

#include "core/base/Result.h"

namespace vx {

class RomImage;

// What a swap of background tiles moves: one 8x8 tile (00-FF), or a 16x16 chip's four
// tiles 4n..4n+3 (00-3F), the form chip entries name.
enum class TileUnit {
    Tile,
    Chip16,
};

// What a tile swap changes, before it is done (to ask) and after (to report).
struct TileChange {
    int entries = 0;          // chip entries renumbered, a chip table several stages share counted once
    std::vector<int> drawing; // the other stages whose pattern data copies the swapped bytes
    std::vector<int> stages;  // the stages whose chip entries change, ascending
};

// In stage's background table, the image bytes of a and b change places and every chip
// entry of every stage drawing them (and of the stages sharing those chip tables) names the
// 16x16 chip that now shows what its old one showed, so every room looks the same. The
// bytes and the stage's own entries are one step of the stage; each other chip table a step
// of a stage sharing it, undone together. Refused, nothing changed, for a number out of
// range, a tile swapped with itself, bytes read from outside the image or shared by a and
// b, bytes another stage draws as sprites, or a chip entry no renumbering keeps (an 8x8
// swap inside a 16x16 chip some entry names).
Result<TileChange> previewTileSwap(const RomImage& rom, int stage, TileUnit unit, int a, int b);
Result<TileChange> swapTiles(RomImage& rom, int stage, TileUnit unit, int a, int b);

} // namespace vx
