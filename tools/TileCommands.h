#pragma once
#include "tools/ToolCommands.h"

namespace vx::tool {

// What "tiles export --help" and "tiles import --help" add below the options.
extern const char* const TilesExportHelp;
extern const char* const TilesImportHelp;

// tiles export IMAGE --stage N [--sprites] [--palette P] [--colours FILE] --out FILE.png
int tilesExport(const ToolRequest& request);
// tiles import IMAGE PICTURE --stage N [--sprites] [--palette P] [--colours FILE] --out OUT
int tilesImport(const ToolRequest& request);

} // namespace vx::tool
