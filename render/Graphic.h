#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// RGB as the whole program stores it: red in bits 0-7, green 8-15, blue 16-23.
using Color = std::uint32_t;
constexpr Color RGB(int red, int green, int blue) { return static_cast<Color>(red | (green << 8) | (blue << 16)); }

// The base of the program's pictures.
class Graphic {
public:
    virtual ~Graphic() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// A rendered run of text: coverage 0..255 per pixel, row by row.
struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

// Turns text into pixels; the GUI supplies one backed by its fonts.
class GlyphRenderer {
public:
    virtual ~GlyphRenderer() = default;
    virtual GlyphMask render(const std::string& fontName, int pointSize, const std::string& text) const = 0;
};

} // namespace vx
