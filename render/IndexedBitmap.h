#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/Graphic.h"

namespace vx {

// A copy of a bitmap's colour table, to hand to another bitmap. The stamp travels with
// it, so bitmaps given the same palette know their tables are equal.
struct ColourTable {
    std::array<Color, 256> colors{};
    std::uint64_t stamp = 0;
};
using SharedColourTable = std::shared_ptr<const ColourTable>;

// An 8-bit indexed bitmap with a 256-entry colour table. A new one is 1x1 with pixel 0
// and an all-black table; resizing clears the pixels and the table.
class IndexedBitmap : public Graphic {
public:
    IndexedBitmap();
    IndexedBitmap(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    int bitCount() const { return bitCount_; }
    // Errors (a broken precondition: std::logic_error; std::bad_alloc) leave the bitmap as it was.
    void setWidth(int width);
    void setHeight(int height);
    // 1, 4, 8 or 24; pixels stay one byte each, as only 8 is ever used.
    void setBitCount(int bitCount);

    Color color(int index) const;
    void setColor(int index, Color color);
    const std::array<Color, 256>& colorTable() const { return colors_; }
    SharedColourTable getPalette() const;
    void setPalette(const SharedColourTable& palette);
    void setColorTable(const std::array<Color, 256>& colors);

    // Row y, width bytes; std::logic_error outside the bitmap. Writing marks the bitmap changed.
    std::uint8_t* scanLine(int y);
    const std::uint8_t* scanLine(int y) const;
    std::uint8_t pixel(int x, int y) const { return scanLine(y)[x]; }
    // All rows, width() bytes apart, for loops that address many rows at once.
    std::uint8_t* bits()
    {
        ++version_;
        return pixels_.data();
    }
    const std::uint8_t* bits() const { return pixels_.data(); }

    // Raised on every change of pixels or colours; views redraw when it moves.
    std::uint64_t version() const { return version_; }
    // Identifies the colour table's contents; equal stamps mean equal tables.
    std::uint64_t paletteStamp() const { return paletteStamp_; }
    void changed() { ++version_; }

    // The index that shows the colour: the first entry with exactly that RGB, else the
    // nearest one.
    std::uint8_t indexOf(Color color) const;
    // For each source index, the index here that shows its colour.
    const std::array<std::uint8_t, 256>& mapFrom(const IndexedBitmap& source) const;

private:
    void reset(int width, int height);
    void paletteChanged();

    int width_ = 1;
    int height_ = 1;
    int bitCount_ = 8;
    std::vector<std::uint8_t> pixels_;
    std::array<Color, 256> colors_{};
    std::uint64_t version_ = 0;
    std::uint64_t paletteStamp_ = 0;
    mutable SharedColourTable palette_;
    // Colour lookups for copies into this bitmap, valid for one palette stamp.
    mutable std::uint64_t lookupStamp_ = ~0ull;
    mutable std::unordered_map<Color, std::uint8_t> exact_;
    mutable std::uint64_t mapSourceStamp_ = ~0ull;
    mutable std::uint64_t mapOwnStamp_ = ~0ull;
    mutable std::array<std::uint8_t, 256> map_{};
};

// to[i] = map[from[i]] for count pixels; fast for the working sheets' indices below 16.
void remapPixels(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                 const std::array<std::uint8_t, 256>& map);

enum class BrushStyle {
    Solid,
    Clear
};

struct CanvasFont {
    std::string name = "DejaVu Sans";
    int size = 8;
    Color color = 0;
};

// A drawing canvas bound to one bitmap for one drawing operation. Colours are RGB values,
// drawn with the bitmap's index for them. Everything is clipped to the bitmap.
class BitmapCanvas {
public:
    // Text needs a glyph renderer; without one text draws only its background cell.
    explicit BitmapCanvas(IndexedBitmap& bitmap, const GlyphRenderer* glyphs = nullptr);
    ~BitmapCanvas() { release(); }
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;

    Color penColor = RGB(0, 0, 0);
    Color brushColor = RGB(255, 255, 255);
    BrushStyle brushStyle = BrushStyle::Solid;
    CanvasFont font;

    IndexedBitmap& bitmap() { return bitmap_; }

    // Right and bottom edges exclusive.
    void fillRect(int left, int top, int right, int bottom);
    void moveTo(int x, int y);
    // One-pixel line in the pen colour; the end point is not drawn.
    void lineTo(int x, int y);
    // Text with its top-left corner at (x, y); the cell is filled with the brush first
    // unless the brush is clear.
    void textOut(int x, int y, const std::string& text);
    // Nearest-neighbour copy scaled to the destination rectangle, colours matched through
    // the colour tables. Rectangles are left, top, right, bottom (right, bottom exclusive).
    void copyRect(int left, int top, int right, int bottom, const IndexedBitmap& source, int sourceLeft, int sourceTop,
                  int sourceRight, int sourceBottom);
    // Ends the drawing: the bitmap is marked changed.
    void release();

private:
    void plot(int x, int y, std::uint8_t index);

    IndexedBitmap& bitmap_;
    const GlyphRenderer* glyphs_;
    int penX_ = 0;
    int penY_ = 0;
    bool released_ = false;
};

} // namespace vx
