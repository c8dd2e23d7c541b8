#pragma once
#include <map>
#include <string>
#include <vector>

namespace vx::tool {

// render IMAGE --stage N (--room R | --map | --chips | --sheet) --out FILE.png
//        [--settings FILE] [--palette FILE] [--objects]
int Render(const std::vector<std::string>& positional, const std::map<std::string, std::string>& options);

} // namespace vx::tool
