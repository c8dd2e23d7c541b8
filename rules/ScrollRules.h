#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/model/ScrollPath.h"

namespace vx {

// "5 Screens Forward Right", "End", "????" for an entry with bit 4, in the user's language.
std::string scrollDescription(std::uint8_t entry);
// "03 : 25(5 Screens Forward Right)", with the start marker on the start entry.
std::string scrollLineText(int index, std::uint8_t entry, bool startEntry);
// The entry the count list and the three boxes make; bit 4 is always clear.
std::uint8_t scrollEntryOf(int count, bool right, bool down, bool up);

} // namespace vx
