#include "render/GraphicManager.h"

#include "core/base/HexText.h"
#include "core/model/StageObjects.h"

#include <algorithm>
#include <cstring>

namespace vx {
namespace {

void outline(BitmapCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.moveTo(left, top);
    canvas.lineTo(left, bottom);
    canvas.lineTo(right, bottom);
    canvas.lineTo(right, top);
    canvas.lineTo(left, top);
}

} // namespace

void copySquare(IndexedBitmap& destination, int x, int y, const IndexedBitmap& source, int sourceX, int sourceY,
                int size)
{
    // Clip against both bitmaps, moving the two corners together.
    int left = 0, top = 0, right = size, bottom = size;
    left = std::max({left, -x, -sourceX});
    top = std::max({top, -y, -sourceY});
    right = std::min({right, destination.width() - x, source.width() - sourceX});
    bottom = std::min({bottom, destination.height() - y, source.height() - sourceY});
    if (left >= right || top >= bottom)
        return;
    const auto& map = destination.mapFrom(source);
    const bool identity = destination.paletteStamp() == source.paletteStamp();
    const std::size_t width = static_cast<std::size_t>(right - left);
    const std::size_t toStride = static_cast<std::size_t>(destination.width());
    const std::size_t fromStride = static_cast<std::size_t>(source.width());
    std::uint8_t* to =
        destination.bits() + static_cast<std::size_t>(y + top) * toStride + static_cast<std::size_t>(x + left);
    const std::uint8_t* from =
        source.bits() + static_cast<std::size_t>(sourceY + top) * fromStride + static_cast<std::size_t>(sourceX + left);
    for (int row = top; row < bottom; ++row, to += toStride, from += fromStride) {
        if (!identity)
            remapPixels(to, from, width, map);
        else if (width == 16) // chips: fixed sizes let the copy inline
            std::memcpy(to, from, 16);
        else if (width == 32)
            std::memcpy(to, from, 32);
        else
            std::memcpy(to, from, width);
    }
}

GraphicManager::GraphicManager(PaletteManager& paletteManager, const GlyphRenderer* glyphs)
    : palette_(paletteManager), glyphs_(glyphs)
{
    std::array<Color, 256> display{};
    for (int i = 0; i < 64; ++i) {
        display[static_cast<std::size_t>(i)] = palette_.getRGB(i);
        display[static_cast<std::size_t>(64 + i)] = palette_.getRGB(i) ^ 0xFFFFFF;
    }
    display[DisplayCursorIndex] = CursorColor;
    // The grey of a colour index outside 00..3F, and its inverse for numbers drawn on it,
    // so that both show exactly rather than as the nearest colour.
    display[DisplayInvalidIndex] = PaletteManager::InvalidColor;
    display[DisplayInvalidIndex + 1] = PaletteManager::InvalidColor ^ 0xFFFFFF;
    displayPalette_.setColorTable(display);
    palette_.onChange = [this](PaletteManager&) { updateStagePalette(); };
}

GraphicManager::~GraphicManager() { palette_.onChange = nullptr; }

void GraphicManager::updateStagePalette()
{
    std::array<Color, 256> stage{};
    for (int i = 0; i < 16; ++i) {
        // Every sub-palette's first entry is the shared background colour.
        const int entry = i % 4 == 0 ? 0 : i;
        stage[static_cast<std::size_t>(i)] = palette_.getRGB(palette_.getPaletteEntry(entry));
    }
    stage[StageCursorIndex] = CursorColor;
    stagePalette_.setColorTable(stage);
}

namespace {

// Eight pixels of a tile row at once: byte q of Spread[b] is bit 7-q of b.
struct SpreadTable {
    std::array<std::uint64_t, 256> bits{};
    SpreadTable()
    {
        for (int b = 0; b < 256; ++b)
            for (int q = 0; q < 8; ++q)
                if (b & (0x80 >> q)) {
                    std::uint8_t bytes[8] = {};
                    std::memcpy(bytes, &bits[static_cast<std::size_t>(b)], 8);
                    bytes[q] = 1;
                    std::memcpy(&bits[static_cast<std::size_t>(b)], bytes, 8);
                }
    }
};

} // namespace

namespace {

// One tile at (x0, y0): pixel = base + colour; rows straight into the bitmap where it fits.
void decodeTile(IndexedBitmap& bitmap, const std::uint8_t* tile, int x0, int y0, int base)
{
    static const SpreadTable spread;
    if (x0 >= 0 && y0 >= 0 && x0 + 8 <= bitmap.width() && y0 + 8 <= bitmap.height()) {
        const std::uint64_t add = 0x0101010101010101ull * static_cast<std::uint64_t>(base);
        const std::size_t stride = static_cast<std::size_t>(bitmap.width());
        std::uint8_t* to = bitmap.bits() + static_cast<std::size_t>(y0) * stride + static_cast<std::size_t>(x0);
        for (int j = 0; j < 8; ++j, to += stride) {
            const std::uint64_t pixels = spread.bits[tile[j]] + 2 * spread.bits[tile[j + 8]] + add;
            std::memcpy(to, &pixels, 8);
        }
        return;
    }
    for (int j = 0; j < 8; ++j) {
        const int y = y0 + j;
        if (y < 0 || y >= bitmap.height())
            continue;
        std::uint8_t* row = bitmap.scanLine(y);
        for (int q = 0; q < 8; ++q) {
            const int x = x0 + q;
            if (x < 0 || x >= bitmap.width())
                continue;
            const int bit = 7 - q;
            row[x] = static_cast<std::uint8_t>(base + ((tile[j] >> bit) & 1) + 2 * ((tile[j + 8] >> bit) & 1));
        }
    }
}

} // namespace

void GraphicManager::decodePatternTable(IndexedBitmap& bitmap, int x0, int subPalette, int y0) const
{
    static const std::uint8_t zeros[PatternTableSize] = {};
    decodeTileTable(
        bitmap,
        std::span<const std::uint8_t, PatternTableSize>(patternTable_ ? patternTable_ : zeros, PatternTableSize), x0,
        subPalette, y0);
}

void GraphicManager::decodeTileTable(IndexedBitmap& bitmap, std::span<const std::uint8_t, PatternTableSize> table,
                                     int x0, int subPalette, int y0) const
{
    // Tiles 2m and 2m+1 stand above each other, 16 pairs a band, 8 bands.
    for (int tile = 0; tile < 256; ++tile)
        decodeTile(bitmap, table.data() + 16 * tile, x0 + 8 * ((tile % 32) / 2), y0 + 16 * (tile / 32) + 8 * (tile % 2),
                   (subPalette & 3) * 4);
}

void GraphicManager::decodeChipSheetTile(IndexedBitmap& bitmap, int tile) const
{
    if (!patternTable_ || tile < 0 || tile >= 256)
        return;
    for (int p = 0; p < 4; ++p)
        decodeTile(bitmap, patternTable_ + 16 * tile, 8 * ((tile % 32) / 2),
                   128 * p + 16 * (tile / 32) + 8 * (tile % 2), 4 * p);
}

void GraphicManager::decodeChipSheet(IndexedBitmap& bitmap) const
{
    for (int p = 0; p < 4; ++p)
        decodePatternTable(bitmap, 0, p, 128 * p);
}

void GraphicManager::composeChip32Sheet(IndexedBitmap& bitmap, const IndexedBitmap& chipSheet,
                                        std::span<const std::uint8_t> entries) const
{
    static const int offsetX[4] = {0, 0, 16, 16};
    static const int offsetY[4] = {0, 16, 0, 16};
    // The usual case, two sheets of their own sizes in the same colours: straight copies.
    if (bitmap.width() == 512 && bitmap.height() >= 512 && chipSheet.width() == 128 && chipSheet.height() >= 512 &&
        bitmap.paletteStamp() == chipSheet.paletteStamp() && entries.size() >= 1024) {
        std::uint8_t* to = bitmap.bits();
        const std::uint8_t* from = chipSheet.bits();
        for (std::size_t n = 0; n < 256; ++n)
            for (std::size_t k = 0; k < 4; ++k) {
                const std::size_t e = entries[4 * n + k];
                const std::uint8_t* square = from + (e / 8) * 16 * 128 + (e % 8) * 16;
                std::uint8_t* target = to + ((n / 16) * 32 + static_cast<std::size_t>(offsetY[k])) * 512 +
                    (n % 16) * 32 + static_cast<std::size_t>(offsetX[k]);
                for (int row = 0; row < 16; ++row, square += 128, target += 512)
                    std::memcpy(target, square, 16);
            }
        return;
    }
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) {
            const std::size_t n = static_cast<std::size_t>(16 * i + j);
            for (int k = 0; k < 4; ++k) {
                if (4 * n + static_cast<std::size_t>(k) >= entries.size())
                    return;
                const int e = entries[4 * n + static_cast<std::size_t>(k)];
                copySquare(bitmap, 32 * j + offsetX[k], 32 * i + offsetY[k], chipSheet, (e % 8) * 16, (e / 8) * 16, 16);
            }
        }
}

