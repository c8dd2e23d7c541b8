#include "render/WorkingSheets.h"

#include "render/GraphicManager.h"

namespace vx {

void TWorkingSheets::Create(const TGraphicManager& graphics)
{
    if (!chipSheet)
        chipSheet = graphics.CreateStageBitmap(128, 512);
    if (!chip32Sheet)
        chip32Sheet = graphics.CreateStageBitmap(512, 512);
}

void TWorkingSheets::Rebuild(const TGraphicManager& graphics, std::span<const std::uint8_t> chipEntries)
{
    if (!Ready())
        return;
    graphics.DecodeChipSheet(*chipSheet);
    Recompose(graphics, chipEntries);
    ApplyPalette(graphics);
}

void TWorkingSheets::Recompose(const TGraphicManager& graphics, std::span<const std::uint8_t> chipEntries)
{
    if (Ready())
        graphics.ComposeChip32Sheet(*chip32Sheet, *chipSheet, chipEntries);
}

void TWorkingSheets::ApplyPalette(const TGraphicManager& graphics)
{
    if (!Ready())
        return;
    graphics.ApplyStagePalette(*chipSheet);
    graphics.ApplyStagePalette(*chip32Sheet);
}

} // namespace vx
