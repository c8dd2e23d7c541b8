#pragma once

namespace vx::tool {

struct ToolRequest;

// export IMAGE (--stage N | --all) --out DIR: stage-00.json .. stage-13.json.
int exportStages(const ToolRequest& request);
// import IMAGE FILE.json... --out OUT: the stages applied to a copy of IMAGE, written to OUT.
int importStages(const ToolRequest& request);

} // namespace vx::tool
