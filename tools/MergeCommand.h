#pragma once

namespace vx::tool {

struct ToolRequest;

// merge BASE OURS THEIRS: the three versions of one stage text merged over OURS, as version
// control asks of a merge driver. Exit 0 merged, 1 conflicts (listed in OURS) or a refusal.
int mergeStages(const ToolRequest& request);

} // namespace vx::tool
