#pragma once
#include "tools/ToolCommands.h"

namespace vx::tool {

// What "tiles swap --help" and "palette --help" add below the options.
extern const char* const TilesSwapHelp;
extern const char* const PaletteHelp;

// chips IMAGE --stage N (--swap A B | --move A B | --merge-duplicates) --out OUT
int reorderChips(const ToolRequest& request);
// tiles swap IMAGE A B --stage N [--chips] --out OUT
int tilesSwap(const ToolRequest& request);
// palette IMAGE --stage N (--uses E | --unused)
int paletteUses(const ToolRequest& request);

} // namespace vx::tool
