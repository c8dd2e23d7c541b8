#include "core/files/InputFile.h"

#include "core/base/Errors.h"
#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

std::string kindText(InputKind kind)
{
    switch (kind) {
    case InputKind::Image: return localized("イメージ", "an image");
    case InputKind::Patch: return localized("パッチ", "a patch");
    case InputKind::Text: return localized("テキストファイル", "a text file");
    case InputKind::ColourFile: return localized("カラーファイル", "the colour file");
    case InputKind::Recovery: return localized("復元ファイル", "a recovery file");
    case InputKind::Picture: return localized("画像ファイル", "a picture");
    }
    return {};
}

std::string tooLargeText(std::uint64_t size, InputKind kind)
{
    if (isJapanese())
        return groupedDecimal(size) +
            " バイトあり"
            "、" +
            kindText(kind) + "の上限 " + groupedDecimal(inputLimit(kind)) + " バイトを超えています。";
    return "It has " + groupedDecimal(size) + " bytes, more than the " + groupedDecimal(inputLimit(kind)) + " " +
        kindText(kind) + " may have.";
}

[[noreturn]] void refuse(FileAction action, const std::string& path, const std::string& reason)
{
    throw UserError(fileErrorText(action, path, reason));
}

void refuseIfNotRegular(const struct stat& info, const std::string& path)
{
    if (S_ISDIR(info.st_mode))
        refuse(FileAction::Open, path, isDirectoryText());
    if (!S_ISREG(info.st_mode))
        refuse(FileAction::Open, path, notRegularFileText());
}

std::optional<std::vector<std::uint8_t>> read(const std::string& path, InputKind kind, bool missingIsFine)
{
    // Told apart before opening (a socket cannot be opened at all), and again after, as
    // the name may change hands; non-blocking, so a FIFO never waits for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        refuseIfNotRegular(info, path);
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (missingIsFine && errno == ENOENT)
            return std::nullopt;
        refuse(FileAction::Open, path, systemReason(errno));
    }
    return readOpenInputFile(file.get(), path, kind);
}

} // namespace

std::uint64_t inputLimit(InputKind kind)
{
    switch (kind) {
    case InputKind::Image: return 0x100040;
    case InputKind::Patch: return 16u << 20;
    case InputKind::Text: return 1u << 20;
    case InputKind::ColourFile: return 192;
    case InputKind::Recovery: return 0x100040 + 0x10000;
    case InputKind::Picture: return 16u << 20;
    }
    return 0;
}

std::optional<std::vector<std::uint8_t>> readInputFileTail(const std::string& path, std::size_t most)
{
    struct stat info {};
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        refuse(FileAction::Open, path, systemReason(errno));
    }
    if (::fstat(file.get(), &info) != 0)
        refuse(FileAction::Read, path, systemReason(errno));
    refuseIfNotRegular(info, path);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const std::uint64_t start = size > most ? size - most : 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size - start));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t count =
            ::pread(file.get(), bytes.data() + got, bytes.size() - got, static_cast<off_t>(start + got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            refuse(FileAction::Read, path, systemReason(errno));
        if (count == 0) // shortened meanwhile
            break;
        got += static_cast<std::size_t>(count);
    }
    bytes.resize(got);
    return bytes;
}

std::vector<std::uint8_t> readOpenInputFile(int fd, const std::string& path, InputKind kind)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        refuse(FileAction::Read, path, systemReason(errno));
    refuseIfNotRegular(info, path);
    const std::uint64_t limit = inputLimit(kind);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > limit)
        refuse(FileAction::Open, path, tooLargeText(size, kind));

    // Read at most one byte past the limit, so a file that grows meanwhile is still refused.
    const std::uint64_t most = limit + 1;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(most, std::max<std::uint64_t>(size + 1, 4096))));
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) { // longer than fstat said (a file growing, or one in /proc)
            if (bytes.size() >= most)
                break;
            bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(most, bytes.size() * 2)));
        }
        const ssize_t count = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            refuse(FileAction::Read, path, systemReason(errno));
        }
        if (count == 0)
            break;
        got += static_cast<std::size_t>(count);
    }
    if (got > limit)
        refuse(FileAction::Open, path, tooLargeText(got, kind));
    bytes.resize(got);
    bytes.shrink_to_fit();
    return bytes;
}

std::vector<std::uint8_t> readInputFile(const std::string& path, InputKind kind) { return *read(path, kind, false); }

std::optional<std::vector<std::uint8_t>> readInputFileIfPresent(const std::string& path, InputKind kind)
{
    return read(path, kind, true);
}

} // namespace vx
