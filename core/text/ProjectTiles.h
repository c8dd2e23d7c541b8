#pragma once
#include "core/base/Result.h"
#include "core/model/TileSheet.h"
#include "core/text/ConsoleColours.h"
#include "core/text/ProjectManifest.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace vx {

class RomImage;

// One table of one stage's tiles as a 128x128 palette PNG, and the image offsets its bytes
// come from (PatternSources::Zero where they lie outside the image).
struct TilePicture {
    ProjectStep step;
    std::vector<std::uint8_t> png;
    std::vector<std::int32_t> offsets;
};

// "tiles/stage-03-background.png", "tiles/stage-03-sprites.png".
std::string tilePictureName(int stage, TileTable table);

// A picture for each stage and table whose bytes in image differ from base's at the same
// offsets; a table drawn from exactly the offsets of one already written is left out, so
// stages that draw the same bytes hold them once.
std::vector<TilePicture> tilePicturesOf(const RomImage& rom, std::span<const std::uint8_t> base,
                                        const ConsoleColours& colours);

// Reads each picture step into image (the built bytes; rom holds its palettes and pattern
// settings). A byte two pictures change differently, a byte outside the image that is not
// zero, or a changed byte a stage text sets (textByte) is refused, naming the files. Returns
// per picture file the offsets it changed.
Result<std::map<std::string, std::vector<std::int32_t>>>
applyTilePictures(const RomImage& rom, std::vector<std::uint8_t>& image, const std::vector<ProjectStep>& steps,
                  const std::map<std::string, std::vector<std::uint8_t>>& files, const ConsoleColours& colours,
                  const std::vector<bool>& textByte);

} // namespace vx
