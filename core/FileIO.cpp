#include "core/FileIO.h"

#include "core/Errors.h"
#include "core/Language.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

[[noreturn]] void ThrowFileError(const char* japanese, const char* english, const std::string& path,
                                 int error)
{
    const std::string reason = std::strerror(error);
    if (IsJapanese())
        throw VxError("ファイル \"" + path + "\" " + japanese + "\n" + reason);
    throw VxError(std::string(english) + " \"" + path + "\".\n" + reason);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Close()
    {
        int result = 0;
        if (fd_ >= 0)
            result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        ThrowFileError("を開けません。", "Cannot open file", path, errno);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        ThrowFileError("を読めません。", "Cannot read file", path, errno);
    if (!S_ISREG(info.st_mode))
        ThrowFileError("を開けません。", "Cannot open file", path, EISDIR);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowFileError("を読めません。", "Cannot read file", path, errno);
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    // Write through a link to the file it names, so the link stays a link.
    std::string target = path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        target = resolved;

    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    const mode_t mode = exists ? (info.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string temporary = target + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.Get() < 0)
        ThrowFileError("を書き込めません。", "Cannot write file", path, errno);

    auto fail = [&](int error) {
        file.Close();
        ::unlink(temporary.c_str());
        ThrowFileError("を書き込めません。", "Cannot write file", path, error);
    };
    if (!WriteAll(file.Get(), bytes.data(), bytes.size()))
        fail(errno);
    if (::fchmod(file.Get(), mode) != 0)
        fail(errno);
    if (::fsync(file.Get()) != 0)
        fail(errno);
    if (file.Close() != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        ThrowFileError("を書き込めません。", "Cannot write file", path, error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        ThrowFileError("を書き込めません。", "Cannot write file", path, error);
    }
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace vx
