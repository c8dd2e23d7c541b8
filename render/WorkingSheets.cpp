#include "render/WorkingSheets.h"

#include "render/GraphicManager.h"

namespace vx {

void WorkingSheets::create(const GraphicManager& graphics)
{
    if (!chipSheet)
        chipSheet = graphics.createStageBitmap(128, 512);
    if (!chip32Sheet)
        chip32Sheet = graphics.createStageBitmap(512, 512);
}

void WorkingSheets::rebuild(const GraphicManager& graphics, std::span<const std::uint8_t> chipEntries)
{
    if (!ready())
        return;
    graphics.decodeChipSheet(*chipSheet);
    recompose(graphics, chipEntries);
    applyPalette(graphics);
}

void WorkingSheets::recompose(const GraphicManager& graphics, std::span<const std::uint8_t> chipEntries)
{
    if (ready())
        graphics.composeChip32Sheet(*chip32Sheet, *chipSheet, chipEntries);
}

void WorkingSheets::applyPalette(const GraphicManager& graphics)
{
    if (!ready())
        return;
    graphics.applyStagePalette(*chipSheet);
    graphics.applyStagePalette(*chip32Sheet);
}

} // namespace vx
