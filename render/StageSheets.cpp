#include "render/StageSheets.h"

#include "core/model/StageData.h"
#include "render/PatternData.h"

namespace vx {

void prepareStageSheets(GraphicManager& graphics, const StageData& stage, const std::vector<std::uint8_t>& image,
                        StageSheets& sheets, const std::function<void(const std::string&)>& warn)
{
    std::array<std::uint8_t, 64> noFrames{};
    graphics.setPaletteAnime(0, 0, noFrames);
    graphics.setBGPalette(stage.bgPalette());
    // Painted tiles show as the pages show them.
    buildPatternData(stage.patternTableSetting(), image, stage.address(TableKey::PatternTableSetting),
                     sheets.patternData, warn, &stage.tileEdits());
    graphics.setPatternData(sheets.patternData);
    graphics.setPatternTable(
        std::span<const std::uint8_t, PatternTableSize>(sheets.patternData.data() + 0x1000, PatternTableSize));
    sheets.create(graphics);
    sheets.rebuild(graphics, stage.chip32x32());
}

} // namespace vx
