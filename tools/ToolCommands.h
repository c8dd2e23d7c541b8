#pragma once
#include <optional>
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

// A decimal option value from 0 to highest (stage and room numbers); nullopt otherwise.
std::optional<int> NumberUpTo(const std::string& text, int highest);

} // namespace vx::tool