void GraphicManager::drawRoom(IndexedBitmap& bitmap, const IndexedBitmap& chip32Sheet,
                              std::span<const std::uint8_t> room) const
{
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const std::size_t at = static_cast<std::size_t>(8 * i + j);
            if (at >= room.size())
                return;
            const int n = room[at];
            copySquare(bitmap, 32 * i, 32 * j, chip32Sheet, (n % 16) * 32, (n / 16) * 32, 32);
        }
}

void GraphicManager::drawColorTable(IndexedBitmap& bitmap) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    const int width = bitmap.width() / 16, height = bitmap.height() / 4;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 16; ++j) {
            canvas.brushColor = getRGB(16 * i + j);
            canvas.fillRect(j * width, i * height, (j + 1) * width, (i + 1) * height);
        }
}

void GraphicManager::drawAnimePalettes(IndexedBitmap& bitmap, bool showNumbers) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    canvas.font.size = 10;
    const int width = bitmap.width() / 16, height = bitmap.height() / 4;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 16; ++j) {
            const int value = palette_.animePalette()[static_cast<std::size_t>(16 * i + j)];
            const Color color = getRGB(value);
            canvas.brushColor = color;
            canvas.fillRect(j * width, i * height, (j + 1) * width, (i + 1) * height);
            if (showNumbers) {
                canvas.font.color = color ^ 0xFFFFFF;
                canvas.textOut(j * width + 5, i * height + 5, formatHex(static_cast<std::uint32_t>(value), 2));
            }
        }
}

