#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vx {

// What a file held when it was last read or written: enough to tell that another program
// changed it since.
struct DiskStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
    std::uint64_t hash = 0;      // of the bytes
    // The file's inode and device: a program that saves by renaming a new file over the old
    // one (as this one does) changes them even within one tick of the file system's clock.
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    // Size, time and file alone: a cheap first look before the bytes are read and hashed.
    bool sameSizeAndTime(const DiskStamp& other) const
    {
        return size == other.size && modifiedNs == other.modifiedNs && inode == other.inode && device == other.device;
    }
};

// FNV-1a over the bytes: not for security, only to see a change without keeping a copy.
std::uint64_t hashOfBytes(std::span<const std::uint8_t> bytes);

// The size and time of the file at path (links followed), hash left 0; nothing when there
// is no such file or it cannot be looked at.
std::optional<DiskStamp> statOfFile(const std::string& path);

// The stamp of bytes just read from or written to path.
DiskStamp stampOf(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace vx
