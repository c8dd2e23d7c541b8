#pragma once
#include "core/BpsPatch.h"
#include "core/IpsPatch.h"
#include "core/PatchFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace vx {

// A patch that turns original into edited, in either format; records as makeIps and makeBps.
std::vector<std::uint8_t> makePatch(PatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records = nullptr);

// A patch the editor or the tool writes, or why it makes none.
struct PatchResult {
    std::vector<std::uint8_t> bytes;
    std::size_t records = 0; // records (IPS) or actions (BPS)
    std::string refusal;     // in the user's language; empty when the patch was made
    bool made() const { return refusal.empty(); }
};

// Why no patch is made from original to edited (another length, nothing changed), in the
// user's language; nothing when one is. The editor asks before it asks for a patch name.
std::optional<std::string> patchRefusal(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited);

// The one way the editor and the tool make a hack's patch, refused as patchRefusal says.
PatchResult makePatchBetween(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                              PatchFormat format);

// Applies a patch to image, as its first bytes name its format. A patch is outside input:
// every byte is checked, nothing is read outside patch or image, and an output longer than
// maxSize is refused before it is made. On success out holds the patched image; on refusal
// out is left as it was and reason says why, in the user's language.
bool applyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                std::vector<std::uint8_t>& out, std::string& reason);

} // namespace vx
