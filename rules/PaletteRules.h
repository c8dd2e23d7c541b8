#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

constexpr int PaletteEntryCount = 16;
constexpr int MaxColorIndex = 0x3F;

// The cell of a 16 x 4 colour grid (the colour table, the animation cells) under (x, y)
// of a control of the given size; -1 outside it.
int colorGridCellAt(int x, int y, int width, int height);

// What a hex box's new text means: the value to write, and the text the box shows from
// now on (two upper-case digits).
struct HexBoxInput {
    std::uint8_t value;
    std::string text;
};
// A palette entry box: nothing until it holds two characters; then the low byte of the
// hex number, or the stored value when the text is not hex or the byte exceeds 3F.
std::optional<HexBoxInput> readPaletteEntryBox(std::string_view utf8Text, std::uint8_t stored);
// The frame-timer box: as an entry box, with every byte from 00 to FF accepted.
std::optional<HexBoxInput> readFrameTimerBox(std::string_view utf8Text, std::uint8_t stored);

// The selected colour as it is shown: anything above 3F becomes 00.
std::uint8_t shownSelectedColor(std::uint8_t color);

// Status bar text for a hovered colour cell, in the user's language.
std::string colorStatusText(std::uint8_t color);

} // namespace vx
