#include "core/files/OutputFile.h"

#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/WriterNames.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vx {
namespace {

[[noreturn]] void fail(WriteFailure failure, const std::string& path, const std::string& reason)
{
    throw WriteError(failure, fileErrorText(FileAction::Write, path, reason));
}

[[noreturn]] void failSystem(const std::string& path, int error)
{
    fail(error == EROFS ? WriteFailure::ReadOnly : WriteFailure::System, path, systemReason(error));
}

// Errors by which a folder (read-only, or a network or synced one) refuses a new name
// while the file itself may still be writable.
bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EXDEV || error == ENOTSUP ||
        error == ENAMETOOLONG || error == EILSEQ || error == EINVAL;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameIn(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A temporary name beside the target, in its folder.
std::string temporaryName(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    return target.substr(0, slash == std::string::npos ? 0 : slash + 1) + temporaryNameFor(nameIn(target));
}

// After a write: the litter of writers killed before, in the target's folder.
void removeLeftoversBeside(const std::string& target)
{
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        removeGoneWritersLeftovers(folder.get(), nameIn(target));
}

void syncFolder(const std::string& target)
{
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get()); // the rename itself is durable; a failure here loses nothing
}

enum class Replace {
    Done,
    FolderRefused,
    OwnerNotKept,
    Failed
};

// Gives a new file the old owner and mode and all the bytes, flushed; error holds the
// system's reason for any outcome but Done.
Replace fillFindings(int fd, std::span<const std::uint8_t> bytes, const std::optional<struct stat>& old, int& error)
{
    // A copy the system will not give the old owner and group would change hands.
    if (old && ::fchown(fd, old->st_uid, old->st_gid) != 0)
        return error = errno, Replace::OwnerNotKept;
    // The mode after the owner: a change of owner clears the set-id bits.
    if (old && ::fchmod(fd, old->st_mode & 07777) != 0)
        return error = errno, Replace::Failed;
    if ((error = writeAllBytes(fd, bytes.data(), bytes.size())) != 0)
        return Replace::Failed;
    if (::fsync(fd) != 0)
        return error = errno, Replace::Failed;
    return Replace::Done;
}

// Renames the complete temporary file over the target, or removes it.
Replace renameOver(const std::string& temporary, const std::string& target, int& error)
{
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return folderRefuses(error) ? Replace::FolderRefused : Replace::Failed;
    }
    syncFolder(target);
    return Replace::Done;
}

// As replaceThroughTemporary, but the file has no name until it is complete, so a process
// killed meanwhile leaves nothing behind. Nothing where the system cannot make or name such
// a file; the named way then gives the folder's own answer.
std::optional<Replace> replaceThroughUnnamed(const std::string& target, std::span<const std::uint8_t> bytes,
                                             const std::optional<struct stat>& old, int& error, unsigned mode)
{
#ifdef O_TMPFILE
    FileDescriptor file(::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (file.get() < 0)
        return std::nullopt;
    if (const Replace filled = fillFindings(file.get(), bytes, old, error); filled != Replace::Done)
        return filled;
    // Naming through /proc needs no privilege, unlike linkat with AT_EMPTY_PATH.
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    // A new file takes its name whole at once: no second name, nothing a kill could leave.
    if (!old && ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        if (file.close() != 0) {
            error = errno;
            ::unlink(target.c_str());
            return Replace::Failed;
        }
        syncFolder(target);
        return Replace::Done;
    }
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 100)
            return std::nullopt;
        temporary = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            break;
        if (errno != EEXIST)
            return std::nullopt;
    }
    if (file.close() != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return Replace::Failed;
    }
    return renameOver(temporary, target, error);
#else
    return std::nullopt;
#endif
}

// Writes the bytes to a new file beside the target and renames it over the target. On any
// outcome but Done the temporary file is gone again; error holds the system's reason.
Replace replaceThroughTemporary(const std::string& target, std::span<const std::uint8_t> bytes,
                                const std::optional<struct stat>& old, int& error, unsigned mode)
{
    if (const auto unnamed = replaceThroughUnnamed(target, bytes, old, error, mode))
        return *unnamed;
    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temporary = temporaryName(target);
        // The new file's mode less the umask; a replaced file takes the old mode below.
        file.reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (file.get() < 0 && errno != EEXIST)
            break;
    }
    if (file.get() < 0) {
        error = errno;
        return folderRefuses(error) ? Replace::FolderRefused : Replace::Failed;
    }
    Replace filled = fillFindings(file.get(), bytes, old, error);
    if (filled == Replace::Done && file.close() != 0) {
        error = errno;
        filled = Replace::Failed;
    }
    if (filled != Replace::Done) {
        file.close();
        ::unlink(temporary.c_str());
        return filled;
    }
    return renameOver(temporary, target, error);
}

