#pragma once
#include "core/files/BpsPatch.h"
#include "core/files/IpsPatch.h"
#include "core/files/PatchFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace vx {

// A patch that turns original into edited, in either format; records as makeIps and makeBps.
std::vector<std::uint8_t> makePatch(PatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records = nullptr);

// A patch the editor or the tool writes.
struct MadePatch {
    std::vector<std::uint8_t> bytes;
    std::size_t records = 0; // records (IPS) or actions (BPS)
};

// Refuses a patch from original to edited of another length or with nothing changed. The
// editor asks before it asks for a patch name.
Result<void> checkPatchable(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited);

// The one way the editor and the tool make a hack's patch, refused as checkPatchable says
// (or, for IPS, past 16 MiB).
Result<MadePatch> makePatchBetween(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                   PatchFormat format);

// Applies a patch to image, as its first bytes name its format. A patch is outside input:
// every byte is checked, nothing is read outside patch or image, and an output longer than
// maxSize is refused before it is made. The patched image, or why not.
Result<std::vector<std::uint8_t>> applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                             std::size_t maxSize);

} // namespace vx
