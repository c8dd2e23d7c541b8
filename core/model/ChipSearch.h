#pragma once
#include <vector>

#include "core/base/Result.h"

namespace vx {

class RomImage;

// A map cell holding a chip: the room, its column and row, and every stage drawing that
// map (a shared map is listed once, under its first stage).
struct ChipUse {
    int stage = 0;
    int room = 0;
    int column = 0;
    int row = 0;
    std::vector<int> stages;
    bool operator==(const ChipUse&) const = default;
};

// Every cell holding the chip in one stage's map, or (stage -1) in every map of the image,
// by stage, room, column and row.
std::vector<ChipUse> chipUses(const RomImage& rom, int chip, int stage);

// How many cells in how many rooms of how many maps hold the chip.
struct UseCount {
    int cells = 0;
    int rooms = 0;
    int maps = 0;
};
UseCount countUses(const std::vector<ChipUse>& uses);

// Replaces chip `from` by `to` in one stage's map or (stage -1) in every map, each map
// written once as one "Edit Map" step of a stage that draws it (the current one where it
// does); the steps of several stages are one batch (RomImage::undo takes them back together).
// Refused, nothing changed, for a chip replaced by itself or one no cell holds.
Result<UseCount> replaceChip(RomImage& rom, int from, int to, int stage);

} // namespace vx
