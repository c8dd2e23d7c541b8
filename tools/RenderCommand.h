#pragma once
#include "tools/ToolCommands.h"

namespace vx::tool {

// render IMAGE --stage N (--room R | --map | --chips | --sheet | --sheet-of-rooms)
//        --out FILE.png [--settings FILE] [--palette FILE] [--objects] [--columns C]
//        [--scroll] [--midpoints] [--force]
int render(const ToolRequest& request);

} // namespace vx::tool
