#include "core/Patch.h"

#include "core/Errors.h"
#include "core/Language.h"

#include <algorithm>

namespace vx {

std::vector<std::uint8_t> MakePatch(TPatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records)
{
    return format == TPatchFormat::Ips ? MakeIps(original, edited, records) : MakeBps(original, edited, records);
}

std::optional<std::string> PatchRefusal(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited)
{
    if (original.size() != edited.size())
        return FillNumbers(
            Tr("元のイメージ (%1 バイト) は開いているイメージ (%2 バイト) と長さが違います。パッチは同じ長さのイメージの間で作成します。",
               "The original image (%1 bytes) and the open image (%2 bytes) differ in length: a patch is made "
               "between images of one length."),
            {original.size(), edited.size()});
    if (std::equal(original.begin(), original.end(), edited.begin()))
        return Tr("開いているイメージは元のイメージと同じです。パッチは作成しませんでした。",
                  "The open image is the same as the original: no patch was made.");
    return std::nullopt;
}

TPatchResult MakePatchBetween(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                              TPatchFormat format)
{
    TPatchResult result;
    if (auto refusal = PatchRefusal(original, edited)) {
        result.refusal = std::move(*refusal);
        return result;
    }
    try {
        result.bytes = MakePatch(format, original, edited, &result.records);
    } catch (const VxError& error) { // an IPS past 16 MiB
        result.refusal = error.what();
    }
    return result;
}

bool ApplyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                std::vector<std::uint8_t>& out, std::string& reason)
{
    const auto format = PatchFormatOfBytes(patch);
    if (!format) {
        reason = Tr("IPS パッチでも BPS パッチでもありません。", "This is neither an IPS nor a BPS patch.");
        return false;
    }
    return *format == TPatchFormat::Ips ? ApplyIps(patch, image, maxSize, out, reason)
                                        : ApplyBps(patch, image, maxSize, out, reason);
}

} // namespace vx
