#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "render/GraphicManager.h"
#include "render/WorkingSheets.h"

namespace vx {

class StageData;

// A stage's pattern data and its two working sheets, made the way the editor makes them
// when a stage is selected, for pictures drawn outside the editor.
struct StageSheets : WorkingSheets {
    std::array<std::uint8_t, PatternDataSize> patternData{};
};

// Hands the stage's background palette to the renderer (animation off), assembles the
// pattern data from the image, decodes the chip sheet and composes the 32x32 chips.
void prepareStageSheets(GraphicManager& graphics, const StageData& stage, const std::vector<std::uint8_t>& image,
                        StageSheets& sheets, const std::function<void(const std::string&)>& warn);

} // namespace vx
