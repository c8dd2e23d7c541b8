#pragma once
#include <array>

namespace vx {

// The areas of a stage that a save writes back; the numbers are fixed.
enum TEditedFlag {
    efPalette = 0,
    efPaletteAnime = 1,
    efChip32x32 = 2,
    efMap = 3,
    efObject = 4,
    efMidPoint = 5,
    efScroll = 6,
};

// Ten flags, seven of them used; all clear when made.
class TEditedFlagData {
public:
    static constexpr int FlagCount = 10;

    bool Get(int index) const { return index >= 0 && index < FlagCount && flags_[index]; }
    void Set(int index, bool value)
    {
        if (index >= 0 && index < FlagCount)
            flags_[index] = value;
    }
    bool Any() const
    {
        for (bool flag : flags_)
            if (flag)
                return true;
        return false;
    }
    void Clear() { flags_.fill(false); }

private:
    std::array<bool, FlagCount> flags_{};
};

} // namespace vx
