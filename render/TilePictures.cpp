#include "render/TilePictures.h"

#include "core/files/PngPicture.h"
#include "core/model/PatternSources.h"
#include "core/model/StageData.h"
#include "core/model/StageTiles.h"
#include "core/model/TileEdits.h"
#include "render/PaletteManager.h"

#include <algorithm>

namespace vx {
namespace {

PatternSources sourcesOf(const StageData& stage)
{
    return patternSourcesOf(stage.patternTableSetting(), static_cast<std::int64_t>(stage.image().size()));
}

std::array<std::uint8_t, TileTableLength> workingTable(const StageData& stage, const PatternSources& sources,
                                                       TileTable table)
{
    std::array<std::uint8_t, PatternDataLength> data{};
    workingPatternData(sources, stage.image(), stage.tileEdits(), data);
    std::array<std::uint8_t, TileTableLength> bytes{};
    std::copy_n(data.begin() + tableStart(table), TileTableLength, bytes.begin());
    return bytes;
}

} // namespace

std::uint32_t consoleColour(const PaletteManager& palette, int colourIndex)
{
    // The colour file's are red in the low byte.
    const std::uint32_t bgr = palette.getRGB(colourIndex);
    return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

std::array<std::uint32_t, 4> subPaletteColours(const StageData& stage, const PaletteManager& palette, TileTable table,
                                               int subPalette)
{
    const auto entries = table == TileTable::Background ? stage.bgPalette() : stage.spritePalette();
    const int first = 4 * (subPalette & 3);
    return {consoleColour(palette, stage.bgPalette()[0]), consoleColour(palette, entries[first + 1]),
            consoleColour(palette, entries[first + 2]), consoleColour(palette, entries[first + 3])};
}

std::vector<std::uint8_t> tilePicturePng(const StageData& stage, const PaletteManager& palette, TileTable table,
                                         int subPalette, TileLayout layout)
{
    const auto bytes = workingTable(stage, sourcesOf(stage), table);
    const auto colours = subPaletteColours(stage, palette, table, subPalette);
    return encodeIndexedPng(SheetSide, SheetSide, sheetOfTable(bytes, layout), colours);
}

Result<std::vector<int>> importTilePicture(StageData& stage, const PaletteManager& palette, TileTable table,
                                           int subPalette, std::span<const std::uint8_t> pngBytes, TileLayout layout)
{
    Result<PngPicture> picture = decodePng(pngBytes, 4096);
    if (!picture.ok())
        return picture.error();
    const PatternSources sources = sourcesOf(stage);
    const auto now = workingTable(stage, sources, table);
    const auto colours = subPaletteColours(stage, palette, table, subPalette);
    const Result<std::vector<std::uint8_t>> sheet = sheetOfPicture(picture.value(), colours, now, layout);
    if (!sheet.ok())
        return sheet.error();
    const auto bytes = tableOfSheet(sheet.value(), layout);
    return replaceTileTable(stage, sources, table, bytes);
}

} // namespace vx
