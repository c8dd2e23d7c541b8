#include "rules/PaletteRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "rules/HitTest.h"

namespace vx {
namespace {

// Characters, not bytes: a typed "あ" is one character, as in the box.
std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

std::optional<HexBoxInput> readHexBox(std::string_view text, std::uint8_t stored, int highest)
{
    if (characterCount(text) < 2)
        return std::nullopt;
    std::uint8_t value = stored;
    if (const auto parsed = parseHex(text)) {
        const auto low = static_cast<std::uint8_t>(*parsed & 0xFF);
        if (low <= highest)
            value = low;
    }
    return HexBoxInput{value, formatHex(value, 2)};
}

} // namespace

int colorGridCellAt(int x, int y, int width, int height)
{
    const int column = cellAt(x, width, 16), row = cellAt(y, height, 4);
    return column < 0 || row < 0 ? -1 : row * 16 + column;
}

std::optional<HexBoxInput> readPaletteEntryBox(std::string_view utf8Text, std::uint8_t stored)
{
    return readHexBox(utf8Text, stored, MaxColorIndex);
}

std::optional<HexBoxInput> readFrameTimerBox(std::string_view utf8Text, std::uint8_t stored)
{
    return readHexBox(utf8Text, stored, 0xFF);
}

std::uint8_t shownSelectedColor(std::uint8_t color) { return color > MaxColorIndex ? 0 : color; }

std::string colorStatusText(std::uint8_t color) { return localized("色 No:", "Color No:") + formatHex(color, 2); }

} // namespace vx
