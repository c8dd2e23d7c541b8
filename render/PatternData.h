#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/model/PatternSources.h"

namespace vx {

class TileEdits;

// The overflow warning of a stage whose setting list would write past 8192 bytes, in the
// user's language; the address is the setting's own, in upper-case hex.
std::string patternOverflowText(std::int32_t settingAddress);

// Assembles a stage's 8192 bytes of pattern data from its 256-byte setting list: byte 0
// counts the entries, each of 3 bytes (high, pages, bank). Sources outside the image read
// as zero; entries that would run past the 256-byte list are not read. On overflow the
// last entry is cut to fit, the rest skipped, and warn receives the warning text. Painted
// tile bytes, when given, stand over the image's.
void buildPatternData(std::span<const std::uint8_t, 256> setting, const std::vector<std::uint8_t>& image,
                      std::int32_t settingAddress, std::array<std::uint8_t, 8192>& out,
                      const std::function<void(const std::string&)>& warn, const TileEdits* edits = nullptr);

} // namespace vx
