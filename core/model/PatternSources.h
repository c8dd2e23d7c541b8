#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace vx {

constexpr int PatternDataLength = 8192; // a stage's pattern data: sprite table, then background
constexpr int TileTableLength = 4096;   // 256 tiles of 16 bytes
constexpr int TileLength = 16;
constexpr int TileCount = 256;

// Where a pattern-table setting entry's source lies in the image file: the entry gives the
// high byte of an address in the 8000-BFFF window and a 16 KB bank.
std::int64_t patternSourceOffset(std::uint8_t high, std::uint8_t bank);

// Where each byte of a stage's pattern data is copied from: the setting list read as the
// assembly reads it (byte 0 counts the entries of 3 bytes: high, pages, bank).
struct PatternSources {
    static constexpr std::int32_t Zero = -1; // outside the image or past the list: reads as 0

    std::array<std::int32_t, PatternDataLength> offsets;
    bool overflow = false; // the list would write past 8192 bytes; the last entry was cut

    // The image offset of every byte of the 16-byte tile at a pattern-data position.
    std::span<const std::int32_t, TileLength> tileAt(int position) const
    {
        return std::span<const std::int32_t, TileLength>(offsets.data() + position, TileLength);
    }
};

PatternSources patternSourcesOf(std::span<const std::uint8_t, 256> setting, std::int64_t imageSize);

} // namespace vx
