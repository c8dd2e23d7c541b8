#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "render/GraphicManager.h"
#include "render/WorkingSheets.h"

namespace vx {

class TStageData;

// A stage's pattern data and its two working sheets, made the way the editor makes them
// when a stage is selected, for pictures drawn outside the editor.
struct TStageSheets : TWorkingSheets {
    std::array<std::uint8_t, PatternDataSize> patternData{};
};

// Hands the stage's background palette to the renderer (animation off), assembles the
// pattern data from the image, decodes the chip sheet and composes the 32x32 chips.
void PrepareStageSheets(TGraphicManager& graphics, const TStageData& stage, const std::vector<std::uint8_t>& image,
                        TStageSheets& sheets, const std::function<void(const std::string&)>& warn);

} // namespace vx
