#include "core/files/PatchFormat.h"

#include "core/base/Language.h"

#include <cstring>

namespace vx {

std::optional<PatchFormat> patchFormatOfPath(std::string_view path)
{
    if (path.size() < 4 || path[path.size() - 4] != '.')
        return std::nullopt;
    std::string extension;
    for (char c : path.substr(path.size() - 3))
        extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "ips")
        return PatchFormat::Ips;
    if (extension == "bps")
        return PatchFormat::Bps;
    return std::nullopt;
}

std::optional<PatchFormat> patchFormatOfBytes(std::span<const std::uint8_t> patch)
{
    if (beginsWith(patch, IpsMark))
        return PatchFormat::Ips;
    if (beginsWith(patch, BpsMark))
        return PatchFormat::Bps;
    return std::nullopt;
}

bool beginsWith(std::span<const std::uint8_t> bytes, std::string_view mark)
{
    return bytes.size() >= mark.size() && std::memcmp(bytes.data(), mark.data(), mark.size()) == 0;
}

std::size_t equalRunLength(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t limit)
{
    std::size_t end = at + 1;
    while (end < limit && bytes[end] == bytes[at])
        ++end;
    return end - at;
}

std::string fillNumbers(std::string text, std::initializer_list<std::uint64_t> numbers)
{
    int index = 1;
    for (std::uint64_t number : numbers) {
        const std::string mark = "%" + std::to_string(index++);
        const std::size_t at = text.find(mark);
        if (at != std::string::npos)
            text.replace(at, mark.size(), std::to_string(number));
    }
    return text;
}

std::string patchedTooLargeText(std::uint64_t size, std::size_t maxSize)
{
    return fillNumbers(localized("パッチを当てたイメージは %1 バイトになり、上限の %2 バイ"
                                 "トを超えます。",
                                 "The patched image would be %1 bytes, more than the limit of %2 bytes."),
                       {size, maxSize});
}

Result<std::vector<std::uint8_t>> patchedImage(PatchApplier apply, std::span<const std::uint8_t> patch,
                                               std::span<const std::uint8_t> image, std::size_t maxSize)
{
    std::vector<std::uint8_t> out;
    std::string reason;
    if (!apply(patch, image, maxSize, out, reason))
        return Error{reason};
    return out;
}

} // namespace vx
