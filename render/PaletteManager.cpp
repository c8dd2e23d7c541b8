#include "render/PaletteManager.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/InputFile.h"

#include <algorithm>

namespace vx {

PaletteManager::PaletteManager(const std::string& fileName)
    : PaletteManager(readInputFile(fileName, InputKind::ColourFile), fileName)
{
}

PaletteManager::PaletteManager(std::span<const std::uint8_t> colorFile, const std::string& fileName)
{
    if (colorFile.size() != ColorFileSize)
        throw UserError(localized(fileName +
                                      "のファイルサイズが"
                                      "不正です",
                                  "Invalid File Size: " + fileName));
    for (int i = 0; i < ColorCount; ++i)
        colors_[i] = colorFile[i * 3] | (colorFile[i * 3 + 1] << 8) | (colorFile[i * 3 + 2] << 16);
}

std::uint32_t PaletteManager::getRGB(int colorIndex) const
{
    if (colorIndex < 0 || colorIndex >= ColorCount)
        return InvalidColor;
    return colors_[colorIndex];
}

std::uint8_t PaletteManager::getPaletteEntry(int pos) const
{
    pos &= 15; // callers pass 0..15; the mask keeps a stray value inside the tables
    if (animated_)
        return animePalette_[currentFrame_ * 16 + pos];
    return bgPalette_[pos];
}

void PaletteManager::setBGPalette(std::span<const std::uint8_t, 16> data)
{
    std::copy(data.begin(), data.end(), bgPalette_.begin());
    notify();
}

void PaletteManager::setPaletteAnime(int frameCount, int frameTimer, std::span<const std::uint8_t, 64> data)
{
    currentFrame_ = 0;
    tickCount_ = 0;
    animated_ = frameCount >= 1 && frameCount <= 4 && frameTimer > 0;
    frameCount_ = animated_ ? frameCount : 0;
    frameTimer_ = frameTimer;
    std::copy(data.begin(), data.end(), animePalette_.begin());
    notify();
}

bool PaletteManager::tick()
{
    if (!animated_)
        return false;
    const bool frameBegins = tickCount_ == 0;
    if (frameBegins)
        notify();
    if (++tickCount_ >= frameTimer_) {
        tickCount_ = 0;
        if (++currentFrame_ >= frameCount_)
            currentFrame_ = 0;
    }
    return frameBegins;
}

void PaletteManager::notify()
{
    if (onChange)
        onChange(*this);
}

} // namespace vx
