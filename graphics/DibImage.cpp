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
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* from = bitmap.ScanLine(y);
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x)
            to[x] = colors[from[x]];
    }
}

} // namespace vx
