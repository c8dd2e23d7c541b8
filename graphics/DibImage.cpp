#include "graphics/DibImage.h"

namespace vx {

QImage ToQImage(const TNkDIB& bitmap)
{
    QImage image;
    ToQImage(bitmap, image);
    return image;
}

void ToQImage(const TNkDIB& bitmap, QImage& image)
{
    if (image.width() != bitmap.Width() || image.height() != bitmap.Height() ||
        image.format() != QImage::Format_RGB32)
        image = QImage(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    std::array<QRgb, 256> colors{};
    for (int i = 0; i < 256; ++i) {
        const TColor c = bitmap.ColorTable()[static_cast<std::size_t>(i)];
        colors[static_cast<std::size_t>(i)] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                                                    static_cast<int>((c >> 16) & 0xFF));
    }
    // Sizes read once: the writes below could alias the bitmap as far as the compiler
    // knows, and would make it read them again for every pixel.
    const std::size_t width = static_cast<std::size_t>(bitmap.Width());
    const int height = bitmap.Height();
    const std::uint8_t* from = bitmap.Bits();
    for (int y = 0; y < height; ++y, from += width) {
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::size_t x = 0; x < width; ++x)
            to[x] = colors[from[x]];
    }
}

} // namespace vx
