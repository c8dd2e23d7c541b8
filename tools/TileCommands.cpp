#include "tools/TileCommands.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"
#include "core/model/RomImage.h"
#include "core/model/StageTiles.h"
#include "render/PaletteManager.h"
#include "render/TilePictures.h"
#include "tools/OutputGuard.h"

#include <iostream>

namespace vx::tool {

const char* const TilesExportHelp =
    "Writes the 256 tiles of stage N's background table (--sprites: its sprite table) as\n"
    "they are in IMAGE, as a 128x128 palette PNG: 16 tiles a row in tile order, or with\n"
    "--layout chips each 16x16 chip (tiles 4n..4n+3) a square, 8 chips a row, as the\n"
    "editor's tiles page shows the table; its four palette entries the colours of\n"
    "sub-palette P (default 0). Colour 0 is the background palette's entry 0 for either\n"
    "table, as the console shows it.";

const char* const TilesImportHelp =
    "Reads PICTURE (128x128) into stage N's background table (--sprites: its sprite table)\n"
    "and writes the image with it to OUT. The picture is read in --layout (default tiles)\n"
    "whatever layout it was written in, so a picture of the other layout gives other tiles.\n"
    "A picture whose colours are all among sub-palette P's four is read by its colours,\n"
    "whatever order its palette has; a palette PNG as the export writes it, or one drawn in\n"
    "other colours throughout, by its indices, each 0-3. Prints \"tile 3C\" for each tile\n"
    "that changed, with \"also drawn by stages 01, 05\" when other stages' pattern data\n"
    "copies the same bytes (stages in hex, as elsewhere); then the line \"wrote OUT\".\n"
    "A picture that does not read, is not 128x128, has a pixel of another colour or index,\n"
    "or would change a tile read from outside the image is refused (exit 1), naming the\n"
    "first such pixel or tile, and nothing is written. When no tile differs the tool says\n"
    "\"no tile differs\" and writes nothing (exit 0).";

namespace {

TileTable tableOf(const ToolRequest& request) { return request.sprites ? TileTable::Sprites : TileTable::Background; }

// The parser let only the two names through.
TileLayout layoutOf(const ToolRequest& request) { return tileLayoutNamed(request.layout).value_or(TileLayout::Tiles); }

std::string stageListText(const std::vector<int>& stages)
{
    std::string text;
    for (const int stage : stages)
        text += (text.empty() ? "" : ", ") + formatHex(static_cast<std::uint32_t>(stage), 2);
    return text;
}

std::string nothingWritten() { return localized("何も書き込んでいません。", "Nothing was written."); }

} // namespace

int tilesExport(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string& image = request.files[0];
    if (!hasExtension(request.out, ".png")) { // another extension would name PNG data falsely
        std::cerr << "vexalon2-tool tiles export: --out must name a .png file: " << request.out << "\n";
        return ExitUsage;
    }
    const std::string colourFile = colourFileOf(request);
    if (auto refused = outputRefusal(request.out, {image, request.settings, colourFile}, request.force))
        return exitRefused(*refused);
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    const PaletteManager palette(colourFile);
    const StageData& stage = rom.stage(request.stage.value_or(0));
    const std::vector<std::uint8_t> png =
        tilePicturePng(stage, palette, tableOf(request), request.subPalette.value_or(0), layoutOf(request));
    writeOutputFile(request.out, png);
    std::cout << "wrote " << request.out << " (128x128, " << request.layout << " layout)\n";
    return ExitOk;
}

int tilesImport(const ToolRequest& request)
{
    const EnglishTexts english;
    const std::string &image = request.files[0], &picture = request.files[1];
    const std::string colourFile = colourFileOf(request);
    if (auto refused = outputRefusal(request.out, {image, picture, request.settings, colourFile}, request.force))
        return exitRefused(*refused);
    const std::vector<std::uint8_t> png = readInputFile(picture, InputKind::Picture);
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    const PaletteManager palette(colourFile);
    const int stageIndex = request.stage.value_or(0);
    StageData& stage = rom.stage(stageIndex);
    const TileTable table = tableOf(request);
    const Result<std::vector<int>> changed =
        importTilePicture(stage, palette, table, request.subPalette.value_or(0), png, layoutOf(request));
    if (!changed.ok())
        return exitRefused(picture + ": " + sentence(changed.error().text()) + " " + nothingWritten());
    if (changed.value().empty()) {
        std::cout << "no tile differs; nothing was written\n";
        return ExitOk;
    }
    const PatternSources sources = patternSourcesOf(stage.patternTableSetting(), rom.imageSize());
    for (const int tile : changed.value()) {
        const int tiles[1] = {tile};
        const std::vector<int> others = stagesDrawing(rom, offsetsOfTiles(sources, table, tiles), stageIndex);
        std::cout << "tile " << formatHex(static_cast<std::uint32_t>(tile), 2);
        if (!others.empty())
            std::cout << " also drawn by stage" << (others.size() == 1 ? " " : "s ") << stageListText(others);
        std::cout << "\n";
    }
    writeImageFile(request.out, rom.editedImage());
    std::cout << "wrote " << request.out << " (" << rom.imageSize() << " bytes)\n";
    return ExitOk;
}

} // namespace vx::tool
