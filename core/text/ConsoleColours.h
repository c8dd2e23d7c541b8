#pragma once
#include <array>
#include <cstdint>

namespace vx {

// The console's 64 colours as 0xRRGGBB, in index order, as the colour file gives them: what a
// project's pictures and palette files show.
using ConsoleColours = std::array<std::uint32_t, 64>;

} // namespace vx
