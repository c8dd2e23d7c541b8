#pragma once
#include <cstdint>

namespace vx {

// One byte of the scroll table: how many rooms the path goes forward, then where it turns.
struct ScrollEntry {
    int count = 0;        // rooms forward, 0-15: bits 0-3
    bool unknown = false; // bit 4, of no known meaning (the page shows "????")
    bool right = false;   // bit 5
    bool down = false;    // bit 6
    bool up = false;      // bit 7

    static constexpr ScrollEntry decode(std::uint8_t byte)
    {
        return {byte & 0x0F, (byte & 0x10) != 0, (byte & 0x20) != 0, (byte & 0x40) != 0, (byte & 0x80) != 0};
    }
    constexpr std::uint8_t encode() const
    {
        return static_cast<std::uint8_t>((count & 0x0F) | (unknown ? 0x10 : 0) | (right ? 0x20 : 0) |
                                         (down ? 0x40 : 0) | (up ? 0x80 : 0));
    }
    // The turns as a number 0-7: right 1, down 2, up 4.
    constexpr int turns() const { return (right ? 1 : 0) | (down ? 2 : 0) | (up ? 4 : 0); }
    // The mark of the entry's last room on the path: the unknown bit, then the turns.
    constexpr std::uint8_t roomMark() const { return static_cast<std::uint8_t>((unknown ? 1 : 0) | turns() << 1); }
};

} // namespace vx
