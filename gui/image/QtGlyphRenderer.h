#pragma once
#include <map>
#include <string>
#include <tuple>

#include "render/Graphic.h"

class QFont;

namespace vx {

// Text through Qt's fonts, without smoothing (an indexed bitmap cannot blend). Point sizes
// are taken at 96 dots per inch, as the layout was made for. Needs a QGuiApplication.
class QtGlyphRenderer : public GlyphRenderer {
public:
    GlyphMask render(const std::string& fontName, int pointSize, const std::string& text) const override;

private:
    // The same few short texts (hex numbers) come back on every redraw; Qt's text
    // drawing costs about 5 µs each.
    using Key = std::tuple<std::string, int, std::string>;
    static constexpr std::size_t CacheLimit = 2048;
    mutable std::map<Key, GlyphMask> cache_;
};

// Maps the layout's font names ("MS Gothic", "ＭＳ ゴシック", "Tahoma") onto fonts this
// system has. Call once after the application object exists.
void registerFontSubstitutions();

// The font the window's controls are laid out for (Tahoma at 8 points, through the
// substitutions above).
QFont editorFont();

} // namespace vx
