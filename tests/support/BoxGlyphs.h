#pragma once
#include "render/Graphic.h"

namespace vx::test {

// Each character is a 6x8 cell holding a solid 4x6 box at (1, 1); blanks stay empty.
class BoxGlyphs : public GlyphRenderer {
public:
    GlyphMask render(const std::string&, int, const std::string& text) const override
    {
        GlyphMask mask;
        mask.width = 6 * static_cast<int>(text.size());
        mask.height = 8;
        mask.coverage.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
        for (std::size_t c = 0; c < text.size(); ++c)
            if (text[c] != ' ')
                for (int y = 1; y < 7; ++y)
                    for (int x = 1; x < 5; ++x)
                        mask.coverage[static_cast<std::size_t>(y * mask.width) + c * 6 + static_cast<std::size_t>(x)] =
                            255;
        return mask;
    }
};

} // namespace vx::test
