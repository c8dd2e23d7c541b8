#include "tools/ReorderCommands.h"

#include "core/base/HexText.h"
#include "core/model/ChipOrder.h"
#include "core/model/ColourUses.h"
#include "core/model/RomImage.h"
#include "core/model/TileOrder.h"
#include "core/model/TileSheet.h"
#include "tools/OutputGuard.h"

#include <iostream>

namespace vx::tool {

const char* const TilesSwapHelp =
    "Swaps background tiles A and B of stage N (hex, 00-FF), or with --chips the four tiles of\n"
    "16x16 chips A and B (00-3F): their bytes change places in the image, and every chip entry\n"
    "naming them is renumbered, so every room of every stage looks as before. Stages that\n"
    "share the chip table swap the same chips in their own tiles; stages whose pattern data\n"
    "copies the same bytes have their entries renumbered too. Prints what changed, then\n"
    "\"wrote OUT\". Refused (exit 1, nothing written): a number out of range, tiles read from\n"
    "outside the image, bytes another stage draws as sprites, or a swap no renumbering keeps\n"
    "(one 8x8 tile of a 16x16 chip some entry names: swap the whole chip with --chips).";

const char* const PaletteHelp =
    "With --uses E (hex, 00-1F): the 32x32 chips whose quarters draw stage N's palette entry E,\n"
    "one line \"chip 3A quarters TL BR\" each, then \"rooms 00, 05, ..\", then whether the palette\n"
    "animation shows other colours in it. Chips draw with entries 00-0F; colour 0 of every\n"
    "sub-palette is entry 00, so 04, 08 and 0C never show, and 10-1F are the sprites'.\n"
    "With --unused: the line \"unused 04, 08, 0C, ..\", the background entries no chip draws with.\n"
    "An entry out of range is refused with exit 1.";

namespace {

std::string hex2(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

std::string nothingWritten() { return localized("何も書き込んでいません。", "Nothing was written."); }

// A number as the pages show it: hex, with or without 0x, up to `highest`; nothing else.
std::optional<int> hexNumber(std::string_view text, int highest)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const auto value = text.size() <= 4 ? parseHex(text) : std::nullopt;
    return value && *value <= static_cast<std::uint32_t>(highest) ? std::optional<int>(static_cast<int>(*value))
                                                                  : std::nullopt;
}

// The two numbers, or the refusal printed (nothing is written).
std::optional<std::pair<int, int>> pairOf(const std::string& a, const std::string& b, int highest, const char* what)
{
    const auto first = hexNumber(a, highest), second = hexNumber(b, highest);
    if (first && second)
        return std::pair{*first, *second};
    exitRefused(std::string(what) + " " + (first ? b : a) + " is out of range (00 to " + hex2(highest) + "). " +
                nothingWritten());
    return std::nullopt;
}

std::string stagesText(const std::vector<int>& stages)
{
    return (stages.size() == 1 ? "stage " : "stages ") + hexListText(stages);
}

// The image with the edits to OUT, after the line saying what changed.
int writeResult(const ToolRequest& request, RomImage& rom)
{
    writeImageFile(request.out, rom.editedImage());
    std::cout << "wrote " << request.out << " (" << rom.imageSize() << " bytes)\n";
    return ExitOk;
}

// Opens the image once the output may be written; false with the refusal printed.
bool openFor(const ToolRequest& request, RomImage& rom)
{
    if (auto refused = outputRefusal(request.out, {request.files[0], request.settings}, request.force)) {
        exitRefused(*refused);
        return false;
    }
    return loadImage(rom, request.files[0]);
}

} // namespace

int reorderChips(const ToolRequest& request)
{
    const EnglishTexts english;
    const int stage = request.stage.value_or(0);
    std::optional<std::pair<int, int>> pair;
    if (!request.chipPair.empty() && !(pair = pairOf(request.chipPair[0], request.chipPair[1], 0xFF, "chip")))
        return ExitRefused;
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!openFor(request, rom))
        return ExitRefused;
    rom.setCurrentStageIndex(stage);
    const std::vector<std::vector<int>> groups = mergeableChipGroups(rom, stage);
    const Result<ChipChange> change = request.mergeDuplicates ? mergeChips(rom, stage)
        : request.moveChip                                    ? moveChip(rom, stage, pair->first, pair->second)
                                                              : swapChips(rom, stage, pair->first, pair->second);
    if (!change.ok())
        return exitRefused(change.error().text());
    const ChipChange& done = change.value();
    if (request.mergeDuplicates)
        for (const std::vector<int>& group : groups)
            std::cout << "merged " << hexListText(group) << " into " << hex2(group.front()) << "\n";
    else
        std::cout << (request.moveChip ? "moved chip " : "swapped chips ") << hex2(pair->first)
                  << (request.moveChip ? " to " : " and ") << hex2(pair->second) << "\n";
    std::cout << done.cells << (done.cells == 1 ? " cell" : " cells") << " in " << done.rooms
              << (done.rooms == 1 ? " room" : " rooms") << " renumbered";
    if (!done.stages.empty())
        std::cout << ", " << stagesText(done.stages);
    std::cout << "\n";
    if (!done.freed.empty())
        std::cout << "set free " << hexListText(done.freed) << "\n";
    return writeResult(request, rom);
}