void GraphicManager::drawCurrentPalette(IndexedBitmap& bitmap) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    const int width = bitmap.width() / 16;
    for (int i = 0; i < 16; ++i) {
        canvas.brushColor = getRGB(palette_.getPaletteEntry(i));
        canvas.fillRect(i * width, 0, (i + 1) * width, bitmap.height());
    }
}

void GraphicManager::drawObjectMarkers(IndexedBitmap& bitmap, const RoomObjectList& objects) const
{
    drawObjectMarkersEx(bitmap, objects, false, RGB(0, 0, 0), RGB(255, 255, 255));
}

void GraphicManager::drawObjectMarkersEx(IndexedBitmap& bitmap, const RoomObjectList& objects, bool transparentText,
                                         Color textColor, Color frameColor) const
{
    if (objects.empty())
        return;
    BitmapCanvas canvas(bitmap, glyphs_);
    canvas.penColor = frameColor;
    if (transparentText)
        canvas.brushStyle = BrushStyle::Clear;
    canvas.font.name = "MS Gothic";
    canvas.font.size = 9;
    canvas.font.color = textColor;
    for (int i = 0; i < objects.count(); ++i) {
        const PlacedObject& object = *objects.items(i);
        const int x = object.x, y = object.y;
        outline(canvas, x - 8, y - 8, x + 7, y + 7);
        canvas.textOut(x - 6, y - 6, formatHex(object.kind, 2));
    }
}

void GraphicManager::drawObjectFrame(IndexedBitmap& bitmap, const PlacedObject& object, int size) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    canvas.penColor = RGB(255, 255, 255);
    const int h = size / 2;
    outline(canvas, object.x - h, object.y - h, object.x + h - 1, object.y + h - 1);
}

void GraphicManager::drawFrame(IndexedBitmap& bitmap, int left, int top, int width, int height, Color color) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    canvas.penColor = color;
    outline(canvas, left, top, left + width - 1, top + height - 1);
}

void GraphicManager::drawCursorFrame(IndexedBitmap& bitmap, int left, int top, int width, int height) const
{
    drawFrame(bitmap, left, top, width, height, CursorColor);
}

void GraphicManager::drawCursorFrame(BitmapCanvas& canvas, int left, int top, int width, int height) const
{
    const Color pen = canvas.penColor;
    canvas.penColor = CursorColor;
    outline(canvas, left, top, left + width - 1, top + height - 1);
    canvas.penColor = pen;
}

void GraphicManager::fillBitmap(IndexedBitmap& bitmap, Color color) const
{
    BitmapCanvas canvas(bitmap, glyphs_);
    canvas.brushColor = color;
    canvas.fillRect(0, 0, bitmap.width(), bitmap.height());
}

std::unique_ptr<IndexedBitmap> GraphicManager::createDisplayBitmap(int width, int height) const
{
    auto bitmap = std::make_unique<IndexedBitmap>(width, height);
    bitmap->setPalette(displayPalette_.getPalette());
    return bitmap;
}

std::unique_ptr<IndexedBitmap> GraphicManager::createStageBitmap(int width, int height) const
{
    auto bitmap = std::make_unique<IndexedBitmap>(width, height);
    bitmap->setPalette(stagePalette_.getPalette());
    return bitmap;
}

void GraphicManager::applyStagePalette(IndexedBitmap& bitmap) const { bitmap.setPalette(stagePalette_.getPalette()); }

} // namespace vx
