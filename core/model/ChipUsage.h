#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace vx {

// The 32x32 chips (00..FF, ascending) that no cell of the map uses.
std::vector<int> unusedChips(std::span<const std::uint8_t> map);

// Groups of two or more chips whose four entries and four attributes are equal: each group
// ascending, the groups by their highest number ascending. Bytes beyond the tables given
// read as zero, as an all-zero chip would.
std::vector<std::vector<int>> equalChipGroups(std::span<const std::uint8_t> entries,
                                              std::span<const std::uint8_t> attributes);

} // namespace vx
