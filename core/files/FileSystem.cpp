#include "core/files/FileSystem.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

int FileDescriptor::close()
{
    int result = 0;
    if (fd_ >= 0)
        result = ::close(fd_);
    fd_ = -1;
    return result;
}

std::string fileErrorText(FileAction action, const std::string& path, const std::string& reason)
{
    if (isJapanese()) {
        const char* verb = action == FileAction::Open ? "を開けません。"
            : action == FileAction::Read              ? "を読めません。"
                                                      : "を書き込めません。";
        return "ファイル \"" + path + "\" " + verb + "\n" + reason;
    }
    const char* verb = action == FileAction::Open ? "Cannot open file"
        : action == FileAction::Read              ? "Cannot read file"
                                                  : "Cannot write file";
    return std::string(verb) + " \"" + path + "\".\n" + reason;
}

std::string systemReason(int error)
{
    // An error number of 0 would read "Success"; a failure without one is an I/O error.
    return sentence(std::strerror(error != 0 ? error : EIO));
}

std::string isDirectoryText() { return localized("フォルダです。", "It is a directory."); }

std::string notRegularFileText()
{
    return localized("通常のファイルではありません (デバイス、FIFO、ソケットなど)。",
                     "It is not a regular file (a device, FIFO or socket).");
}

std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return current;
        const std::string next(target, static_cast<std::size_t>(length));
        if (next.front() == '/') {
            current = next;
        } else {
            const std::size_t slash = current.rfind('/');
            current = slash == std::string::npos ? next : current.substr(0, slash + 1) + next;
        }
    }
    throw UserError(fileErrorText(FileAction::Write, path, systemReason(ELOOP)));
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
        first.st_ino == second.st_ino;
}

bool hasExtension(std::string_view path, std::string_view extension)
{
    if (path.size() < extension.size())
        return false;
    const std::string_view end = path.substr(path.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace vx
