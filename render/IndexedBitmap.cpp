#include "render/IndexedBitmap.h"

#include "core/base/Expects.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VX_HAVE_SSSE3_PATH 1
#endif

namespace vx {
namespace {

void remapScalar(std::uint8_t* to, const std::uint8_t* from, std::size_t count, const std::uint8_t* map)
{
    for (std::size_t i = 0; i < count; ++i)
        to[i] = map[from[i]];
}

#ifdef VX_HAVE_SSSE3_PATH
// Sheets use indices 0..15 (and 32 for the cursor): sixteen pixels at a time go through
// one byte shuffle with the first sixteen entries of the map.
__attribute__((target("ssse3"))) void remapShuffle(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                                                   const std::uint8_t* map)
{
    const __m128i table = _mm_loadu_si128(reinterpret_cast<const __m128i*>(map));
    const __m128i high = _mm_set1_epi8(static_cast<char>(0xF0));
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(pixels, high), zero)) == 0xFFFF)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_shuffle_epi8(table, pixels));
        else
            remapScalar(to + i, from + i, 16, map);
    }
    remapScalar(to + i, from + i, count - i, map);
}

bool hasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

std::uint64_t newStamp()
{
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

// Every all-black table is the same table.
constexpr std::uint64_t BlackStamp = 0;

int colourDistance(Color a, Color b)
{
    const int dr = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
    const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
    const int db = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
    return dr * dr + dg * dg + db * db;
}

} // namespace

IndexedBitmap::IndexedBitmap() { reset(1, 1); }

IndexedBitmap::IndexedBitmap(int width, int height)
{
    expects(width > 0 && height > 0, "IndexedBitmap: width and height must be positive");
    reset(width, height);
}

void IndexedBitmap::reset(int width, int height)
{
    // The pixels first: a failed allocation (std::bad_alloc) must not leave a size the
    // old pixels do not have.
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    colors_.fill(0);
    paletteStamp_ = BlackStamp;
    palette_.reset();
    ++version_;
}

void IndexedBitmap::setWidth(int width)
{
    expects(width > 0, "IndexedBitmap::setWidth: width must be positive");
    if (width != width_)
        reset(width, height_);
}

void IndexedBitmap::setHeight(int height)
{
    // Bottom-up heights mean nothing here: only positive ones are taken.
    expects(height > 0, "IndexedBitmap::setHeight: height must be positive");
    if (height != height_)
        reset(width_, height);
}

void IndexedBitmap::setBitCount(int bitCount)
{
    expects(bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24,
            "IndexedBitmap::setBitCount: 1, 4, 8 or 24 bits");
    if (bitCount != bitCount_) {
        bitCount_ = bitCount;
        reset(width_, height_);
    }
}

Color IndexedBitmap::color(int index) const
{
    expects(index >= 0 && index <= 255, "IndexedBitmap: colour index outside 0..255");
    return colors_[static_cast<std::size_t>(index)];
}

void IndexedBitmap::setColor(int index, Color color)
{
    expects(index >= 0 && index <= 255, "IndexedBitmap: colour index outside 0..255");
    colors_[static_cast<std::size_t>(index)] = color & 0xFFFFFF;
    paletteChanged();
}

void IndexedBitmap::paletteChanged()
{
    paletteStamp_ = newStamp();
    palette_.reset();
    ++version_;
}

SharedColourTable IndexedBitmap::getPalette() const
{
    if (!palette_)
        palette_ = std::make_shared<const ColourTable>(ColourTable{colors_, paletteStamp_});
    return palette_;
}

void IndexedBitmap::setPalette(const SharedColourTable& palette)
{
    expects(palette != nullptr, "IndexedBitmap::setPalette: no colour table");
    colors_ = palette->colors;
    paletteStamp_ = palette->stamp;
    palette_ = palette;
    ++version_;
}

void IndexedBitmap::setColorTable(const std::array<Color, 256>& colors)
{
    colors_ = colors;
    paletteChanged();
}

