#include "render/GraphicManager.h"

#include "core/HexText.h"
#include "core/VxObject.h"

#include <algorithm>
#include <cstring>

namespace vx {
namespace {

void Outline(TNkDIBCanvas& canvas, int left, int top, int right, int bottom)
{
    canvas.MoveTo(left, top);
    canvas.LineTo(left, bottom);
    canvas.LineTo(right, bottom);
    canvas.LineTo(right, top);
    canvas.LineTo(left, top);
}

} // namespace

void CopySquare(TNkDIB& destination, int x, int y, const TNkDIB& source, int sourceX, int sourceY, int size)
{
    // Clip against both bitmaps, moving the two corners together.
    int left = 0, top = 0, right = size, bottom = size;
    left = std::max({left, -x, -sourceX});
    top = std::max({top, -y, -sourceY});
    right = std::min({right, destination.Width() - x, source.Width() - sourceX});
    bottom = std::min({bottom, destination.Height() - y, source.Height() - sourceY});
    if (left >= right || top >= bottom)
        return;
    const auto& map = destination.MapFrom(source);
    const bool identity = destination.PaletteStamp() == source.PaletteStamp();
    const std::size_t width = static_cast<std::size_t>(right - left);
    const std::size_t toStride = static_cast<std::size_t>(destination.Width());
    const std::size_t fromStride = static_cast<std::size_t>(source.Width());
    std::uint8_t* to = destination.Bits() + static_cast<std::size_t>(y + top) * toStride + static_cast<std::size_t>(x + left);
    const std::uint8_t* from = source.Bits() + static_cast<std::size_t>(sourceY + top) * fromStride +
                               static_cast<std::size_t>(sourceX + left);
    for (int row = top; row < bottom; ++row, to += toStride, from += fromStride) {
        if (!identity)
            RemapPixels(to, from, width, map);
        else if (width == 16) // chips: fixed sizes let the copy inline
            std::memcpy(to, from, 16);
        else if (width == 32)
            std::memcpy(to, from, 32);
        else
            std::memcpy(to, from, width);
    }
}

TGraphicManager::TGraphicManager(TPaletteManager& paletteManager, const TGlyphRenderer* glyphs)
    : palette_(paletteManager), glyphs_(glyphs)
{
    std::array<TColor, 256> display{};
    for (int i = 0; i < 64; ++i) {
        display[static_cast<std::size_t>(i)] = palette_.GetRGB(i);
        display[static_cast<std::size_t>(64 + i)] = palette_.GetRGB(i) ^ 0xFFFFFF;
    }
    display[DisplayCursorIndex] = CursorColor;
    // The grey of a colour index outside 00..3F, and its inverse for numbers drawn on it,
    // so that both show exactly rather than as the nearest colour.
    display[DisplayInvalidIndex] = TPaletteManager::InvalidColor;
    display[DisplayInvalidIndex + 1] = TPaletteManager::InvalidColor ^ 0xFFFFFF;
    displayPalette_.SetColorTable(display);
    palette_.OnChange = [this](TPaletteManager&) { UpdateStagePalette(); };
}

TGraphicManager::~TGraphicManager() { palette_.OnChange = nullptr; }

void TGraphicManager::UpdateStagePalette()
{
    std::array<TColor, 256> stage{};
    for (int i = 0; i < 16; ++i) {
        // Every sub-palette's first entry is the shared background colour.
        const int entry = i % 4 == 0 ? 0 : i;
        stage[static_cast<std::size_t>(i)] = palette_.GetRGB(palette_.GetPaletteEntry(entry));
    }
    stage[StageCursorIndex] = CursorColor;
    stagePalette_.SetColorTable(stage);
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

void TGraphicManager::DecodePatternTable(TNkDIB& bitmap, int x0, int subPalette, int y0) const
{
    static const std::uint8_t zeros[PatternTableSize] = {};
    static const SpreadTable spread;
    const std::uint8_t* table = patternTable_ ? patternTable_ : zeros;
    const int base = (subPalette & 3) * 4;
    if (x0 >= 0 && y0 >= 0 && x0 + 128 <= bitmap.Width() && y0 + 128 <= bitmap.Height()) {
        const std::uint64_t add = 0x0101010101010101ull * static_cast<std::uint64_t>(base);
        const std::size_t stride = static_cast<std::size_t>(bitmap.Width());
        std::uint8_t* origin = bitmap.Bits() + static_cast<std::size_t>(y0) * stride + static_cast<std::size_t>(x0);
        for (int band = 0; band < 8; ++band)
            for (int column = 0; column < 16; ++column)
                for (int half = 0; half < 2; ++half) {
                    const std::uint8_t* tile = table + 16 * (32 * band + 2 * column + half);
                    std::uint8_t* to = origin + static_cast<std::size_t>(16 * band + 8 * half) * stride +
                                       static_cast<std::size_t>(8 * column);
                    for (int j = 0; j < 8; ++j, to += stride) {
                        const std::uint64_t pixels = spread.bits[tile[j]] + 2 * spread.bits[tile[j + 8]] + add;
                        std::memcpy(to, &pixels, 8);
                    }
                }
        return;
    }
    for (int band = 0; band < 8; ++band)
        for (int column = 0; column < 16; ++column)
            for (int half = 0; half < 2; ++half) {
                const std::uint8_t* tile = table + 16 * (32 * band + 2 * column + half);
                for (int j = 0; j < 8; ++j) {
                    const int y = y0 + 16 * band + 8 * half + j;
                    if (y < 0 || y >= bitmap.Height())
                        continue;
                    std::uint8_t* row = bitmap.ScanLine(y);
                    const std::uint8_t b0 = tile[j], b1 = tile[j + 8];
                    for (int q = 0; q < 8; ++q) {
                        const int x = x0 + 8 * column + q;
                        if (x < 0 || x >= bitmap.Width())
                            continue;
                        const int bit = 7 - q;
                        row[x] = static_cast<std::uint8_t>(base + ((b0 >> bit) & 1) + 2 * ((b1 >> bit) & 1));
                    }
                }
            }
}

void TGraphicManager::DecodeChipSheet(TNkDIB& bitmap) const
{
    for (int p = 0; p < 4; ++p)
        DecodePatternTable(bitmap, 0, p, 128 * p);
}

void TGraphicManager::ComposeChip32Sheet(TNkDIB& bitmap, const TNkDIB& chipSheet,
                                         std::span<const std::uint8_t> entries) const
{
    static const int offsetX[4] = {0, 0, 16, 16};
    static const int offsetY[4] = {0, 16, 0, 16};
    // The usual case, two sheets of their own sizes in the same colours: straight copies.
    if (bitmap.Width() == 512 && bitmap.Height() >= 512 && chipSheet.Width() == 128 && chipSheet.Height() >= 512 &&
        bitmap.PaletteStamp() == chipSheet.PaletteStamp() && entries.size() >= 1024) {
        std::uint8_t* to = bitmap.Bits();
        const std::uint8_t* from = chipSheet.Bits();
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
                CopySquare(bitmap, 32 * j + offsetX[k], 32 * i + offsetY[k], chipSheet, (e % 8) * 16,
                           (e / 8) * 16, 16);
            }
        }
}

void TGraphicManager::DrawRoom(TNkDIB& bitmap, const TNkDIB& chip32Sheet, std::span<const std::uint8_t> room) const
{
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const std::size_t at = static_cast<std::size_t>(8 * i + j);
            if (at >= room.size())
                return;
            const int n = room[at];
            CopySquare(bitmap, 32 * i, 32 * j, chip32Sheet, (n % 16) * 32, (n / 16) * 32, 32);
        }
}

