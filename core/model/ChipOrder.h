#pragma once
#include <span>
#include <vector>

#include "core/base/Result.h"

namespace vx {

class RomImage;

// What renumbering 32x32 chips changes, before it is done (to ask) and after (to report).
// Every stage listed draws its rooms exactly as before.
struct ChipChange {
    int cells = 0;           // map cells renumbered, a map several stages share counted once
    int rooms = 0;           // rooms holding them, likewise
    std::vector<int> stages; // the stages whose chip table or map changes, ascending
    std::vector<int> freed;  // merge: the chips cells named before and none names now
};

// The stages whose chip tables and maps must change together when a chip of `stage` is
// renumbered: those sharing its chip table or its map, and theirs in turn, ascending.
std::vector<int> chipFamily(const RomImage& rom, int stage);

// Two chips change places in every chip table of the family (entries and attributes), and
// every map cell naming either names the other. One step in each stage that holds a
// changed table (the current stage where it shares one), undone together. Refused, nothing
// changed, for a chip outside 00-FF or a chip swapped with itself.
Result<ChipChange> previewChipSwap(const RomImage& rom, int stage, int a, int b);
Result<ChipChange> swapChips(RomImage& rom, int stage, int a, int b);

// The same onto a number no map of the family uses; refused when one does.
Result<ChipChange> previewChipMove(const RomImage& rom, int stage, int from, int to);
Result<ChipChange> moveChip(RomImage& rom, int stage, int from, int to);

// Groups of chips equal (entries and attributes) in every chip table of the family: as
// equalChipGroups orders them.
std::vector<std::vector<int>> mergeableChipGroups(const RomImage& rom, int stage);
// Every cell naming a chip of a group names its lowest number instead: of these groups
// (each one of mergeableChipGroups), or of all of them when none are given. The chip tables
// stay. Refused, nothing changed, when no cell would change or a group is not one of them.
Result<ChipChange> previewChipMerge(const RomImage& rom, int stage, std::span<const std::vector<int>> groups = {});
Result<ChipChange> mergeChips(RomImage& rom, int stage, std::span<const std::vector<int>> groups = {});

} // namespace vx
