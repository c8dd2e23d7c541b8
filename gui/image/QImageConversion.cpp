#include "gui/image/QImageConversion.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace vx {

QImage toQImage(const IndexedBitmap& bitmap)
{
    QImage image;
    toQImage(bitmap, image);
    return image;
}

namespace {

std::array<QRgb, 256> colorsOf(const IndexedBitmap& bitmap)
{
    std::array<QRgb, 256> colors{};
    for (int i = 0; i < 256; ++i) {
        const Color c = bitmap.colorTable()[static_cast<std::size_t>(i)];
        colors[static_cast<std::size_t>(i)] =
            qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
    }
    return colors;
}

// Qt answers a failed allocation (also of the copy a shared image makes before it is
// written) with a null image and null pixels rather than an exception.
std::uint8_t* allocate(QImage& image, int width, int height)
{
    if (image.width() != width || image.height() != height || image.format() != QImage::Format_RGB32)
        image = QImage(width, height, QImage::Format_RGB32);
    std::uint8_t* bits = image.isNull() ? nullptr : image.bits();
    if (!bits)
        throw std::bad_alloc();
    return bits;
}

} // namespace

void toQImage(const IndexedBitmap& bitmap, QImage& image, int width, int height, int zoom)
{
    width = std::clamp(width, 1, bitmap.width());
    height = std::clamp(height, 1, bitmap.height());
    zoom = std::clamp(zoom, 1, 8);
    std::uint8_t* row = allocate(image, width * zoom, height * zoom);
    const auto rowBytes = static_cast<std::size_t>(image.bytesPerLine());
    const std::array<QRgb, 256> colors = colorsOf(bitmap);
    const std::size_t stride = static_cast<std::size_t>(bitmap.width());
    std::vector<std::size_t> columns(static_cast<std::size_t>(width)); // source column of each picture column
    for (std::size_t x = 0; x < columns.size(); ++x)
        columns[x] = x * stride / columns.size();
    const std::uint8_t* bits = bitmap.bits();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = bits + static_cast<std::size_t>(y * bitmap.height() / height) * stride;
        auto* to = reinterpret_cast<QRgb*>(row);
        if (zoom == 1) {
            for (std::size_t x = 0; x < columns.size(); ++x)
                to[x] = colors[from[columns[x]]];
        } else if (zoom == 2) {
            // The common zoom: a block's four pixels as two 8-byte stores, both rows at once.
            auto* below = reinterpret_cast<QRgb*>(row + rowBytes);
            for (std::size_t x = 0; x < columns.size(); ++x) {
                const std::uint64_t pair = colors[from[columns[x]]] * 0x100000001ull;
                std::memcpy(to + 2 * x, &pair, sizeof pair);
                std::memcpy(below + 2 * x, &pair, sizeof pair);
            }
        } else {
            const auto side = static_cast<std::size_t>(zoom);
            for (std::size_t x = 0; x < columns.size(); ++x)
                std::fill_n(to + x * side, side, colors[from[columns[x]]]);
            // The block's other rows are copies of its first.
            for (int copy = 1; copy < zoom; ++copy)
                std::memcpy(row + static_cast<std::size_t>(copy) * rowBytes, row, columns.size() * side * sizeof(QRgb));
        }
        row += rowBytes * static_cast<std::size_t>(zoom);
    }
}

void toQImage(const IndexedBitmap& bitmap, QImage& image)
{
    std::uint8_t* row = allocate(image, bitmap.width(), bitmap.height());
    const auto rowBytes = static_cast<std::size_t>(image.bytesPerLine());
    const std::array<QRgb, 256> colors = colorsOf(bitmap);
    // Sizes read once: the writes below could alias the bitmap as far as the compiler
    // knows, and would make it read them again for every pixel.
    const std::size_t width = static_cast<std::size_t>(bitmap.width());
    const int height = bitmap.height();
    const std::uint8_t* from = bitmap.bits();
    for (int y = 0; y < height; ++y, from += width, row += rowBytes) {
        auto* to = reinterpret_cast<QRgb*>(row);
        for (std::size_t x = 0; x < width; ++x)
            to[x] = colors[from[x]];
    }
}

} // namespace vx
