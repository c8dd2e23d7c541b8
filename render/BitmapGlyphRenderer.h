#pragma once
#include "render/Graphic.h"

namespace vx {

// Text in a small font of our own, 5x7 pixels a character scaled by whole pixels, so that a
// picture comes out the same on every machine and needs no font library. It has the digits,
// A-F and the marks the stage picture writes (">>", "->", "v", "^" and the arrows); any other
// character, or a broken UTF-8 sequence, draws a box. The font name is not used; the point
// size (at 96 dots per inch) picks the scale.
class BitmapGlyphRenderer : public GlyphRenderer {
public:
    GlyphMask render(const std::string& fontName, int pointSize, const std::string& text) const override;

    // Pixels a glyph's 5x7 cell is scaled by at a point size.
    static int scaleFor(int pointSize);
};

} // namespace vx
