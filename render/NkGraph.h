#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// RGB as the whole program stores it: red in bits 0-7, green 8-15, blue 16-23.
using TColor = std::uint32_t;
constexpr TColor RGB(int red, int green, int blue)
{
    return static_cast<TColor>(red | (green << 8) | (blue << 16));
}

// The base of the program's pictures.
class TNkGraphic {
public:
    virtual ~TNkGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// A rendered run of text: coverage 0..255 per pixel, row by row.
struct TGlyphMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

// Turns text into pixels; the GUI supplies one backed by its fonts.
class TGlyphRenderer {
public:
    virtual ~TGlyphRenderer() = default;
    virtual TGlyphMask Render(const std::string& fontName, int pointSize, const std::string& text) const = 0;
};

} // namespace vx
