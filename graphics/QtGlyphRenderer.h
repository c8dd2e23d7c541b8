#pragma once
#include "graphics/NkGraph.h"

namespace vx {

// Text through Qt's fonts, without smoothing (an indexed bitmap cannot blend). Point sizes
// are taken at 96 dots per inch, as the layout was made for. Needs a QGuiApplication.
class TQtGlyphRenderer : public TGlyphRenderer {
public:
    TGlyphMask Render(const std::string& fontName, int pointSize, const std::string& text) const override;
};

// Maps the layout's font names ("MS Gothic", "ＭＳ ゴシック", "Tahoma") onto fonts this
// system has. Call once after the application object exists.
void RegisterFontSubstitutions();

} // namespace vx
