#include "core/InputFile.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/HexText.h"
#include "core/Language.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

std::string KindText(TInputKind kind)
{
    switch (kind) {
    case TInputKind::Image: return Tr("イメージ", "an image");
    case TInputKind::Patch: return Tr("パッチ", "a patch");
    case TInputKind::Text: return Tr("テキストファイル", "a text file");
    case TInputKind::ColourFile: return Tr("カラーファイル", "the colour file");
    case TInputKind::Recovery: return Tr("復元ファイル", "a recovery file");
    }
    return {};
}

std::string TooLargeText(std::uint64_t size, TInputKind kind)
{
    if (IsJapanese())
        return GroupedDecimal(size) + " バイトあり、" + KindText(kind) + "の上限 " + GroupedDecimal(InputLimit(kind)) +
               " バイトを超えています。";
    return "It has " + GroupedDecimal(size) + " bytes, more than the " + GroupedDecimal(InputLimit(kind)) + " " +
           KindText(kind) + " may have.";
}

[[noreturn]] void Refuse(TFileAction action, const std::string& path, const std::string& reason)
{
    throw VxError(FileErrorText(action, path, reason));
}

void RefuseIfNotRegular(const struct stat& info, const std::string& path)
{
    if (S_ISDIR(info.st_mode))
        Refuse(TFileAction::Open, path, IsDirectoryText());
    if (!S_ISREG(info.st_mode))
        Refuse(TFileAction::Open, path, NotRegularFileText());
}

std::optional<std::vector<std::uint8_t>> Read(const std::string& path, TInputKind kind, bool missingIsFine)
{
    // Told apart before opening (a socket cannot be opened at all), and again after, as
    // the name may change hands; non-blocking, so a FIFO never waits for a writer.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        RefuseIfNotRegular(info, path);
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        if (missingIsFine && errno == ENOENT)
            return std::nullopt;
        Refuse(TFileAction::Open, path, SystemReason(errno));
    }
    if (::fstat(file.Get(), &info) != 0)
        Refuse(TFileAction::Read, path, SystemReason(errno));
    RefuseIfNotRegular(info, path);
    const std::uint64_t limit = InputLimit(kind);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > limit)
        Refuse(TFileAction::Open, path, TooLargeText(size, kind));

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
        const ssize_t count = ::read(file.Get(), bytes.data() + got, bytes.size() - got);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            Refuse(TFileAction::Read, path, SystemReason(errno));
        }
        if (count == 0)
            break;
        got += static_cast<std::size_t>(count);
    }
    if (got > limit)
        Refuse(TFileAction::Open, path, TooLargeText(got, kind));
    bytes.resize(got);
    bytes.shrink_to_fit();
    return bytes;
}

} // namespace

std::uint64_t InputLimit(TInputKind kind)
{
    switch (kind) {
    case TInputKind::Image: return 0x100040;
    case TInputKind::Patch: return 16u << 20;
    case TInputKind::Text: return 1u << 20;
    case TInputKind::ColourFile: return 192;
    case TInputKind::Recovery: return 0x100040 + 0x10000;
    }
    return 0;
}

std::vector<std::uint8_t> ReadInputFile(const std::string& path, TInputKind kind)
{
    return *Read(path, kind, false);
}

std::optional<std::vector<std::uint8_t>> ReadInputFileIfPresent(const std::string& path, TInputKind kind)
{
    return Read(path, kind, true);
}

} // namespace vx
