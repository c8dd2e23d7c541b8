#include "core/OutputFile.h"

#include "core/FileSystem.h"
#include "core/Language.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
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

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Errors by which a folder (read-only, or a network or synced one) refuses a new name
// while the file itself may still be writable.
bool FolderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EXDEV || error == ENOTSUP ||
           error == ENAMETOOLONG;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TemporaryPattern(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string{} : target.substr(0, slash + 1);
    // Room for the suffix within the longest name a folder takes.
    const std::string name = target.substr(folder.size()).substr(0, 200);
    return folder + name + ".XXXXXX";
}

void SyncFolder(const std::string& target)
{
    TFileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get()); // the rename itself is durable; a failure here loses nothing
}

// The old owner and group where the system lets us, then the old mode (a change of owner
// clears the set-id bits, so the mode comes last).
int KeepOwnerAndMode(int fd, const std::optional<struct stat>& old, mode_t mode)
{
    if (old) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
    }
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Returns 0, or the error number with the temporary file gone.
int ReplaceThroughTemporary(const std::string& target, std::span<const std::uint8_t> bytes,
                            const std::optional<struct stat>& old, bool& folderRefused)
{
    std::string temporary = TemporaryPattern(target);
    TFileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        folderRefused = FolderRefuses(errno);
        return errno;
    }
    auto discard = [&](int error) {
        file.Close();
        ::unlink(temporary.c_str());
        return error;
    };
    if (int error = WriteAll(file.Get(), bytes.data(), bytes.size()))
        return discard(error);
    if (int error = KeepOwnerAndMode(file.Get(), old, old ? (old->st_mode & 07777) : NewFileMode()))
        return discard(error);
    if (::fsync(file.Get()) != 0)
        return discard(errno);
    if (file.Close() != 0)
        return discard(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        folderRefused = FolderRefuses(error);
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolder(target);
    return 0;
}

// Writes over the file's own bytes (same length, nothing truncated). Should a write fail
// half way, the old bytes are put back as far as the system lets us.
int WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes)
{
    TFileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (file.Get() < 0)
        return errno;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != bytes.size())
        return EACCES;
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

} // namespace

void WriteOutputFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const std::string target = FollowLinks(path);
    std::optional<struct stat> old;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0)
        old = info;
    else if (errno != ENOENT)
        FailSystem(path, errno);

    if (old) {
        if (S_ISDIR(old->st_mode))
            Fail(TWriteFailure::NotRegularFile, path, IsDirectoryText());
        if (!S_ISREG(old->st_mode))
            Fail(TWriteFailure::NotRegularFile, path, NotRegularFileText());
        // Root may write anything; the owner's bits still say the file is to be kept.
        if ((old->st_mode & S_IWUSR) == 0)
            Fail(TWriteFailure::ReadOnly, path, Tr("読み取り専用のファイルです。", "The file is read-only."));
        if (::access(target.c_str(), W_OK) != 0)
            Fail(errno == EACCES || errno == EROFS ? TWriteFailure::ReadOnly : TWriteFailure::System, path,
                 SystemReason(errno));
    }

    bool folderRefused = false;
    const int error = ReplaceThroughTemporary(target, bytes, old, folderRefused);
    if (error == 0)
        return;
    if (folderRefused && old && static_cast<std::uint64_t>(old->st_size) == bytes.size()) {
        const int inPlace = WriteInPlace(target, bytes);
        if (inPlace == 0)
            return;
        FailSystem(path, inPlace);
    }
    FailSystem(path, error);
}

} // namespace vx
