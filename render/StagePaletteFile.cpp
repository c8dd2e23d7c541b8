#include "render/StagePaletteFile.h"

#include "core/base/HexText.h"
#include "core/files/GimpPalette.h"
#include "core/model/StageData.h"
#include "render/PaletteManager.h"
#include "render/TilePictures.h"

namespace vx {
namespace {

constexpr int EntryCount = 32;

// The console's colours as 0xRRGGBB, in index order.
std::array<std::uint32_t, PaletteManager::ColorCount> coloursOf(const PaletteManager& palette)
{
    std::array<std::uint32_t, PaletteManager::ColorCount> colours{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = consoleColour(palette, static_cast<int>(i));
    return colours;
}

} // namespace

std::string stagePaletteText(const StageData& stage, const PaletteManager& palette, std::string_view name)
{
    std::vector<PaletteFileColour> colours;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const std::uint8_t index = stage.paletteBlock()[static_cast<std::size_t>(entry)];
        colours.push_back({consoleColour(palette, index), paletteEntryName(entry, index)});
    }
    return writeGimpPalette(name, colours);
}

Result<PaletteImport> readStagePalette(std::string_view gplText, const PaletteManager& palette, const StageData& stage)
{
    const Result<std::vector<PaletteFileColour>> read = readGimpPalette(gplText, EntryCount);
    if (!read.ok())
        return read.error();
    const auto colours = coloursOf(palette);
    PaletteImport import;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const PaletteFileColour& colour = read.value()[static_cast<std::size_t>(entry)];
        // The entry's own index, then the file's, keeps the user's choice among equal colours.
        const ColourMatch match = matchConsoleColour(
            colour.rgb, colours, stage.paletteBlock()[static_cast<std::size_t>(entry)], namedColourIndex(colour.name));
        import.colours[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(match.index);
        if (!match.exact)
            import.inexact.push_back(entry);
    }
    return import;
}

bool applyStagePalette(StageData& stage, const PaletteImport& colours)
{
    bool changed = false;
    const EditGroup group(stage, ukPalette);
    for (int entry = 0; entry < EntryCount; ++entry)
        changed |= stage.setPaletteColor(entry, colours.colours[static_cast<std::size_t>(entry)]);
    return changed;
}

} // namespace vx
