#pragma once
#include <cstdint>
#include <string>

namespace vx {

// The names the writing path gives files beside a target while it writes: a temporary file
// "<target>.vx<pid>-<6 letters>" and a backup "<that>.backup". The writer's process number in
// the name tells, later, whether a name left behind belongs to a writer that no longer runs.
std::string temporaryNameFor(const std::string& targetName);
std::string backupNameFor(const std::string& targetName);

// Writes all the bytes at the offset (or at the file's position for -1); 0 or the error number.
int writeAllBytes(int fd, const std::uint8_t* data, std::size_t size, long long offset = -1);

// Removes, in the open folder, what writers that no longer run left behind (a kill between
// naming a file and renaming it): their temporary files, and their backups of `targetName`
// (which a write just made whole again; empty for none). Only regular files of this user;
// never through a link. Best effort: what cannot be removed stays.
void removeGoneWritersLeftovers(int folderFd, const std::string& targetName);

} // namespace vx
