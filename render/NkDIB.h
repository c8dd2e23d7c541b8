#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/NkGraph.h"

namespace vx {

// A copy of a bitmap's colour table, to hand to another bitmap. The stamp travels with
// it, so bitmaps given the same palette know their tables are equal.
struct TNkPaletteData {
    std::array<TColor, 256> colors{};
    std::uint64_t stamp = 0;
};
using TNkPalette = std::shared_ptr<const TNkPaletteData>;

// An 8-bit indexed bitmap with a 256-entry colour table. A new one is 1x1 with pixel 0
// and an all-black table; resizing clears the pixels and the table.
class TNkDIB : public TNkGraphic {
public:
    TNkDIB();
    TNkDIB(int width, int height);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int BitCount() const { return bitCount_; }
    // Errors (VxError, std::bad_alloc) leave the bitmap as it was.
    void SetWidth(int width);
    void SetHeight(int height);
    // 1, 4, 8 or 24; pixels stay one byte each, as only 8 is ever used.
    void SetBitCount(int bitCount);

    TColor Color(int index) const;
    void SetColor(int index, TColor color);
    const std::array<TColor, 256>& ColorTable() const { return colors_; }
    TNkPalette GetPalette() const;
    void SetPalette(const TNkPalette& palette);
    void SetColorTable(const std::array<TColor, 256>& colors);

    // Row y, width bytes; VxError outside the bitmap. Writing marks the bitmap changed.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;
    std::uint8_t Pixel(int x, int y) const { return ScanLine(y)[x]; }
    // All rows, Width() bytes apart, for loops that address many rows at once.
    std::uint8_t* Bits()
    {
        ++version_;
        return pixels_.data();
    }
    const std::uint8_t* Bits() const { return pixels_.data(); }

    // Raised on every change of pixels or colours; views redraw when it moves.
    std::uint64_t Version() const { return version_; }
    // Identifies the colour table's contents; equal stamps mean equal tables.
    std::uint64_t PaletteStamp() const { return paletteStamp_; }
    void Changed() { ++version_; }

    // The index that shows the colour: the first entry with exactly that RGB, else the
    // nearest one.
    std::uint8_t IndexOf(TColor color) const;
    // For each source index, the index here that shows its colour.
    const std::array<std::uint8_t, 256>& MapFrom(const TNkDIB& source) const;

private:
    void Reset(int width, int height);
    void PaletteChanged();

    int width_ = 1;
    int height_ = 1;
    int bitCount_ = 8;
    std::vector<std::uint8_t> pixels_;
    std::array<TColor, 256> colors_{};
    std::uint64_t version_ = 0;
    std::uint64_t paletteStamp_ = 0;
    mutable TNkPalette palette_;
    // Colour lookups for copies into this bitmap, valid for one palette stamp.
    mutable std::uint64_t lookupStamp_ = ~0ull;
    mutable std::unordered_map<TColor, std::uint8_t> exact_;
    mutable std::uint64_t mapSourceStamp_ = ~0ull;
    mutable std::uint64_t mapOwnStamp_ = ~0ull;
    mutable std::array<std::uint8_t, 256> map_{};
};

// to[i] = map[from[i]] for count pixels; fast for the working sheets' indices below 16.
void RemapPixels(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                 const std::array<std::uint8_t, 256>& map);

enum class TBrushStyle { Solid, Clear };

struct TNkFont {
    std::string name = "DejaVu Sans";
    int size = 8;
    TColor color = 0;
};

// A drawing canvas bound to one bitmap for one drawing operation. Colours are RGB values,
// drawn with the bitmap's index for them. Everything is clipped to the bitmap.
class TNkDIBCanvas {
public:
    // Text needs a glyph renderer; without one text draws only its background cell.
    explicit TNkDIBCanvas(TNkDIB& bitmap, const TGlyphRenderer* glyphs = nullptr);
    ~TNkDIBCanvas() { Release(); }
    TNkDIBCanvas(const TNkDIBCanvas&) = delete;
    TNkDIBCanvas& operator=(const TNkDIBCanvas&) = delete;

    TColor PenColor = RGB(0, 0, 0);
    TColor BrushColor = RGB(255, 255, 255);
    TBrushStyle BrushStyle = TBrushStyle::Solid;
    TNkFont Font;

    TNkDIB& Bitmap() { return bitmap_; }

    // Right and bottom edges exclusive.
    void FillRect(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    // One-pixel line in the pen colour; the end point is not drawn.
    void LineTo(int x, int y);
    // Text with its top-left corner at (x, y); the cell is filled with the brush first
    // unless the brush is clear.
    void TextOut(int x, int y, const std::string& text);
    // Nearest-neighbour copy scaled to the destination rectangle, colours matched through
    // the colour tables. Rectangles are left, top, right, bottom (right, bottom exclusive).
    void CopyRect(int left, int top, int right, int bottom, const TNkDIB& source, int sourceLeft,
                  int sourceTop, int sourceRight, int sourceBottom);
    // Ends the drawing: the bitmap is marked changed.
    void Release();

private:
    void Plot(int x, int y, std::uint8_t index);

    TNkDIB& bitmap_;
    const TGlyphRenderer* glyphs_;
    int penX_ = 0;
    int penY_ = 0;
    bool released_ = false;
};

} // namespace vx
