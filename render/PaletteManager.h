#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace vx {

// Colour indices to RGB (red in bits 0-7, green 8-15, blue 16-23), the stage's background
// palette, and the clock of its palette animation.
class PaletteManager {
public:
    static constexpr int ColorCount = 64;
    static constexpr int ColorFileSize = ColorCount * 3;
    static constexpr std::uint32_t InvalidColor = 0x808080;

    // Reads the colour file by exactly the name given (a bare name is looked up in the
    // current folder). Throws UserError when it cannot be read or is not 192 bytes.
    explicit PaletteManager(const std::string& fileName);
    // The same from bytes already read; fileName only names them in the size message.
    PaletteManager(std::span<const std::uint8_t> colorFile, const std::string& fileName);

    // Called whenever the palette on screen changes; one subscriber.
    std::function<void(PaletteManager&)> onChange;

    std::uint32_t getRGB(int colorIndex) const;
    // Colour index of entry pos (0..15) of the palette on screen: the animation frame's
    // while animated, the background palette's otherwise.
    std::uint8_t getPaletteEntry(int pos) const;

    void setBGPalette(std::span<const std::uint8_t, 16> data);
    void setPaletteAnime(int frameCount, int frameTimer, std::span<const std::uint8_t, 64> data);

    // One timer tick; true when a new frame has just begun.
    bool tick();
    bool isAnimated() const { return animated_; }
    int getAnimeFrame() const { return animated_ ? currentFrame_ : -1; }

    // The animation's colour indices: frame f, entry e at f * 16 + e.
    const std::array<std::uint8_t, 64>& animePalette() const { return animePalette_; }
    int frameCount() const { return frameCount_; }
    int frameTimer() const { return frameTimer_; }

private:
    void notify();

    int frameCount_ = 0;
    int frameTimer_ = 0;
    int currentFrame_ = 0;
    int tickCount_ = 0;
    bool animated_ = false;
    std::array<std::uint32_t, ColorCount> colors_{};
    std::array<std::uint8_t, 16> bgPalette_{};
    std::array<std::uint8_t, 64> animePalette_{};
};

} // namespace vx