std::uint8_t* IndexedBitmap::scanLine(int y)
{
    expects(y >= 0 && y < height_, "IndexedBitmap::scanLine: row outside the bitmap");
    ++version_;
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

const std::uint8_t* IndexedBitmap::scanLine(int y) const
{
    expects(y >= 0 && y < height_, "IndexedBitmap::scanLine: row outside the bitmap");
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

std::uint8_t IndexedBitmap::indexOf(Color color) const
{
    color &= 0xFFFFFF;
    if (lookupStamp_ != paletteStamp_) {
        exact_.clear();
        for (int i = 255; i >= 0; --i) // the lowest index wins
            exact_[colors_[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(i);
        lookupStamp_ = paletteStamp_;
    }
    if (auto found = exact_.find(color); found != exact_.end())
        return found->second;
    int best = 0, bestDistance = colourDistance(colors_[0], color);
    for (int i = 1; i < 256; ++i) {
        const int distance = colourDistance(colors_[static_cast<std::size_t>(i)], color);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

const std::array<std::uint8_t, 256>& IndexedBitmap::mapFrom(const IndexedBitmap& source) const
{
    if (mapSourceStamp_ == source.paletteStamp_ && mapOwnStamp_ == paletteStamp_)
        return map_;
    if (source.paletteStamp_ == paletteStamp_) {
        for (int i = 0; i < 256; ++i)
            map_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    } else {
        for (int i = 0; i < 256; ++i)
            map_[static_cast<std::size_t>(i)] = indexOf(source.colors_[static_cast<std::size_t>(i)]);
    }
    mapSourceStamp_ = source.paletteStamp_;
    mapOwnStamp_ = paletteStamp_;
    return map_;
}

void remapPixels(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                 const std::array<std::uint8_t, 256>& map)
{
#ifdef VX_HAVE_SSSE3_PATH
    if (count >= 16 && hasSsse3()) {
        remapShuffle(to, from, count, map.data());
        return;
    }
#endif
    remapScalar(to, from, count, map.data());
}

// ---- canvas ----

BitmapCanvas::BitmapCanvas(IndexedBitmap& bitmap, const GlyphRenderer* glyphs) : bitmap_(bitmap), glyphs_(glyphs) {}

void BitmapCanvas::plot(int x, int y, std::uint8_t index)
{
    if (x >= 0 && y >= 0 && x < bitmap_.width() && y < bitmap_.height())
        bitmap_.scanLine(y)[x] = index;
}

void BitmapCanvas::fillRect(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap_.width());
    bottom = std::min(bottom, bitmap_.height());
    if (left >= right || top >= bottom)
        return;
    const std::uint8_t index = bitmap_.indexOf(brushColor);
    for (int y = top; y < bottom; ++y)
        std::memset(bitmap_.scanLine(y) + left, index, static_cast<std::size_t>(right - left));
}

void BitmapCanvas::moveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void BitmapCanvas::lineTo(int x, int y)
{
    const std::uint8_t index = bitmap_.indexOf(penColor);
    int cx = penX_, cy = penY_;
    const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
    int error = dx + dy;
    while (cx != x || cy != y) {
        plot(cx, cy, index);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cx += sx;
        }
        if (twice <= dx) {
            error += dx;
            cy += sy;
        }
    }
    penX_ = x;
    penY_ = y;
}

void BitmapCanvas::textOut(int x, int y, const std::string& text)
{
    if (!glyphs_ || text.empty())
        return;
    const GlyphMask mask = glyphs_->render(font.name, font.size, text);
    if (brushStyle == BrushStyle::Solid)
        fillRect(x, y, x + mask.width, y + mask.height);
    const std::uint8_t index = bitmap_.indexOf(font.color);
    // An indexed bitmap cannot blend: a pixel is the text's colour or left alone.
    for (int row = 0; row < mask.height; ++row)
        for (int column = 0; column < mask.width; ++column) {
            const std::size_t at =
                static_cast<std::size_t>(row) * static_cast<std::size_t>(mask.width) + static_cast<std::size_t>(column);
            if (at < mask.coverage.size() && mask.coverage[at] >= 128)
                plot(x + column, y + row, index);
        }
}

void BitmapCanvas::copyRect(int left, int top, int right, int bottom, const IndexedBitmap& source, int sourceLeft,
                            int sourceTop, int sourceRight, int sourceBottom)
{
    const int width = right - left, height = bottom - top;
    const int sourceWidth = sourceRight - sourceLeft, sourceHeight = sourceBottom - sourceTop;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const std::array<std::uint8_t, 256>& map = bitmap_.mapFrom(source);
    const int firstY = std::max(top, 0), lastY = std::min(bottom, bitmap_.height());
    const int firstX = std::max(left, 0), lastX = std::min(right, bitmap_.width());
    if (firstX >= lastX || firstY >= lastY)
        return;
    const bool oneToOne = width == sourceWidth;
    const bool inside = sourceLeft + (firstX - left) >= 0 && sourceLeft + (lastX - left) <= source.width();
    // The source column of each destination column, worked out once for all rows.
    std::vector<int> columns;
    if (!(oneToOne && inside)) {
        columns.reserve(static_cast<std::size_t>(lastX - firstX));
        for (int x = firstX; x < lastX; ++x)
            columns.push_back(oneToOne ? sourceLeft + (x - left)
                                       : sourceLeft +
                                      static_cast<int>(static_cast<std::int64_t>(x - left) * sourceWidth / width));
    }
    for (int y = firstY; y < lastY; ++y) {
        const int sy = sourceTop + static_cast<int>(static_cast<std::int64_t>(y - top) * sourceHeight / height);
        if (sy < 0 || sy >= source.height())
            continue;
        const std::uint8_t* from = source.scanLine(sy);
        std::uint8_t* to = bitmap_.scanLine(y);
        if (oneToOne && inside) {
            remapPixels(to + firstX, from + sourceLeft + (firstX - left), static_cast<std::size_t>(lastX - firstX),
                        map);
            continue;
        }
        for (int x = firstX; x < lastX; ++x) {
            const int sx = columns[static_cast<std::size_t>(x - firstX)];
            if (sx >= 0 && sx < source.width())
                to[x] = map[from[sx]];
        }
    }
}

void BitmapCanvas::release()
{
    if (!released_)
        bitmap_.changed();
    released_ = true;
}

} // namespace vx
