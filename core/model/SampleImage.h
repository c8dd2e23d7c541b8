#pragma once
#include <cstdint>
#include <vector>

namespace vx {

constexpr std::size_t SampleImageSize = 0x40010;

// A deterministic image of 0x40010 bytes made entirely in code, with every table of every
// stage at its default address: tiles that read as floors, walls, ladders and background,
// rooms along each stage's scroll path, enemies and items, restart points as Recalc computes
// them, palettes (animated in some stages) and pattern-table settings of 32 pages each
// whose tile data lies in the banks the stages leave free.
std::vector<std::uint8_t> makeSampleImage();

} // namespace vx
