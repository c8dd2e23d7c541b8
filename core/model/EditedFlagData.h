#pragma once
#include <array>

namespace vx {

// The areas of a stage that a save writes back; the numbers are fixed.
enum EditedFlag {
    efPalette = 0,
    efPaletteAnime = 1,
    efChip32x32 = 2,
    efMap = 3,
    efObject = 4,
    efMidPoint = 5,
    efScroll = 6,
    efTiles = 7, // tile bytes, wherever the pattern lists copy them from
    EditedFlagCount = 8,
};

// One flag per area; all clear when made.
class EditedFlagData {
public:
    static constexpr int FlagCount = EditedFlagCount;

    bool get(int index) const { return index >= 0 && index < FlagCount && flags_[index]; }
    void set(int index, bool value)
    {
        if (index >= 0 && index < FlagCount)
            flags_[index] = value;
    }
    bool any() const
    {
        for (bool flag : flags_)
            if (flag)
                return true;
        return false;
    }
    void clear() { flags_.fill(false); }

private:
    std::array<bool, FlagCount> flags_{};
};

} // namespace vx
