#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Result.h"

namespace vx {

class PaletteManager;
class StageData;

// The stage's 16 background then 16 sprite palette entries as a GIMP palette (.gpl), each
// named by its entry and colour index in hex: "BG 0 0F", "Sprite 3 30".
std::string stagePaletteText(const StageData& stage, const PaletteManager& palette, std::string_view name);

// The 32 entries read back from such a file, as console colour indices.
struct PaletteImport {
    std::array<std::uint8_t, 32> colours{};
    std::vector<int> inexact; // the entries whose colour no console colour matches exactly
};

// Reads the first 32 colours of a .gpl text as indices for the stage's entries. An entry
// whose colour is the one it shows now keeps its index (several indices share a colour), so
// a file that comes back with the same colours changes nothing, whatever another program did
// to its names. Otherwise the index the colour's name ends with, when its colour is exact;
// else the nearest console colour (squared RGB distance; a tie to the lower index).
// Refused as readGimpPalette refuses.
Result<PaletteImport> readStagePalette(std::string_view gplText, const PaletteManager& palette, const StageData& stage);

// Sets the 32 entries as one history step; whether anything changed.
bool applyStagePalette(StageData& stage, const PaletteImport& colours);

} // namespace vx
