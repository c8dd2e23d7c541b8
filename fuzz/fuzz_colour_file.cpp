// Any bytes as the colour file: refused unless 192 bytes, and then every colour index gives
// a 24-bit colour and any other index the stand-in grey.
#include "core/base/Errors.h"
#include "render/PaletteManager.h"

#include <cstdlib>
#include <span>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const PaletteManager palette(std::span(data, size), "fcpalette.pal");
        if (size != PaletteManager::ColorFileSize)
            std::abort();
        for (int i = -1; i <= PaletteManager::ColorCount; ++i) {
            const std::uint32_t rgb = palette.getRGB(i);
            const bool inside = i >= 0 && i < PaletteManager::ColorCount;
            if (rgb > 0xFFFFFF ||
                (inside &&
                 rgb != static_cast<std::uint32_t>(data[i * 3] | data[i * 3 + 1] << 8 | data[i * 3 + 2] << 16)) ||
                (!inside && rgb != PaletteManager::InvalidColor))
                std::abort();
        }
    } catch (const UserError&) {
        if (size == PaletteManager::ColorFileSize)
            std::abort();
    }
    return 0;
}
