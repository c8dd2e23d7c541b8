#include "core/model/StageTiles.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/StageData.h"

#include <algorithm>
#include <utility>

namespace vx {

std::span<const std::int32_t, TileLength> tileSources(const PatternSources& sources, TileTable table, int tile)
{
    return sources.tileAt(tableStart(table) + TileLength * (tile & (TileCount - 1)));
}

bool tileInImage(const PatternSources& sources, TileTable table, int tile)
{
    const auto offsets = tileSources(sources, table, tile);
    return std::none_of(offsets.begin(), offsets.end(), [](std::int32_t o) { return o == PatternSources::Zero; });
}

std::string tileOutsideText(TileTable table, std::span<const int> tiles)
{
    const bool background = table == TileTable::Background;
    if (isJapanese())
        return std::string(background ? "背景" : "スプライト") + "タイル " + hexListText(tiles) +
            " はイメージの外から読まれる (0 で埋まる) ため、描き換えられません。";
    return std::string("The ") + (background ? "background" : "sprite") + " tile " + hexListText(tiles) +
        ": its bytes come from outside the image (read as zeros), so it cannot be painted.";
}

std::array<std::uint8_t, TileLength> workingTile(const StageData& stage, const PatternSources& sources, TileTable table,
                                                 int tile)
{
    std::array<std::uint8_t, TileLength> bytes{};
    const auto offsets = tileSources(sources, table, tile);
    for (int i = 0; i < TileLength; ++i)
        if (offsets[i] != PatternSources::Zero)
            bytes[i] = stage.tileEdits().byteAt(stage.image(), offsets[i]);
    return bytes;
}

Result<bool> paintTilePixel(StageData& stage, const PatternSources& sources, TileTable table, int tile, int x, int y,
                            int colour)
{
    if (!tileInImage(sources, table, tile)) {
        const int tiles[1] = {tile};
        return Error{tileOutsideText(table, tiles)};
    }
    const auto bytes = workingTile(stage, sources, table, tile);
    const auto [plane0, plane1] = paintedRow(bytes, x, y, colour & 3);
    const auto offsets = tileSources(sources, table, tile);
    const std::pair<std::int64_t, std::uint8_t> changes[2] = {{offsets[y & 7], plane0}, {offsets[(y & 7) + 8], plane1}};
    return stage.setTileBytes(changes);
}

Result<std::vector<int>> replaceTileTable(StageData& stage, const PatternSources& sources, TileTable table,
                                          std::span<const std::uint8_t, TileTableLength> bytes)
{
    std::vector<int> changed, outside;
    std::vector<std::pair<std::int64_t, std::uint8_t>> writes;
    for (int tile = 0; tile < TileCount; ++tile) {
        const auto now = workingTile(stage, sources, table, tile);
        if (std::equal(now.begin(), now.end(), bytes.begin() + TileLength * tile))
            continue;
        changed.push_back(tile);
        if (!tileInImage(sources, table, tile)) {
            outside.push_back(tile);
            continue;
        }
        const auto offsets = tileSources(sources, table, tile);
        for (int i = 0; i < TileLength; ++i)
            writes.emplace_back(offsets[i], bytes[static_cast<std::size_t>(TileLength * tile + i)]);
    }
    if (!outside.empty())
        return Error{tileOutsideText(table, outside)};
    stage.setTileBytes(writes);
    return changed;
}

std::vector<int> stagesDrawing(const RomImage& rom, std::span<const std::int32_t> offsets, int exceptStage)
{
    std::vector<std::int32_t> wanted(offsets.begin(), offsets.end());
    std::sort(wanted.begin(), wanted.end());
    std::vector<int> stages;
    for (int n = 0; n < StageCount && !wanted.empty(); ++n) {
        if (n == exceptStage)
            continue;
        const PatternSources sources = patternSourcesOf(rom.stage(n).patternTableSetting(), rom.imageSize());
        if (std::any_of(sources.offsets.begin(), sources.offsets.end(), [&](std::int32_t o) {
                return o != PatternSources::Zero && std::binary_search(wanted.begin(), wanted.end(), o);
            }))
            stages.push_back(n);
    }
    return stages;
}

std::vector<std::int32_t> offsetsOfTiles(const PatternSources& sources, TileTable table, std::span<const int> tiles)
{
    std::vector<std::int32_t> offsets;
    for (const int tile : tiles)
        for (const std::int32_t o : tileSources(sources, table, tile))
            if (o != PatternSources::Zero)
                offsets.push_back(o);
    return offsets;
}

} // namespace vx
