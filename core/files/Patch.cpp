#include "core/files/Patch.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"

#include <algorithm>

namespace vx {

std::vector<std::uint8_t> makePatch(PatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records)
{
    return format == PatchFormat::Ips ? makeIps(original, edited, records) : makeBps(original, edited, records);
}

Result<void> checkPatchable(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited)
{
    if (original.size() != edited.size())
        return Error{fillNumbers(
            localized("元のイメージ (%1 バイト) は開いているイメージ (%2 バイト) "
                      "と長さが違います。パッチは同じ長さのイメージの間で作成します。",
                      "The original image (%1 bytes) and the open image (%2 bytes) differ in length: a patch is made "
                      "between images of one length."),
            {original.size(), edited.size()})};
    if (std::equal(original.begin(), original.end(), edited.begin()))
        return Error{localized("開いているイメージは元のイメージと同じです。パッチは作"
                               "成しませんでした。",
                               "The open image is the same as the original: no patch was made.")};
    return Done;
}

Result<MadePatch> makePatchBetween(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                   PatchFormat format)
{
    if (Result<void> patchable = checkPatchable(original, edited); !patchable.ok())
        return patchable.error();
    try {
        MadePatch made;
        made.bytes = makePatch(format, original, edited, &made.records);
        return made;
    } catch (const UserError& error) { // an IPS past 16 MiB
        return error.error();
    }
}

Result<std::vector<std::uint8_t>> applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                             std::size_t maxSize)
{
    const auto format = patchFormatOfBytes(patch);
    if (!format)
        return Error{localized("IPS パッチでも BPS パッチでもありません"
                               "。",
                               "This is neither an IPS nor a BPS patch.")};
    return *format == PatchFormat::Ips ? applyIps(patch, image, maxSize) : applyBps(patch, image, maxSize);
}

} // namespace vx
