#include "core/OutputFile.h"

#include "core/FileSystem.h"
#include "core/Language.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vx {
namespace {

[[noreturn]] void Fail(TWriteFailure failure, const std::string& path, const std::string& reason)
{
    throw TWriteError(failure, FileErrorText(TFileAction::Write, path, reason));
}

[[noreturn]] void FailSystem(const std::string& path, int error)
{
    Fail(error == EROFS ? TWriteFailure::ReadOnly : TWriteFailure::System, path, SystemReason(error));
}

// 0, or the error number.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size, off_t offset = -1)
{
    while (size > 0) {
        const ssize_t written = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
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

// Errors by which a folder (read-only, or a network or synced one) refuses a new name
// while the file itself may still be writable.
bool FolderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EXDEV || error == ENOTSUP ||
           error == ENAMETOOLONG || error == EILSEQ || error == EINVAL;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The target's name and a random suffix, in its folder. Long names are cut, on a character
// boundary, to leave room for the suffix within the longest name a folder takes.
std::string TemporaryName(const std::string& target)
{
    static std::mt19937_64 random(std::random_device{}() ^
                                  static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string{} : target.substr(0, slash + 1);
    std::string name = target.substr(folder.size());
    if (name.size() > 200) {
        std::size_t cut = 200;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i)
        suffix += Letters[random() % (sizeof Letters - 1)];
    return folder + name + suffix;
}

void SyncFolder(const std::string& target)
{
    TFileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get()); // the rename itself is durable; a failure here loses nothing
}

enum class TReplace { Done, FolderRefused, OwnerNotKept, Failed };

// Gives a new file the old owner and mode and all the bytes, flushed; error holds the
// system's reason for any outcome but Done.
TReplace Fill(int fd, std::span<const std::uint8_t> bytes, const std::optional<struct stat>& old, int& error)
{
    // A copy the system will not give the old owner and group would change hands.
    if (old && ::fchown(fd, old->st_uid, old->st_gid) != 0)
        return error = errno, TReplace::OwnerNotKept;
    // The mode after the owner: a change of owner clears the set-id bits.
    if (old && ::fchmod(fd, old->st_mode & 07777) != 0)
        return error = errno, TReplace::Failed;
    if ((error = WriteAll(fd, bytes.data(), bytes.size())) != 0)
        return TReplace::Failed;
    if (::fsync(fd) != 0)
        return error = errno, TReplace::Failed;
    return TReplace::Done;
}

// Renames the complete temporary file over the target, or removes it.
TReplace RenameOver(const std::string& temporary, const std::string& target, int& error)
{
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return FolderRefuses(error) ? TReplace::FolderRefused : TReplace::Failed;
    }
    SyncFolder(target);
    return TReplace::Done;
}

// As ReplaceThroughTemporary, but the file has no name until it is complete, so a process
// killed meanwhile leaves nothing behind. Nothing where the system cannot make or name such
// a file; the named way then gives the folder's own answer.
std::optional<TReplace> ReplaceThroughUnnamed(const std::string& target, std::span<const std::uint8_t> bytes,
                                              const std::optional<struct stat>& old, int& error, unsigned mode)
{
#ifdef O_TMPFILE
    TFileDescriptor file(::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (file.Get() < 0)
        return std::nullopt;
    if (const TReplace filled = Fill(file.Get(), bytes, old, error); filled != TReplace::Done)
        return filled;
    // Naming through /proc needs no privilege, unlike linkat with AT_EMPTY_PATH.
    const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 100)
            return std::nullopt;
        temporary = TemporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            break;
        if (errno != EEXIST)
            return std::nullopt;
    }
    if (file.Close() != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return TReplace::Failed;
    }
    return RenameOver(temporary, target, error);
#else
    return std::nullopt;
#endif
}

// Writes the bytes to a new file beside the target and renames it over the target. On any
// outcome but Done the temporary file is gone again; error holds the system's reason.
TReplace ReplaceThroughTemporary(const std::string& target, std::span<const std::uint8_t> bytes,
                                 const std::optional<struct stat>& old, int& error, unsigned mode)
{
    if (const auto unnamed = ReplaceThroughUnnamed(target, bytes, old, error, mode))
        return *unnamed;
    std::string temporary;
    TFileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt) {
        temporary = TemporaryName(target);
        // The new file's mode less the umask; a replaced file takes the old mode below.
        file.Reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (file.Get() < 0 && errno != EEXIST)
            break;
    }
    if (file.Get() < 0) {
        error = errno;
        return FolderRefuses(error) ? TReplace::FolderRefused : TReplace::Failed;
    }
    TReplace filled = Fill(file.Get(), bytes, old, error);
    if (filled == TReplace::Done && file.Close() != 0) {
        error = errno;
        filled = TReplace::Failed;
    }
    if (filled != TReplace::Done) {
        file.Close();
        ::unlink(temporary.c_str());
        return filled;
    }
    return RenameOver(temporary, target, error);
}

