#include "core/files/PrivateFolder.h"

#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/OutputFile.h"
#include "core/files/WriterNames.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

Error refusal(const std::string& path, const std::string& reason)
{
    return Error{fileErrorText(FileAction::Open, path, reason)};
}

// The folder opened without following a link, checked to be this user's, and made private.
Result<int> openChecked(int at, const std::string& name, const std::string& path, bool make)
{
    if (make && ::mkdirat(at, name.c_str(), 0700) != 0 && errno != EEXIST)
        return refusal(path, systemReason(errno));
    FileDescriptor folder(::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0) {
        const int error = errno;
        struct stat info {};
        if (::fstatat(at, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
            return refusal(path,
                           localized("リンクです。エディタ自身のフォルダはリンクであって"
                                     "はなりません。",
                                     "It is a link; the editor's own folders must not be links."));
        return refusal(path,
                       error == ENOTDIR ? localized("フォルダではありません。", "It is not a folder.")
                                        : systemReason(error));
    }
    struct stat info {};
    if (::fstat(folder.get(), &info) != 0)
        return refusal(path, systemReason(errno));
    if (info.st_uid != ::geteuid())
        return refusal(path, localized("別のユーザーのフォルダです。", "It belongs to another user."));
    if ((info.st_mode & 077) != 0 && ::fchmod(folder.get(), 0700) != 0)
        return refusal(path, systemReason(errno));
    return folder.release();
}

} // namespace

PrivateFolder::PrivateFolder(std::string path, int fd)
    : path_(std::move(path)), fd_(std::make_shared<FileDescriptor>(fd))
{
}

Result<PrivateFolder> PrivateFolder::open(const std::string& path, bool make)
{
    if (make) {
        std::error_code ignored; // a parent that cannot be made shows in the open below
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    }
    const Result<int> fd = openChecked(AT_FDCWD, path, path, make);
    if (!fd.ok())
        return fd.error();
    return PrivateFolder(path, fd.value());
}

Result<PrivateFolder> PrivateFolder::folder(const std::string& name, bool make) const
{
    const Result<int> fd = openChecked(fd_->get(), name, pathOf(name), make);
    if (!fd.ok())
        return fd.error();
    return PrivateFolder(pathOf(name), fd.value());
}

PrivateFolder::Entry PrivateFolder::entry(const std::string& name) const
{
    struct stat info {};
    if (::fstatat(fd_->get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return Entry::Missing;
    if (info.st_uid != ::geteuid())
        return Entry::Other;
    return S_ISREG(info.st_mode) ? Entry::File : S_ISDIR(info.st_mode) ? Entry::Folder : Entry::Other;
}

std::vector<std::string> PrivateFolder::names() const
{
    std::vector<std::string> found;
    const int listed = ::openat(fd_->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!folder) {
        if (listed >= 0)
            ::close(listed);
        return found;
    }
    while (const dirent* entry = ::readdir(folder))
        if (std::string name = entry->d_name; name != "." && name != "..")
            found.push_back(std::move(name));
    ::closedir(folder);
    return found;
}

std::optional<std::int64_t> PrivateFolder::modifiedAt(const std::string& name) const
{
    struct stat info {};
    if (entry(name) != Entry::File || ::fstatat(fd_->get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_mtime);
}

std::optional<std::vector<std::uint8_t>> PrivateFolder::read(const std::string& name, InputKind kind) const
{
    FileDescriptor file(::openat(fd_->get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return std::nullopt;
    return readOpenInputFile(file.get(), pathOf(name), kind);
}

void PrivateFolder::write(const std::string& name, std::span<const std::uint8_t> bytes) const
{
    const int folder = fd_->get();
    const std::string temporary = temporaryNameFor(name);
    const auto fail = [&](int error) {
        ::unlinkat(folder, temporary.c_str(), 0);
        throw WriteError(WriteFailure::System, fileErrorText(FileAction::Write, pathOf(name), systemReason(error)));
    };
    bool named = false;
    FileDescriptor file;
#ifdef O_TMPFILE
    file.reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
#endif
    if (file.get() < 0) { // a file system without unnamed files: named from the start
        file.reset(::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0)
            throw WriteError(WriteFailure::System, fileErrorText(FileAction::Write, pathOf(name), systemReason(errno)));
        named = true;
    }
    if (::fchmod(file.get(), 0600) != 0)
        fail(errno);
    if (const int error = writeAllBytes(file.get(), bytes.data(), bytes.size()); error != 0)
        fail(error);
    if (::fsync(file.get()) != 0)
        fail(errno);
    if (!named) {
        const std::string self = "/proc/self/fd/" + std::to_string(file.get());
        if (::linkat(AT_FDCWD, self.c_str(), folder, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0)
            fail(errno);
    }
    if (file.close() != 0)
        fail(errno);
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0)
        fail(errno);
    ::fsync(folder); // the rename is durable; a failure here loses nothing
}

bool PrivateFolder::remove(const std::string& name) const
{
    switch (entry(name)) {
    case Entry::Missing: return true;
    case Entry::File: return ::unlinkat(fd_->get(), name.c_str(), 0) == 0;
    case Entry::Folder: return ::unlinkat(fd_->get(), name.c_str(), AT_REMOVEDIR) == 0;
    case Entry::Other: return false;
    }
    return false;
}

bool PrivateFolder::rename(const std::string& from, const std::string& to) const
{
    return entry(from) == Entry::File && ::renameat(fd_->get(), from.c_str(), fd_->get(), to.c_str()) == 0;
}

bool PrivateFolder::removeIfEmpty() const { return ::rmdir(path_.c_str()) == 0; }

void PrivateFolder::removeLeftovers() const { removeGoneWritersLeftovers(fd_->get(), {}); }

} // namespace vx
