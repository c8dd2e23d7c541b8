#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vx::tool {

// Why the tool may not write out; nothing when it may. An output never replaces one of the
// command's inputs (the same file after links), and replaces another existing file only
// with --force.
std::optional<std::string> outputRefusal(const std::string& out, const std::vector<std::string>& inputs, bool force);

} // namespace vx::tool
