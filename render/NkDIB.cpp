#include "render/NkDIB.h"

#include "core/Errors.h"

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

void RemapScalar(std::uint8_t* to, const std::uint8_t* from, std::size_t count, const std::uint8_t* map)
{
    for (std::size_t i = 0; i < count; ++i)
        to[i] = map[from[i]];
}

#ifdef VX_HAVE_SSSE3_PATH
// Sheets use indices 0..15 (and 32 for the cursor): sixteen pixels at a time go through
// one byte shuffle with the first sixteen entries of the map.
__attribute__((target("ssse3"))) void RemapShuffle(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
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
            RemapScalar(to + i, from + i, 16, map);
    }
    RemapScalar(to + i, from + i, count - i, map);
}

bool HasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

std::uint64_t NewStamp()
{
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

// Every all-black table is the same table.
constexpr std::uint64_t BlackStamp = 0;

int Distance(TColor a, TColor b)
{
    const int dr = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
    const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
    const int db = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
    return dr * dr + dg * dg + db * db;
}

} // namespace

TNkDIB::TNkDIB() { Reset(1, 1); }

TNkDIB::TNkDIB(int width, int height)
{
    if (width <= 0)
        throw VxError("TNkDIB.SetWidth: Invalid Width");
    if (height <= 0)
        throw VxError("TNkDIB.SetWidth: Invalid Height");
    Reset(width, height);
}

void TNkDIB::Reset(int width, int height)
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

void TNkDIB::SetWidth(int width)
{
    if (width <= 0)
        throw VxError("TNkDIB.SetWidth: Invalid Width");
    if (width != width_)
        Reset(width, height_);
}

void TNkDIB::SetHeight(int height)
{
    // Bottom-up heights mean nothing here: only positive ones are taken.
    if (height <= 0)
        throw VxError("TNkDIB.SetWidth: Invalid Height");
    if (height != height_)
        Reset(width_, height);
}

void TNkDIB::SetBitCount(int bitCount)
{
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        throw VxError("TNkDIB.SetBitCount: Invalid BitCount");
    if (bitCount != bitCount_) {
        bitCount_ = bitCount;
        Reset(width_, height_);
    }
}

TColor TNkDIB::Color(int index) const
{
    if (index < 0 || index > 255)
        throw VxError("TNkDIB.GetColors: Palette Index is Out of Range");
    return colors_[static_cast<std::size_t>(index)];
}

void TNkDIB::SetColor(int index, TColor color)
{
    if (index < 0 || index > 255)
        throw VxError("TNkDIB.GetColors: Palette Index is Out of Range");
    colors_[static_cast<std::size_t>(index)] = color & 0xFFFFFF;
    PaletteChanged();
}

void TNkDIB::PaletteChanged()
{
    paletteStamp_ = NewStamp();
    palette_.reset();
    ++version_;
}

TNkPalette TNkDIB::GetPalette() const
{
    if (!palette_)
        palette_ = std::make_shared<const TNkPaletteData>(TNkPaletteData{colors_, paletteStamp_});
    return palette_;
}

void TNkDIB::SetPalette(const TNkPalette& palette)
{
    if (!palette)
        throw VxError("TNkDIB.SetPalette: Invalid Palette");
    colors_ = palette->colors;
    paletteStamp_ = palette->stamp;
    palette_ = palette;
    ++version_;
}

void TNkDIB::SetColorTable(const std::array<TColor, 256>& colors)
{
    colors_ = colors;
    PaletteChanged();
}

