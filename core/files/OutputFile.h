#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/base/Errors.h"

namespace vx {

// Why a file was not written, for callers that offer another way (Save As).
enum class WriteFailure {
    ReadOnly,
    NotRegularFile,
    System
};

// A refused or failed write: the message names the file and the reason.
class WriteError : public UserError {
public:
    WriteError(WriteFailure failure, const std::string& message) : UserError(message), failure_(failure) {}
    WriteFailure failure() const { return failure_; }

private:
    WriteFailure failure_;
};

// Throws the WriteError that writeOutputFile would give for path before writing a byte
// (not a regular file, read-only), so a caller can refuse before doing its work.
void checkOutputFile(const std::string& path);

// The file at path (links followed) exists and its permission bits give its owner no write
// permission: the user keeps it as it is, whoever runs this (root could write it all the same).
bool isReadOnlyFile(const std::string& path);

// The one way a file is written. The bytes go to a temporary file in the target's folder,
// which is flushed and renamed over the target, so the target holds either its old bytes
// or all the new ones, and no temporary file stays behind. Where the system allows, the
// file is named only just before the rename, so a process killed while writing leaves none.
// - A symbolic link is written through to the file it names and stays a link.
// - A target that exists and is not a regular file, or whose permission bits give its
//   owner no write permission (whoever runs this), is refused.
// - A replaced file keeps its mode and, where the system allows, its owner and group.
// - Where the folder refuses the temporary file or the rename, where the replaced file's
//   owner or group could not be kept, or where it has other hard links, a file that keeps
//   its length is written in place and flushed; another length is refused.
// Throws WriteError naming the file and the system's reason.
// A file made anew gets newFileMode less the umask (0600 for files private to the user).
void writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes, unsigned newFileMode = 0666);

} // namespace vx
