#pragma once

namespace vx::tool {

struct ToolRequest;

// check IMAGE [--stage N] [--settings FILE] [--json]: the stage check's findings, one line
// each or as JSON; exit 1 when there is an error or a warning, 0 for notes or nothing.
int checkStages(const ToolRequest& request);

} // namespace vx::tool
