#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/base/Language.h"

namespace vx {
class AddressData;
class RomImage;
} // namespace vx

namespace vx::tool {

// Exit codes of the command-line tool.
constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

// What the command line asked for, checked for form and range by the parser.
struct ToolRequest {
    std::vector<std::string> files; // the command's files in the order its usage names them
    std::string settings;           // --settings FILE; empty: every default
    std::optional<int> stage;
    std::optional<int> room;
    bool force = false; // an existing output may be replaced

    // render
    std::string out;
    std::string palette;
    std::optional<int> columns;
    bool map = false, chips = false, sheet = false, sheetOfRooms = false;
    bool objects = false, scroll = false, restartPoints = false;
    bool path = false; // dims the rooms no restart point's walk covers

    // chips; --swap or --move A B (as typed: out of range is refused, not a usage error)
    std::optional<int> whereChip;
    bool allStages = false;
    std::vector<std::string> chipPair;
    bool moveChip = false, mergeDuplicates = false;

    // palette --uses E (as typed)
    std::string paletteEntry;
    bool unusedEntries = false;

    // check
    bool json = false;
    std::string minSeverity = "note"; // the lowest severity listed: "note", "warning" or "error"

    // export, import
    bool all = false;
    std::vector<std::string> texts;
    bool allowErrors = false; // import writes even when the check finds new errors

    // tiles export, tiles import (the colour file is palette, given as --colours)
    std::optional<int> subPalette; // --palette P, 0-3
    bool sprites = false;          // the sprite table rather than the background one
    std::string layout = "tiles";  // --layout: "tiles" (tile order) or "chips" (16x16 chips as squares)
    // tiles swap: --chips swaps 16x16 chips (the render field above, which tiles never reads)

    // unpack, build, verify: the clean base image, the hash the build must have, the report
    std::string base, expect, report;

    // playcopy: the start, a restart point or a room with a landing height
    std::optional<int> point, y;
};

// The commands; each prints its result on stdout, its refusal on stderr, and returns the
// exit code. A UserError thrown from them is a refusal too (the caller prints it).
int makeSample(const ToolRequest& request);
int settings(const ToolRequest& request);
int info(const ToolRequest& request);
int roundtrip(const ToolRequest& request);
int chips(const ToolRequest& request);
int objects(const ToolRequest& request);
int scroll(const ToolRequest& request);
int restartPoints(const ToolRequest& request);
int makePatchFile(const ToolRequest& request);
int applyPatchFile(const ToolRequest& request);
int playCopy(const ToolRequest& request);

// Reads the settings of --settings (never written back) or the defaults.
std::unique_ptr<AddressData> loadAddresses(const ToolRequest& request);

// The console's colours: --palette, else the colour file in the data folder beside the tool.
std::string colourFileOf(const ToolRequest& request);

// Scripts compare the texts whatever the user's locale; the locale comes back afterwards.
class EnglishTexts {
public:
    EnglishTexts() { forceLanguage(Language::English); }
    ~EnglishTexts() { forceLanguage(std::nullopt); }
    EnglishTexts(const EnglishTexts&) = delete;
    EnglishTexts& operator=(const EnglishTexts&) = delete;
};

// Prints a refusal ("vexalon2-tool: ...") and returns ExitRefused.
int exitRefused(const std::string& message);

// Opens the image as the editor would; false, with the reason printed, when it refuses.

bool loadImage(RomImage& rom, const std::string& file);

} // namespace vx::tool