void TGraphicManager::DrawColorTable(TNkDIB& bitmap) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    const int width = bitmap.Width() / 16, height = bitmap.Height() / 4;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 16; ++j) {
            canvas.BrushColor = GetRGB(16 * i + j);
            canvas.FillRect(j * width, i * height, (j + 1) * width, (i + 1) * height);
        }
}

void TGraphicManager::DrawAnimePalettes(TNkDIB& bitmap, bool showNumbers) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    canvas.Font.size = 10;
    const int width = bitmap.Width() / 16, height = bitmap.Height() / 4;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 16; ++j) {
            const int value = palette_.AnimePalette()[static_cast<std::size_t>(16 * i + j)];
            const TColor color = GetRGB(value);
            canvas.BrushColor = color;
            canvas.FillRect(j * width, i * height, (j + 1) * width, (i + 1) * height);
            if (showNumbers) {
                canvas.Font.color = color ^ 0xFFFFFF;
                canvas.TextOut(j * width + 5, i * height + 5, FormatHex(static_cast<std::uint32_t>(value), 2));
            }
        }
}

void TGraphicManager::DrawCurrentPalette(TNkDIB& bitmap) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    const int width = bitmap.Width() / 16;
    for (int i = 0; i < 16; ++i) {
        canvas.BrushColor = GetRGB(palette_.GetPaletteEntry(i));
        canvas.FillRect(i * width, 0, (i + 1) * width, bitmap.Height());
    }
}

