#include "render/BitmapPng.h"

#include "core/files/PngPicture.h"
#include "render/IndexedBitmap.h"

#include <algorithm>
#include <span>

namespace vx {

std::vector<std::uint8_t> bitmapPng(const IndexedBitmap& bitmap)
{
    const std::span pixels(bitmap.bits(),
                           static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(bitmap.height()));
    const int highest = *std::max_element(pixels.begin(), pixels.end());
    std::vector<std::uint32_t> palette;
    for (int i = 0; i <= highest; ++i) {
        // The program's colours hold red in the low byte, a PNG's in the high one.
        const Color colour = bitmap.color(i);
        palette.push_back((colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF));
    }
    return encodeIndexedPng(bitmap.width(), bitmap.height(), pixels, palette);
}

} // namespace vx
