#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class TPatchFormat { Ips, Bps };

// The format a patch file's name asks for: .ips or .bps, in any case; nothing otherwise.
std::optional<TPatchFormat> PatchFormatOfPath(std::string_view path);

// The format a patch's first bytes name ("PATCH" or "BPS1"); nothing otherwise.
std::optional<TPatchFormat> PatchFormatOfBytes(std::span<const std::uint8_t> patch);

// A patch that turns original into edited. records, when given, receives the number of
// records (IPS) or actions (BPS) written. MakeIps throws VxError when edited reaches past
// what three-byte offsets can address (16 MiB).
std::vector<std::uint8_t> MakeIps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records = nullptr);
std::vector<std::uint8_t> MakeBps(std::span<const std::uint8_t> original, std::span<const std::uint8_t> edited,
                                  std::size_t* records = nullptr);
std::vector<std::uint8_t> MakePatch(TPatchFormat format, std::span<const std::uint8_t> original,
                                    std::span<const std::uint8_t> edited, std::size_t* records = nullptr);

// Applies a patch to image. A patch is outside input: every byte is checked, nothing is
// read outside patch or image, and an output longer than maxSize is refused before it is
// made. On success out holds the patched image; on refusal out is left as it was and
// reason says why, in the user's language.
bool ApplyIps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
              std::vector<std::uint8_t>& out, std::string& reason);
bool ApplyBps(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
              std::vector<std::uint8_t>& out, std::string& reason);
// Either of the two, as the patch's first bytes say.
bool ApplyPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> image, std::size_t maxSize,
                std::vector<std::uint8_t>& out, std::string& reason);

} // namespace vx
