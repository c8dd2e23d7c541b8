#pragma once
#include "core/base/Result.h"
#include "core/text/ConsoleColours.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class RomImage;
class StageData;
struct ProjectStep;
struct StageText;

// A stage's 32 palette entries (16 background, 16 sprite) as a GIMP palette, each named by its
// entry and colour index ("BG 0 0F"), so a paint program shows the colours and the names keep
// the indices.
std::string projectPaletteText(const StageData& stage, const ConsoleColours& colours);

struct ProjectPalette {
    std::array<std::uint8_t, 32> entries{};
    std::vector<int> inexact; // entries whose colour is none of the console's: the nearest taken
};

// Reads such a file back: the index a colour's name gives when that index shows the colour
// (the file's own choice among equal colours), else the stage's index now when it does, else
// the nearest console colour. Refused as readGimpPalette refuses.
Result<ProjectPalette> readProjectPalette(std::string_view text, const ConsoleColours& colours, const StageData& stage);

// Sets each palette step's entries in its stage, one history step each, after the texts: a
// text that holds the palettes a file also sets, a text that leaves them to a file the steps
// do not name, and a file that does not read are refused. Returns a line per file that
// changed entries, and per file with colours no console colour shows exactly.
Result<std::vector<std::string>> applyProjectPalettes(RomImage& rom, const std::vector<ProjectStep>& steps,
                                                      const std::map<std::string, std::vector<std::uint8_t>>& files,
                                                      const ConsoleColours& colours,
                                                      const std::vector<StageText>& texts);

} // namespace vx
