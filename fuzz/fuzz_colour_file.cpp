// Any bytes as the colour file: refused unless 192 bytes, and then every colour index gives
// a 24-bit colour and any other index the stand-in grey.
#include "core/Errors.h"
#include "render/PaletteManager.h"

#include <cstdlib>
#include <span>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const TPaletteManager palette(std::span(data, size), "fcpalette.pal");
        if (size != TPaletteManager::ColorFileSize)
            std::abort();
        for (int i = -1; i <= TPaletteManager::ColorCount; ++i) {
            const std::uint32_t rgb = palette.GetRGB(i);
            const bool inside = i >= 0 && i < TPaletteManager::ColorCount;
            if (rgb > 0xFFFFFF || (inside && rgb != static_cast<std::uint32_t>(data[i * 3] | data[i * 3 + 1] << 8 | data[i * 3 + 2] << 16)) ||
                (!inside && rgb != TPaletteManager::InvalidColor))
                std::abort();
        }
    } catch (const VxError&) {
        if (size == TPaletteManager::ColorFileSize)
            std::abort();
    }
    return 0;
}