// Writes over the file's own bytes (same length, nothing truncated), which keeps its owner,
// its other hard links and everything else about it. Should a write fail half way, the old
// bytes are put back as far as the system lets us. Returns 0 or the error number.
int WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes)
{
    TFileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (file.Get() < 0)
        return errno;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != bytes.size())
        return EAGAIN; // changed meanwhile
    std::vector<std::uint8_t> old(bytes.size());
    for (std::size_t got = 0; got < old.size();) {
        const ssize_t count = ::pread(file.Get(), old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : EIO;
        got += static_cast<std::size_t>(count);
    }
    int error = WriteAll(file.Get(), bytes.data(), bytes.size(), 0);
    if (error == 0 && ::fsync(file.Get()) != 0)
        error = errno;
    if (error != 0) {
        if (WriteAll(file.Get(), old.data(), old.size(), 0) == 0)
            ::fsync(file.Get());
        return error;
    }
    return file.Close() == 0 ? 0 : errno;
}

// The file as it stands at path (links followed); nothing when there is none.
std::optional<struct stat> Existing(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info;
    if (errno != ENOENT)
        FailSystem(path, errno);
    return std::nullopt;
}

} // namespace

void CheckOutputFile(const std::string& path)
{
    const auto old = Existing(path);
    if (!old)
        return;
    if (S_ISDIR(old->st_mode))
        Fail(TWriteFailure::NotRegularFile, path, IsDirectoryText());
    if (!S_ISREG(old->st_mode))
        Fail(TWriteFailure::NotRegularFile, path, NotRegularFileText());
    // Root may write anything; the owner's bits still say the file is to be kept.
    if ((old->st_mode & S_IWUSR) == 0)
        Fail(TWriteFailure::ReadOnly, path, Tr("読み取り専用のファイルです。", "The file is read-only."));
    if (::access(path.c_str(), W_OK) != 0)
        Fail(errno == EACCES || errno == EROFS ? TWriteFailure::ReadOnly : TWriteFailure::System, path,
             SystemReason(errno));
}

void WriteOutputFile(const std::string& path, std::span<const std::uint8_t> bytes, unsigned newFileMode)
{
    CheckOutputFile(path);
    const std::string target = FollowLinks(path);
    const auto old = Existing(path);
    if (old) {
        // A name the kernel resolves but no folder holds (a link in /proc) cannot be replaced.
        const auto named = Existing(target);
        if (!named || named->st_dev != old->st_dev || named->st_ino != old->st_ino)
            Fail(TWriteFailure::NotRegularFile, path,
                 Tr("このリンクを通して書き込むことはできません。", "It cannot be written through this link."));
    }
    const bool sameLength = old && static_cast<std::uint64_t>(old->st_size) == bytes.size();
    auto inPlaceOr = [&](const std::string& refusal) {
        if (!sameLength)
            Fail(TWriteFailure::System, path, refusal);
        if (const int error = WriteInPlace(target, bytes))
            FailSystem(path, error);
    };
    // Replacing a file with other hard links would part them.
    if (old && old->st_nlink > 1)
        return inPlaceOr(Tr("他のハードリンクを持つファイルです。置き換えるとリンクが切れます。",
                            "It has other hard links, which replacing it would part from it."));

    int error = 0;
    switch (ReplaceThroughTemporary(target, bytes, old, error, newFileMode)) {
    case TReplace::Done:
        return;
    case TReplace::OwnerNotKept:
        return inPlaceOr(Tr("別のユーザーかグループのファイルです。置き換えると持ち主が変わります。",
                            "It belongs to another user or group, and a new copy would change hands."));
    case TReplace::FolderRefused:
        if (sameLength)
            return inPlaceOr({});
        break;
    case TReplace::Failed:
        break;
    }
    FailSystem(path, error);
}

} // namespace vx
