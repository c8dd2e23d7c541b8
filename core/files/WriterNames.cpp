#include "core/files/WriterNames.h"

#include "core/files/FileSystem.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

constexpr char Mark[] = ".vx";
constexpr char BackupEnd[] = ".backup";
constexpr std::size_t RandomLength = 6;
constexpr std::size_t LongestKeptName = 200; // leaves room for the suffix within a folder's 255

struct WriterName {
    std::string target;
    long pid = 0;
    bool backup = false;
};

bool isLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// "<target>.vx<pid>-<6 letters>[.backup]", read from the end: the target may hold anything.
std::optional<WriterName> writerNameOf(std::string name)
{
    WriterName found;
    const std::size_t backupLength = sizeof BackupEnd - 1;
    if (name.size() > backupLength && name.compare(name.size() - backupLength, backupLength, BackupEnd) == 0) {
        found.backup = true;
        name.resize(name.size() - backupLength);
    }
    if (name.size() < RandomLength + 1)
        return std::nullopt;
    for (std::size_t i = name.size() - RandomLength; i < name.size(); ++i)
        if (!isLetterOrDigit(name[i]))
            return std::nullopt;
    std::size_t end = name.size() - RandomLength - 1;
    if (name[end] != '-')
        return std::nullopt;
    std::size_t start = end;
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9')
        --start;
    if (start == end || end - start > 9 || start < sizeof Mark - 1 ||
        name.compare(start - (sizeof Mark - 1), sizeof Mark - 1, Mark) != 0)
        return std::nullopt;
    found.pid = std::stol(name.substr(start, end - start));
    found.target = name.substr(0, start - (sizeof Mark - 1));
    if (found.target.empty() || found.pid <= 0)
        return std::nullopt;
    return found;
}

bool stillRuns(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

} // namespace

std::string temporaryNameFor(const std::string& targetName)
{
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string name = targetName;
    if (name.size() > LongestKeptName) {
        std::size_t cut = LongestKeptName; // on a character boundary
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    name += Mark + std::to_string(::getpid()) + "-";
    for (std::size_t i = 0; i < RandomLength; ++i)
        name += Letters[random() % (sizeof Letters - 1)];
    return name;
}

std::string backupNameFor(const std::string& targetName) { return temporaryNameFor(targetName) + BackupEnd; }

int writeAllBytes(int fd, const std::uint8_t* data, std::size_t size, long long offset)
{
    while (size > 0) {
        const ssize_t written =
            offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= static_cast<std::size_t>(written);
        if (offset >= 0)
            offset += written;
    }
    return 0;
}

void removeGoneWritersLeftovers(int folderFd, const std::string& targetName)
{
    const int listed = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0)
        return;
    DIR* folder = ::fdopendir(listed);
    if (!folder) {
        ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const auto name = writerNameOf(entry->d_name);
        if (!name || (name->backup && name->target != targetName) || stillRuns(name->pid))
            continue;
        struct stat info {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid())
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

} // namespace vx
