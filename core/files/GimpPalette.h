#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Result.h"

namespace vx {

// One colour of a GIMP palette file (.gpl): 0xRRGGBB and the name after it (may be empty).
struct PaletteFileColour {
    std::uint32_t rgb = 0;
    std::string name;
};

// The text of a .gpl file: the "GIMP Palette" line, "Name: ...", "Columns: 16", "#" and
// one "R G B<TAB>name" line per colour.
std::string writeGimpPalette(std::string_view paletteName, std::span<const PaletteFileColour> colours);

// Reads a .gpl file's colours in order. Refused with the line number and the reason when
// the first line is not "GIMP Palette", a colour line is broken (not three whole numbers
// 0-255) or there are fewer than minColours colours. Header lines ("Name:", "Columns:"),
// comments ("#") and blank lines are skipped; CRLF line ends are read as well.
Result<std::vector<PaletteFileColour>> readGimpPalette(std::string_view text, std::size_t minColours);

// The stage palette files name each entry "BG 0 0F", "Sprite 3 30": its table, its entry and
// its console colour index. The index (00-FF) a name ends with; -1 when it ends otherwise.
int namedColourIndex(std::string_view name);
std::string paletteEntryName(int entry, std::uint8_t index); // entry 0-31: BG, then Sprite

// The console colour index (into colours, 0xRRGGBB each) for rgb: firstChoice when its colour
// is rgb exactly, else secondChoice when its is, else the nearest (squared RGB distance; a tie
// to the lower index). Several indices share a colour, so the choices keep the user's one.
struct ColourMatch {
    int index = 0;
    bool exact = false;
};
ColourMatch matchConsoleColour(std::uint32_t rgb, std::span<const std::uint32_t> colours, int firstChoice,
                               int secondChoice);

} // namespace vx
