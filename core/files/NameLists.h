#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vx {

constexpr int MinChipAttributeNames = 56; // four per stage
constexpr int ObjectNameCount = 256;      // one per object kind

// The names of a list file, one per line: each line trimmed, blank lines and lines
// beginning with ";" skipped.
std::vector<std::string> readNameLines(std::string_view text);

// At least 56 names; missing ones read "????????". A longer list stays whole.
std::vector<std::string> chipAttributeNamesFromText(std::string_view text);
// Exactly 256 names; missing ones are their kind number as two hex digits.
std::vector<std::string> objectNamesFromText(std::string_view text);

// The same from files; throw UserError when the file cannot be read.
std::vector<std::string> loadChipAttributeNames(const std::string& path);
std::vector<std::string> loadObjectNames(const std::string& path);

} // namespace vx
