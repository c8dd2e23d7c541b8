#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

// What a file read from outside is: each kind has its own size limit.
enum class InputKind {
    Image,      // a cartridge image, at most 0x100040 bytes
    Patch,      // an IPS or BPS patch, at most 16 MiB
    Text,       // the settings file, the name lists, stage text files: at most 1 MiB
    ColourFile, // the console's colours: 192 bytes
    Recovery,   // the editor's record of unsaved edits: an image and 64 KiB more
    Picture,    // a PNG picture of tiles: at most 16 MiB
};

std::uint64_t inputLimit(InputKind kind);

// The one way a file from outside is read. Refuses with UserError naming the file: a file
// that cannot be opened, a directory, anything else that is not a regular file (a FIFO is
// never waited on), and a file over its kind's limit, before a byte is read.
std::vector<std::uint8_t> readInputFile(const std::string& path, InputKind kind);

// The same, but a file that does not exist gives nothing.
std::optional<std::vector<std::uint8_t>> readInputFileIfPresent(const std::string& path, InputKind kind);

// The same for a file already opened (relative to a folder, say); path names it in messages.
std::vector<std::uint8_t> readOpenInputFile(int fd, const std::string& path, InputKind kind);

// The last `most` bytes of a regular file (a program's error output, however long it grew);
// nothing when it does not exist. Refuses as readInputFile does.
std::optional<std::vector<std::uint8_t>> readInputFileTail(const std::string& path, std::size_t most);

} // namespace vx