std::uint8_t* TNkDIB::ScanLine(int y)
{
    if (y < 0 || y >= height_)
        throw VxError("TNkDIB.GetScanLine: y is Out of Range");
    ++version_;
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

const std::uint8_t* TNkDIB::ScanLine(int y) const
{
    if (y < 0 || y >= height_)
        throw VxError("TNkDIB.GetScanLine: y is Out of Range");
    return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

std::uint8_t TNkDIB::IndexOf(TColor color) const
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
    int best = 0, bestDistance = Distance(colors_[0], color);
    for (int i = 1; i < 256; ++i) {
        const int distance = Distance(colors_[static_cast<std::size_t>(i)], color);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

const std::array<std::uint8_t, 256>& TNkDIB::MapFrom(const TNkDIB& source) const
{
    if (mapSourceStamp_ == source.paletteStamp_ && mapOwnStamp_ == paletteStamp_)
        return map_;
    if (source.paletteStamp_ == paletteStamp_) {
        for (int i = 0; i < 256; ++i)
            map_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    } else {
        for (int i = 0; i < 256; ++i)
            map_[static_cast<std::size_t>(i)] = IndexOf(source.colors_[static_cast<std::size_t>(i)]);
    }
    mapSourceStamp_ = source.paletteStamp_;
    mapOwnStamp_ = paletteStamp_;
    return map_;
}

void RemapPixels(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                 const std::array<std::uint8_t, 256>& map)
{
#ifdef VX_HAVE_SSSE3_PATH
    if (count >= 16 && HasSsse3()) {
        RemapShuffle(to, from, count, map.data());
        return;
    }
#endif
    RemapScalar(to, from, count, map.data());
}

// ---- canvas ----

TNkDIBCanvas::TNkDIBCanvas(TNkDIB& bitmap, const TGlyphRenderer* glyphs)
    : bitmap_(bitmap), glyphs_(glyphs)
{
}

void TNkDIBCanvas::Plot(int x, int y, std::uint8_t index)
{
    if (x >= 0 && y >= 0 && x < bitmap_.Width() && y < bitmap_.Height())
        bitmap_.ScanLine(y)[x] = index;
}

void TNkDIBCanvas::FillRect(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap_.Width());
    bottom = std::min(bottom, bitmap_.Height());
    if (left >= right || top >= bottom)
        return;
    const std::uint8_t index = bitmap_.IndexOf(BrushColor);
    for (int y = top; y < bottom; ++y)
        std::memset(bitmap_.ScanLine(y) + left, index, static_cast<std::size_t>(right - left));
}

void TNkDIBCanvas::MoveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void TNkDIBCanvas::LineTo(int x, int y)
{
    const std::uint8_t index = bitmap_.IndexOf(PenColor);
    int cx = penX_, cy = penY_;
    const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
    int error = dx + dy;
    while (cx != x || cy != y) {
        Plot(cx, cy, index);
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

void TNkDIBCanvas::TextOut(int x, int y, const std::string& text)
{
    if (!glyphs_ || text.empty())
        return;
    const TGlyphMask mask = glyphs_->Render(Font.name, Font.size, text);
    if (BrushStyle == TBrushStyle::Solid)
        FillRect(x, y, x + mask.width, y + mask.height);
    const std::uint8_t index = bitmap_.IndexOf(Font.color);
    // An indexed bitmap cannot blend: a pixel is the text's colour or left alone.
    for (int row = 0; row < mask.height; ++row)
        for (int column = 0; column < mask.width; ++column) {
            const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(mask.width) +
                                   static_cast<std::size_t>(column);
            if (at < mask.coverage.size() && mask.coverage[at] >= 128)
                Plot(x + column, y + row, index);
        }
}

void TNkDIBCanvas::CopyRect(int left, int top, int right, int bottom, const TNkDIB& source,
                            int sourceLeft, int sourceTop, int sourceRight, int sourceBottom)
{
    const int width = right - left, height = bottom - top;
    const int sourceWidth = sourceRight - sourceLeft, sourceHeight = sourceBottom - sourceTop;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const std::array<std::uint8_t, 256>& map = bitmap_.MapFrom(source);
    const int firstY = std::max(top, 0), lastY = std::min(bottom, bitmap_.Height());
    const int firstX = std::max(left, 0), lastX = std::min(right, bitmap_.Width());
    if (firstX >= lastX || firstY >= lastY)
        return;
    const bool oneToOne = width == sourceWidth;
    const bool inside = sourceLeft + (firstX - left) >= 0 && sourceLeft + (lastX - left) <= source.Width();
    // The source column of each destination column, worked out once for all rows.
    std::vector<int> columns;
    if (!(oneToOne && inside)) {
        columns.reserve(static_cast<std::size_t>(lastX - firstX));
        for (int x = firstX; x < lastX; ++x)
            columns.push_back(oneToOne ? sourceLeft + (x - left)
                                       : sourceLeft + static_cast<int>(static_cast<std::int64_t>(x - left) * sourceWidth / width));
    }
    for (int y = firstY; y < lastY; ++y) {
        const int sy = sourceTop + static_cast<int>(static_cast<std::int64_t>(y - top) * sourceHeight / height);
        if (sy < 0 || sy >= source.Height())
            continue;
        const std::uint8_t* from = source.ScanLine(sy);
        std::uint8_t* to = bitmap_.ScanLine(y);
        if (oneToOne && inside) {
            RemapPixels(to + firstX, from + sourceLeft + (firstX - left), static_cast<std::size_t>(lastX - firstX), map);
            continue;
        }
        for (int x = firstX; x < lastX; ++x) {
            const int sx = columns[static_cast<std::size_t>(x - firstX)];
            if (sx >= 0 && sx < source.Width())
                to[x] = map[from[sx]];
        }
    }
}

void TNkDIBCanvas::Release()
{
    if (!released_)
        bitmap_.Changed();
    released_ = true;
}

} // namespace vx
