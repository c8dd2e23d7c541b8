#pragma once

namespace vx::tool {

struct ToolRequest;

// diff BEFORE AFTER [--stage N] [--settings FILE] [--json]: what differs, by stage and table,
// one line each or as a JSON list; exit 0 equal, 1 different, 2 trouble, as diff(1) does.
int compareImages(const ToolRequest& request);

// The help text of the command: the lines, the JSON keys and the exit status.
extern const char* const DiffHelp;

} // namespace vx::tool
