#pragma once

namespace vx::tool {

struct ToolRequest;

// The check's exit status, for a CI to trust: findings are never confused with a failure.
constexpr int ExitCheckClean = 0;    // nothing at or above warning
constexpr int ExitCheckFindings = 1; // an error or a warning was found
constexpr int ExitCheckFailed = 2;   // not checked: wrong usage, an image or settings that do not read

// check IMAGE [--stage N] [--settings FILE] [--json] [--min-severity S]: the stage check's
// findings, one line each or as the JSON of docs/check-json.md.
int checkStages(const ToolRequest& request);

} // namespace vx::tool
