#include "core/files/GimpPalette.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/PatchFormat.h"

#include <algorithm>
#include <cstdio>

namespace vx {
namespace {

constexpr std::string_view Magic = "GIMP Palette";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A line break inside a name would end the colour's line early.
std::string oneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}

enum class LineFault {
    None,
    Broken,
    OverRange
};

// Reads "R G B" and the optional name after them from a trimmed, non-empty line.
LineFault readColourLine(std::string_view line, PaletteFileColour& colour)
{
    std::uint32_t rgb = 0;
    for (int channel = 0; channel < 3; ++channel) {
        if (channel > 0) {
            if (line.empty() || !isBlank(line.front()))
                return LineFault::Broken;
            line = trimmed(line);
        }
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < line.size() && isDigit(line[digits])) {
            // Capped so that a long run of digits cannot overflow.
            value = std::min(value * 10 + static_cast<unsigned>(line[digits] - '0'), 1000u);
            ++digits;
        }
        if (digits == 0)
            return LineFault::Broken;
        line.remove_prefix(digits);
        if (!line.empty() && !isBlank(line.front()))
            return LineFault::Broken;
        if (value > 255)
            return LineFault::OverRange;
        rgb = rgb << 8 | value;
    }
    colour.rgb = rgb;
    colour.name = std::string(trimmed(line));
    return LineFault::None;
}

bool startsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

} // namespace

std::string writeGimpPalette(std::string_view paletteName, std::span<const PaletteFileColour> colours)
{
    std::string text = std::string(Magic) + "\nName: " + oneLine(paletteName) + "\nColumns: 16\n#\n";
    for (const PaletteFileColour& colour : colours) {
        char numbers[16];
        std::snprintf(numbers, sizeof numbers, "%3u %3u %3u\t", (colour.rgb >> 16) & 0xFF, (colour.rgb >> 8) & 0xFF,
                      colour.rgb & 0xFF);
        text += numbers;
        text += oneLine(colour.name);
        text += '\n';
    }
    return text;
}

Result<std::vector<PaletteFileColour>> readGimpPalette(std::string_view text, std::size_t minColours)
{
    if (startsWith(text, ByteOrderMark))
        text.remove_prefix(ByteOrderMark.size());

    std::vector<PaletteFileColour> colours;
    bool sawMagic = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty())
            continue;
        if (!sawMagic) {
            if (line != Magic)
                return Error{fillNumbers(
                    localized("%1 行目: GIMP パレットではありません (\"GIMP Palette\" で始まって"
                              "いません)。",
                              "Line %1: this is not a GIMP palette (it does not begin with \"GIMP Palette\")."),
                    {lineNumber})};
            sawMagic = true;
            continue;
        }
        if (line.front() == '#' || startsWith(line, "Name:") || startsWith(line, "Columns:"))
            continue;
        PaletteFileColour colour;
        switch (readColourLine(line, colour)) {
        case LineFault::None: colours.push_back(std::move(colour)); break;
        case LineFault::Broken:
            return Error{fillNumbers(
                localized("%1 行目: 色の行は 0 から 255 の整数 3 つ (赤 緑 青) と、その後に"
                          "任意の名前です。",
                          "Line %1: a colour line is three whole numbers from 0 to 255 (red, green, blue), then an "
                          "optional name."),
                {lineNumber})};
        case LineFault::OverRange:
            return Error{fillNumbers(localized("%1 行目: 色の値が 255 を超えています"
                                               "。",
                                               "Line %1: a colour value is over 255."),
                                     {lineNumber})};
        }
    }
    if (!sawMagic)
        return Error{localized("GIMP パレットではありません (\"GIMP Palette\" の行がありません)。",
                               "This is not a GIMP palette (there is no \"GIMP Palette\" line).")};
    if (colours.size() < minColours)
        return Error{fillNumbers(localized("パレットには %1 色しかありません。%2 色必要です。",
                                           "The palette holds %1 of the %2 colours needed."),
                                 {colours.size(), minColours})};
    return colours;
}

int namedColourIndex(std::string_view name)
{
    const std::size_t space = name.find_last_of(' ');
    const std::string_view last = space == std::string_view::npos ? name : name.substr(space + 1);
    const auto value = last.size() == 2 ? parseHex(last) : std::nullopt;
    return value ? static_cast<int>(*value) : -1;
}

std::string paletteEntryName(int entry, std::uint8_t index)
{
    return std::string(entry < 16 ? "BG " : "Sprite ") + formatHex(static_cast<std::uint32_t>(entry % 16)) + " " +
        formatHex(index, 2);
}

ColourMatch matchConsoleColour(std::uint32_t rgb, std::span<const std::uint32_t> colours, int firstChoice,
                               int secondChoice)
{
    const auto distance = [&](std::size_t index) {
        int sum = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = static_cast<int>(colours[index] >> shift & 0xFF) - static_cast<int>(rgb >> shift & 0xFF);
            sum += d * d;
        }
        return sum;
    };
    for (int choice : {firstChoice, secondChoice})
        if (choice >= 0 && static_cast<std::size_t>(choice) < colours.size() &&
            distance(static_cast<std::size_t>(choice)) == 0)
            return {choice, true};
    ColourMatch best{0, false};
    int bestDistance = -1;
    for (std::size_t index = 0; index < colours.size(); ++index)
        if (const int d = distance(index); bestDistance < 0 || d < bestDistance) {
            best.index = static_cast<int>(index);
            bestDistance = d;
        }
    best.exact = bestDistance == 0;
    return best;
}

} // namespace vx