int tilesSwap(const ToolRequest& request)
{
    const EnglishTexts english;
    const int stage = request.stage.value_or(0);
    const TileUnit unit = request.chips ? TileUnit::Chip16 : TileUnit::Tile;
    const auto pair =
        pairOf(request.files[1], request.files[2], request.chips ? 0x3F : 0xFF, request.chips ? "16x16 chip" : "tile");
    if (!pair)
        return ExitRefused;
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!openFor(request, rom))
        return ExitRefused;
    rom.setCurrentStageIndex(stage);
    const Result<TileChange> change = swapTiles(rom, stage, unit, pair->first, pair->second);
    if (!change.ok())
        return exitRefused(change.error().text());
    const TileChange& done = change.value();
    std::cout << "swapped " << (request.chips ? "16x16 chips " : "tiles ") << hex2(pair->first) << " and "
              << hex2(pair->second) << " of stage " << hex2(stage) << "\n"
              << done.entries << (done.entries == 1 ? " chip entry" : " chip entries") << " renumbered";
    if (!done.stages.empty())
        std::cout << ", " << stagesText(done.stages);
    std::cout << "\n";
    if (!done.drawing.empty())
        std::cout << "also drawn by " << stagesText(done.drawing) << "\n";
    return writeResult(request, rom);
}

int paletteUses(const ToolRequest& request)
{
    const EnglishTexts english;
    std::optional<int> entry;
    // The 16 entries of the palette page: chips never draw with the sprites' entries.
    if (!request.paletteEntry.empty() && !(entry = hexNumber(request.paletteEntry, 0x0F)))
        return exitRefused("palette entry " + request.paletteEntry + " is out of range (00 to 0F).");
    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, request.files[0]))
        return ExitRefused;
    const StageData& stage = rom.stage(request.stage.value_or(0));
    if (!entry) {
        std::cout << "unused " << hexListText(unusedPaletteEntries(stage)) << "\n";
        return ExitOk;
    }
    const ColourUse use = colourUses(stage, *entry);
    static const char* const Quarters[4] = {"TL", "BL", "TR", "BR"};
    for (std::size_t i = 0; i < use.quarters.size(); ++i) {
        const ChipQuarter& q = use.quarters[i];
        if (i == 0 || use.quarters[i - 1].chip != q.chip)
            std::cout << (i == 0 ? "" : "\n") << "chip " << hex2(q.chip) << " quarters";
        std::cout << ' ' << Quarters[q.quarter & 3];
    }
    std::cout << (use.quarters.empty() ? "no chip draws with entry " + hex2(*entry) + "\n" : "\n");
    std::cout << "rooms " << (use.rooms.empty() ? std::string("none") : hexListText(use.rooms)) << "\n";
    if (!use.animated)
        std::cout << "animation off\n";
    else {
        std::vector<int> frames(use.frames.begin(), use.frames.end());
        std::cout << "animation " << (use.animationChanges ? "changes it" : "keeps it") << ": frames "
                  << hexListText(frames) << "\n";
    }
    return ExitOk;
}

} // namespace vx::tool
