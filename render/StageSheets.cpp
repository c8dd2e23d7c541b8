#include "render/StageSheets.h"

#include "core/StageData.h"
#include "render/PatternData.h"

namespace vx {

void PrepareStageSheets(TGraphicManager& graphics, const TStageData& stage, const std::vector<std::uint8_t>& image,
                        TStageSheets& sheets, const std::function<void(const std::string&)>& warn)
{
    std::array<std::uint8_t, 64> noFrames{};
    graphics.SetPaletteAnime(0, 0, noFrames);
    graphics.SetBGPalette(stage.BGPalette());
    BuildPatternData(stage.PatternTableSetting(), image, stage.Address(TableKey::PatternTableSetting),
                     sheets.patternData, warn);
    graphics.SetPatternData(sheets.patternData);
    graphics.SetPatternTable(std::span<const std::uint8_t, PatternTableSize>(sheets.patternData.data() + 0x1000,
                                                                             PatternTableSize));
    sheets.Create(graphics);
    sheets.Rebuild(graphics, stage.Chip32x32());
}

} // namespace vx
