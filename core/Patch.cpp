#include "core/Patch.h"

#include "core/Errors.h"
#include "core/Language.h"

#include <algorithm>

namespace vx {

std::vector<std::uint8_t> makePatch(PatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records)
{
    return format == PatchFormat::Ips ? makeIps(original, edited, records) : makeBps(original, edited, records);
}

std::optional<std::string> patchRefusal(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited)
{
    if (original.size() != edited.size())
        return fillNumbers(
            localized("元のイメージ (%1 バイト) は開いているイメージ (%2 バイト) と長さが違います。パッチは同じ長さのイメージの間で作成します。",
               "The original image (%1 bytes) and the open image (%2 bytes) differ in length: a patch is made "
               "between images of one length."),
            {original.size(), edited.size()});
    if (std::equal(original.begin(), original.end(), edited.begin()))
        return localized("開いているイメージは元のイメージと同じです。パッチは作成しませんでした。",
                  "The open image is the same as the original: no patch was made.");
    return std::nullopt;
}

PatchResult makePatchBetween(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                              PatchFormat format)
{
    PatchResult result;
    if (auto refusal = patchRefusal(original, edited)) {
        result.refusal = std::move(*refusal);
        return result;
    }
    try {
        result.bytes = makePatch(format, original, edited, &result.records);
    } catch (const UserError& error) { // an IPS past 16 MiB
        result.refusal = error.what();
    }
    return result;
}

bool applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                std::vector<std::uint8_t>& out, std::string& reason)
{
    const auto format = patchFormatOfBytes(patch);
    if (!format) {
        reason = localized("IPS パッチでも BPS パッチでもありません。", "This is neither an IPS nor a BPS patch.");
        return false;
    }
    return *format == PatchFormat::Ips ? applyIps(patch, image, maxSize, out, reason)
                                        : applyBps(patch, image, maxSize, out, reason);
}

} // namespace vx
