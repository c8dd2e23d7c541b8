#include "render/StagePaletteFile.h"

#include "core/base/HexText.h"
#include "core/files/GimpPalette.h"
#include "core/model/StageData.h"
#include "render/PaletteManager.h"
#include "render/TilePictures.h"

namespace vx {
namespace {

constexpr int EntryCount = 32;

int squaredDistance(std::uint32_t a, std::uint32_t b)
{
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        sum += d * d;
    }
    return sum;
}

// The colour index a name such as "BG 0 0F" ends with; -1 when it ends otherwise.
int namedIndex(std::string_view name)
{
    const std::size_t space = name.find_last_of(' ');
    const std::string_view last = space == std::string_view::npos ? name : name.substr(space + 1);
    const auto value = last.size() == 2 ? parseHex(last) : std::nullopt;
    return value && *value < PaletteManager::ColorCount ? static_cast<int>(*value) : -1;
}

} // namespace

std::string stagePaletteText(const StageData& stage, const PaletteManager& palette, std::string_view name)
{
    std::vector<PaletteFileColour> colours;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const bool background = entry < 16;
        const std::uint8_t index = (background ? stage.bgPalette() : stage.spritePalette())[entry % 16];
        colours.push_back({consoleColour(palette, index),
                           std::string(background ? "BG " : "Sprite ") +
                               formatHex(static_cast<std::uint32_t>(entry % 16)) + " " + formatHex(index, 2)});
    }
    return writeGimpPalette(name, colours);
}

Result<PaletteImport> readStagePalette(std::string_view gplText, const PaletteManager& palette, const StageData& stage)
{
    const Result<std::vector<PaletteFileColour>> read = readGimpPalette(gplText, EntryCount);
    if (!read.ok())
        return read.error();
    PaletteImport import;
    for (int entry = 0; entry < EntryCount; ++entry) {
        const PaletteFileColour& colour = read.value()[static_cast<std::size_t>(entry)];
        // Several indices share one colour (black above all): the entry's own index, then the
        // file's, keeps the user's choice.
        const int shown = stage.paletteBlock()[static_cast<std::size_t>(entry)];
        int best = consoleColour(palette, shown) == colour.rgb ? shown : namedIndex(colour.name);
        int bestDistance = best < 0 ? -1 : squaredDistance(consoleColour(palette, best), colour.rgb);
        if (bestDistance != 0) {
            best = 0;
            bestDistance = squaredDistance(consoleColour(palette, 0), colour.rgb);
            for (int index = 1; index < PaletteManager::ColorCount; ++index)
                if (const int d = squaredDistance(consoleColour(palette, index), colour.rgb); d < bestDistance) {
                    best = index;
                    bestDistance = d;
                }
        }
        import.colours[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(best);
        if (bestDistance != 0)
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
