#pragma once
#include <cstdint>

namespace vx {

// A quarter of a 32x32 chip as the model holds it: its sub-palette over its 16x16 chip.
struct ChipEntry {
    int palette = 0; // 0-3: bits 6-7
    int chip = 0;    // 16x16 chip 00-3F: bits 0-5

    static constexpr ChipEntry decode(std::uint8_t byte) { return {byte >> 6, byte & 0x3F}; }
    constexpr std::uint8_t encode() const { return static_cast<std::uint8_t>((palette & 3) << 6 | (chip & 0x3F)); }
};

// A quarter as the image's Chip32x32 table holds it: the terrain attribute over the 16x16
// chip (the sub-palettes lie in the Chip32x32Palette table).
struct ImageChipByte {
    int attribute = 0; // 0-3: bits 6-7
    int chip = 0;      // 16x16 chip 00-3F: bits 0-5

    static constexpr ImageChipByte decode(std::uint8_t byte) { return {byte >> 6, byte & 0x3F}; }
    constexpr std::uint8_t encode() const { return static_cast<std::uint8_t>((attribute & 3) << 6 | (chip & 0x3F)); }
};

} // namespace vx
