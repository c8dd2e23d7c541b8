#include "core/text/ProjectTiles.h"

#include "core/base/HexText.h"
#include "core/files/PngPicture.h"
#include "core/model/PatternSources.h"
#include "core/model/RomImage.h"
#include "core/text/StageText.h"

#include <algorithm>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;
constexpr std::int32_t Zero = PatternSources::Zero;

std::vector<std::int32_t> tableOffsets(const StageData& stage, TileTable table, std::size_t imageSize)
{
    const PatternSources sources = patternSourcesOf(stage.patternTableSetting(), static_cast<std::int64_t>(imageSize));
    const auto from = sources.offsets.begin() + tableStart(table);
    return {from, from + TileTableLength};
}

std::array<std::uint8_t, TileTableLength> tableBytes(Bytes image, const std::vector<std::int32_t>& offsets)
{
    std::array<std::uint8_t, TileTableLength> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = offsets[i] == Zero ? 0 : image[static_cast<std::size_t>(offsets[i])];
    return bytes;
}

// Colour 0 is the background's entry 0 for both tables, as the console shows it.
std::array<std::uint32_t, 4> pictureColours(const StageData& stage, TileTable table, const ConsoleColours& colours)
{
    const auto entries = table == TileTable::Background ? stage.bgPalette() : stage.spritePalette();
    const auto colour = [&](std::uint8_t index) { return index < colours.size() ? colours[index] : 0x7F7F7Fu; };
    return {colour(stage.bgPalette()[0]), colour(entries[1]), colour(entries[2]), colour(entries[3])};
}

std::string offsetText(std::int32_t offset) { return "0x" + formatHex(static_cast<std::uint32_t>(offset), 6); }

std::string tileText(std::size_t byte) { return formatHex(static_cast<std::uint32_t>(byte / TileLength), 2); }

} // namespace

std::string tilePictureName(int stage, TileTable table)
{
    const std::string name = stageTextFileName(stage);
    return "tiles/" + name.substr(0, name.rfind('.')) +
        (table == TileTable::Background ? "-background.png" : "-sprites.png");
}

std::vector<TilePicture> tilePicturesOf(const RomImage& rom, Bytes base, const ConsoleColours& colours)
{
    const Bytes image = rom.imageBytes();
    std::vector<TilePicture> pictures;
    for (int s = 0; s < StageCount; ++s)
        for (TileTable table : {TileTable::Background, TileTable::Sprites}) {
            const StageData& stage = rom.stage(s);
            std::vector<std::int32_t> offsets = tableOffsets(stage, table, image.size());
            const bool differs = std::ranges::any_of(offsets, [&](std::int32_t at) {
                return at != Zero && static_cast<std::size_t>(at) < base.size() &&
                    image[static_cast<std::size_t>(at)] != base[static_cast<std::size_t>(at)];
            });
            if (!differs ||
                std::ranges::any_of(pictures, [&](const TilePicture& other) { return other.offsets == offsets; }))
                continue;
            const auto bytes = tableBytes(image, offsets);
            const auto palette = pictureColours(stage, table, colours);
            pictures.push_back({{ProjectStepKind::TilePicture, tilePictureName(s, table), s, table},
                                encodeIndexedPng(SheetSide, SheetSide, sheetOfTable(bytes), palette),
                                std::move(offsets)});
        }
    return pictures;
}

Result<std::map<std::string, std::vector<std::int32_t>>>
applyTilePictures(const RomImage& rom, std::vector<std::uint8_t>& image, const std::vector<ProjectStep>& steps,
                  const std::map<std::string, std::vector<std::uint8_t>>& files, const ConsoleColours& colours,
                  const std::vector<bool>& textByte)
{
    const std::vector<std::uint8_t> before = image;
    std::map<std::int32_t, std::string> changedBy; // offset: the first picture that changed it
    std::map<std::string, std::vector<std::int32_t>> changed;
    for (const ProjectStep& step : steps) {
        if (step.kind != ProjectStepKind::TilePicture)
            continue;
        const auto file = files.find(step.file);
        if (file == files.end())
            return Error("the project names " + step.file + ", which is not there");
        Result<PngPicture> picture = decodePng(file->second);
        if (!picture.ok())
            return Error(step.file + ": " + picture.error().text());
        const StageData& stage = rom.stage(step.stage);
        const std::vector<std::int32_t> offsets = tableOffsets(stage, step.table, before.size());
        const auto now = tableBytes(before, offsets);
        Result<std::vector<std::uint8_t>> sheet =
            sheetOfPicture(picture.value(), pictureColours(stage, step.table, colours), now);
        if (!sheet.ok())
            return Error(step.file + ": " + sheet.error().text());
        const auto bytes = tableOfSheet(sheet.value());
        std::vector<std::int32_t>& mine = changed[step.file];
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const std::int32_t at = offsets[i];
            if (bytes[i] == now[i])
                continue; // a picture that keeps a byte leaves it to one that changes it
            if (at == Zero)
                return Error(step.file + " changes tile " + tileText(i) + ", whose bytes lie outside the image");
            const auto offset = static_cast<std::size_t>(at);
            if (textByte[offset])
                return Error(step.file + " changes tile " + tileText(i) + " at offset " + offsetText(at) +
                             ", a byte a stage text sets");
            const auto [first, fresh] = changedBy.emplace(at, step.file);
            if (!fresh && image[offset] != bytes[i])
                return Error(first->second + " and " + step.file + " change the byte at offset " + offsetText(at) +
                             " differently");
            image[offset] = bytes[i];
            mine.push_back(at);
        }
    }
    return changed;
}

} // namespace vx
