#pragma once

namespace vx::tool {

struct TToolRequest;

// export IMAGE (--stage N | --all) --out DIR: stage-00.json .. stage-13.json.
int ExportStages(const TToolRequest& request);
// import IMAGE FILE.json... --out OUT: the stages applied to a copy of IMAGE, written to OUT.
int ImportStages(const TToolRequest& request);

} // namespace vx::tool
