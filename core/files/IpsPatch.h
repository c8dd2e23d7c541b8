#pragma once
#include "core/base/Result.h"
#include "core/files/PatchFormat.h"

#include <string>
#include <vector>

namespace vx {

// An IPS patch that turns original into edited. records, when given, receives the number
// of records written. Throws UserError when edited reaches past what three-byte offsets can
// address (16 MiB).
std::vector<std::uint8_t> makeIps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records = nullptr);

// Applies an IPS patch to image, as applyPatch in core/files/Patch.h does.
Result<std::vector<std::uint8_t>> applyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                                           std::size_t maxSize);

} // namespace vx
