#pragma once
#include "core/base/Result.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class PatchFormat {
    Ips,
    Bps
};

// The marks each format's patches begin with.
inline constexpr std::string_view IpsMark = "PATCH";
inline constexpr std::string_view BpsMark = "BPS1";

// The format a patch file's name asks for: .ips or .bps, in any case; nothing otherwise.
std::optional<PatchFormat> patchFormatOfPath(std::string_view path);

// The format a patch's first bytes name ("PATCH" or "BPS1"); nothing otherwise.
std::optional<PatchFormat> patchFormatOfBytes(std::span<const std::uint8_t> patch);

// What the IPS and BPS code share.

// A format's applier leaves the patched image in out, or the reason in reason.
using PatchApplier = bool (*)(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image,
                              std::size_t maxSize, std::vector<std::uint8_t>& out, std::string& reason);
// The applier's answer as a result.
Result<std::vector<std::uint8_t>> patchedImage(PatchApplier apply, std::span<const std::uint8_t> patch,
                                               std::span<const std::uint8_t> image, std::size_t maxSize);

bool beginsWith(std::span<const std::uint8_t> bytes, std::string_view mark);

// How many bytes from at up to limit equal the one at at.
std::size_t equalRunLength(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t limit);

// Replaces %1, %2, ... in text with the numbers, in order.
std::string fillNumbers(std::string text, std::initializer_list<std::uint64_t> numbers);

// The refusal of a patched image over maxSize bytes, in the user's language.
std::string patchedTooLargeText(std::uint64_t size, std::size_t maxSize);

} // namespace vx