void TGraphicManager::DrawObjectMarkers(TNkDIB& bitmap, const TVxObjectList& objects) const
{
    DrawObjectMarkersEx(bitmap, objects, false, RGB(0, 0, 0), RGB(255, 255, 255));
}

void TGraphicManager::DrawObjectMarkersEx(TNkDIB& bitmap, const TVxObjectList& objects, bool transparentText,
                                          TColor textColor, TColor frameColor) const
{
    if (objects.Empty())
        return;
    TNkDIBCanvas canvas(bitmap, glyphs_);
    canvas.PenColor = frameColor;
    if (transparentText)
        canvas.BrushStyle = TBrushStyle::Clear;
    canvas.Font.name = "MS Gothic";
    canvas.Font.size = 9;
    canvas.Font.color = textColor;
    for (int i = 0; i < objects.Count(); ++i) {
        const TVxObjectNode& object = *objects.Items(i);
        const int x = object.X, y = object.Y;
        Outline(canvas, x - 8, y - 8, x + 7, y + 7);
        canvas.TextOut(x - 6, y - 6, FormatHex(object.Kind, 2));
    }
}

void TGraphicManager::DrawObjectFrame(TNkDIB& bitmap, const TVxObjectNode& object, int size) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    canvas.PenColor = RGB(255, 255, 255);
    const int h = size / 2;
    Outline(canvas, object.X - h, object.Y - h, object.X + h - 1, object.Y + h - 1);
}

void TGraphicManager::DrawFrame(TNkDIB& bitmap, int left, int top, int width, int height, TColor color) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    canvas.PenColor = color;
    Outline(canvas, left, top, left + width - 1, top + height - 1);
}

void TGraphicManager::DrawCursorFrame(TNkDIB& bitmap, int left, int top, int width, int height) const
{
    DrawFrame(bitmap, left, top, width, height, CursorColor);
}

void TGraphicManager::DrawCursorFrame(TNkDIBCanvas& canvas, int left, int top, int width, int height) const
{
    const TColor pen = canvas.PenColor;
    canvas.PenColor = CursorColor;
    Outline(canvas, left, top, left + width - 1, top + height - 1);
    canvas.PenColor = pen;
}

void TGraphicManager::FillBitmap(TNkDIB& bitmap, TColor color) const
{
    TNkDIBCanvas canvas(bitmap, glyphs_);
    canvas.BrushColor = color;
    canvas.FillRect(0, 0, bitmap.Width(), bitmap.Height());
}

std::unique_ptr<TNkDIB> TGraphicManager::CreateDisplayBitmap(int width, int height) const
{
    auto bitmap = std::make_unique<TNkDIB>(width, height);
    bitmap->SetPalette(displayPalette_.GetPalette());
    return bitmap;
}

std::unique_ptr<TNkDIB> TGraphicManager::CreateStageBitmap(int width, int height) const
{
    auto bitmap = std::make_unique<TNkDIB>(width, height);
    bitmap->SetPalette(stagePalette_.GetPalette());
    return bitmap;
}

void TGraphicManager::ApplyStagePalette(TNkDIB& bitmap) const { bitmap.SetPalette(stagePalette_.GetPalette()); }

} // namespace vx
