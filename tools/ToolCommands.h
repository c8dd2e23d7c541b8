#pragma once
#include <string>
#include <vector>

namespace vx::tool {

// Exit codes of the command-line tool.
constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

// Runs one command; arguments exclude the program name. Results go to stdout, messages to
// stderr.
int Run(const std::vector<std::string>& arguments);

} // namespace vx::tool