// Writes over the file's own bytes (same length, nothing truncated), which keeps its owner,
// its other hard links and everything else about it. Meanwhile a whole copy of the old bytes
// stands beside it as a backup, so a kill half way leaves a named backup, not only a mix
// (where the folder takes no new file there can be none). Should a write fail half way, the
// old bytes are put back as far as the system lets us. Returns 0 or the error number.
int writeInPlace(const std::string& target, std::span<const std::uint8_t> bytes)
{
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (file.get() < 0)
        return errno;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != bytes.size())
        return EAGAIN; // changed meanwhile
    std::vector<std::uint8_t> old(bytes.size());
    for (std::size_t got = 0; got < old.size();) {
        const ssize_t count = ::pread(file.get(), old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : EIO;
        got += static_cast<std::size_t>(count);
    }
    const std::string slashed = target.substr(0, target.rfind('/') + 1);
    std::string backup = slashed + backupNameFor(nameIn(target));
    if (int ignored = 0; replaceThroughTemporary(backup, old, std::nullopt, ignored, 0600) != Replace::Done)
        backup.clear();
    int error = writeAllBytes(file.get(), bytes.data(), bytes.size(), 0);
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    // Kept where the old bytes could not be put back: then it is their only whole copy.
    bool backupNeeded = false;
    if (error != 0)
        backupNeeded = writeAllBytes(file.get(), old.data(), old.size(), 0) != 0 || ::fsync(file.get()) != 0;
    else if (file.close() != 0)
        error = errno;
    if (!backup.empty() && !backupNeeded)
        ::unlink(backup.c_str());
    return error;
}

// The file as it stands at path (links followed); nothing when there is none.
std::optional<struct stat> existing(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info;
    if (errno != ENOENT)
        failSystem(path, errno);
    return std::nullopt;
}

} // namespace

bool isReadOnlyFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

void checkOutputFile(const std::string& path)
{
    const auto old = existing(path);
    if (!old)
        return;
    if (S_ISDIR(old->st_mode))
        fail(WriteFailure::NotRegularFile, path, isDirectoryText());
    if (!S_ISREG(old->st_mode))
        fail(WriteFailure::NotRegularFile, path, notRegularFileText());
    // Root may write anything; the owner's bits still say the file is to be kept.
    if ((old->st_mode & S_IWUSR) == 0)
        fail(WriteFailure::ReadOnly, path,
             localized("読み取り専用のファイルです"
                       "。",
                       "The file is read-only."));
    if (::access(path.c_str(), W_OK) != 0)
        fail(errno == EACCES || errno == EROFS ? WriteFailure::ReadOnly : WriteFailure::System, path,
             systemReason(errno));
}

void writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes, unsigned newFileMode)
{
    checkOutputFile(path);
    const std::string target = followLinks(path);
    const auto old = existing(path);
    if (old) {
        // A name the kernel resolves but no folder holds (a link in /proc) cannot be replaced.
        const auto named = existing(target);
        if (!named || named->st_dev != old->st_dev || named->st_ino != old->st_ino)
            fail(WriteFailure::NotRegularFile, path,
                 localized("このリンクを通して書き込むことはできません"
                           "。",
                           "It cannot be written through this link."));
    }
    const bool sameLength = old && static_cast<std::uint64_t>(old->st_size) == bytes.size();
    auto inPlaceOr = [&](const std::string& refusal) {
        if (!sameLength)
            fail(WriteFailure::System, path, refusal);
        if (const int error = writeInPlace(target, bytes))
            failSystem(path, error);
        removeLeftoversBeside(target);
    };
    // Replacing a file with other hard links would part them.
    if (old && old->st_nlink > 1)
        return inPlaceOr(localized("他のハードリンクを持つファイルです。置き換えるとリン"
                                   "クが切れます。",
                                   "It has other hard links, which replacing it would part from it."));

    int error = 0;
    switch (replaceThroughTemporary(target, bytes, old, error, newFileMode)) {
    case Replace::Done: return removeLeftoversBeside(target);
    case Replace::OwnerNotKept:
        return inPlaceOr(localized("別のユーザーかグループのファイルです。置き換えると持"
                                   "ち主が変わります。",
                                   "It belongs to another user or group, and a new copy would change hands."));
    case Replace::FolderRefused:
        if (sameLength)
            return inPlaceOr({});
        break;
    case Replace::Failed: break;
    }
    failSystem(path, error);
}

} // namespace vx
