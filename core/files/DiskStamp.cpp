#include "core/files/DiskStamp.h"

#include <sys/stat.h>

namespace vx {

std::uint64_t hashOfBytes(std::span<const std::uint8_t> bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::optional<DiskStamp> statOfFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    DiskStamp stamp;
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    return stamp;
}

DiskStamp stampOf(const std::string& path, std::span<const std::uint8_t> bytes)
{
    DiskStamp stamp = statOfFile(path).value_or(DiskStamp{});
    // The bytes decide; a size that disagrees with them only forces a look next time.
    stamp.hash = hashOfBytes(bytes);
    return stamp;
}

} // namespace vx
