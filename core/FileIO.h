#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// Reads a whole file; throws VxError naming the file and the system's reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Replaces the file safely: the bytes go to a temporary file in the target's folder,
// which is flushed to disk and then renamed over the target, so the target is either
// left as it was or holds all the new bytes. An existing target keeps its permissions.
// Throws VxError naming the file and the system's reason; the target is then untouched.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool FileExists(const std::string& path);

} // namespace vx
