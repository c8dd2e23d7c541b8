#pragma once
#include <cstdint>
#include <vector>

namespace vx {

class StageData;

// A quarter of a 32x32 chip: 0 top-left, 1 bottom-left, 2 top-right, 3 bottom-right, as
// the chip entries lie.
struct ChipQuarter {
    int chip = 0;
    int quarter = 0;
    bool operator==(const ChipQuarter&) const = default;
};

// Where one of a stage's 32 palette entries shows. Chips draw with the background entries
// 0-0F only: colour n of sub-palette p is entry 4p+n, but colour 0 of every sub-palette is
// entry 0, so 04, 08 and 0C never show; the sprite entries 10-1F have no chip uses.
struct ColourUse {
    std::vector<ChipQuarter> quarters; // of the 256 chips, those with a pixel of the entry
    std::vector<int> rooms;            // the rooms with a cell naming one of those chips
    bool animated = false;             // the palette animation runs (1-4 frames, a timer)
    bool animationChanges = false;     // a frame shows another colour in the entry than the palette
    std::vector<std::uint8_t> frames;  // the entry's colour in each frame while it runs
};
ColourUse colourUses(const StageData& stage, int entry);

// The background entries (00-0F) no quarter of the stage's 256 chips draws with.
std::vector<int> unusedPaletteEntries(const StageData& stage);

} // namespace vx
