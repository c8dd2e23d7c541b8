#pragma once
#include "core/base/Result.h"
#include "core/files/PatchFormat.h"

#include <string>
#include <vector>

namespace vx {

// A BPS patch that turns original into edited, with the CRCs of both and of itself.
// records, when given, receives the number of actions written.
std::vector<std::uint8_t> makeBps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records = nullptr);

// Applies a BPS patch to image, as applyPatch in core/files/Patch.h does; a patch whose source
// checksum is not the image's is refused.
Result<std::vector<std::uint8_t>> applyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                           std::size_t maxSize);

} // namespace vx
