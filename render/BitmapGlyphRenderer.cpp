#include "render/BitmapGlyphRenderer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace vx {
namespace {

constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
// Each character takes its glyph and one blank column; the text has a blank border, so a
// label on a filled cell keeps its glyphs off the cell's edge.
constexpr int Advance = GlyphWidth + 1;
constexpr int CellHeight = GlyphHeight + 2;
// Far more than a room label holds; keeps the mask's size within int.
constexpr std::size_t MaxCharacters = 1024;
constexpr int MaxScale = 16;

struct Glyph {
    char32_t code;
    std::array<const char*, GlyphHeight> rows; // '#' drawn, '.' blank
};

const Glyph Box{0, {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}};

// clang-format off
const std::array<Glyph, 24> Glyphs{{
    {U'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {U'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {U'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {U'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {U'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {U'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {U'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {U'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {U'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {U'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {U'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {U'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {U'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {U'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {U'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {U'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {U' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {U'>', {"#....", ".#...", "..#..", "...#.", "..#..", ".#...", "#...."}},
    {U'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {U'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {U'^', {"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."}},
    {U'\u2192', {".....", "..#..", "...#.", "#####", "...#.", "..#..", "....."}},
    {U'\u2193', {"..#..", "..#..", "..#..", "..#..", "#.#.#", ".###.", "..#.."}},
    {U'\u2191', {"..#..", ".###.", "#.#.#", "..#..", "..#..", "..#..", "..#.."}},
}};
// clang-format on

const Glyph& glyphOf(char32_t code)
{
    const auto found = std::find_if(Glyphs.begin(), Glyphs.end(), [&](const Glyph& g) { return g.code == code; });
    return found == Glyphs.end() ? Box : *found;
}

// The bytes of the UTF-8 sequence a byte starts; 0 for one that starts none.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The characters of UTF-8 text. A byte that starts no whole sequence stands for itself as a
// character no glyph has (0), so it draws the box.
std::vector<char32_t> decodeUtf8(const std::string& text)
{
    std::vector<char32_t> codes;
    for (std::size_t at = 0; at < text.size() && codes.size() < MaxCharacters;) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = sequenceLength(lead);
        bool whole = length > 0 && length <= text.size() - at;
        for (std::size_t i = 1; whole && i < length; ++i)
            whole = (static_cast<unsigned char>(text[at + i]) & 0xC0) == 0x80;
        if (!whole) {
            codes.push_back(0);
            ++at;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i)
            code = code << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        codes.push_back(code);
        at += length;
    }
    return codes;
}

} // namespace

int BitmapGlyphRenderer::scaleFor(int pointSize)
{
    // A glyph's cell about as tall as a font's line at that size.
    const int pixels = std::clamp(pointSize, 0, MaxScale * 6) * 96 / 72;
    return std::clamp(pixels / (CellHeight - 1), 1, MaxScale);
}

GlyphMask BitmapGlyphRenderer::render(const std::string&, int pointSize, const std::string& text) const
{
    const std::vector<char32_t> codes = decodeUtf8(text);
    GlyphMask mask;
    if (codes.empty())
        return mask;
    const int scale = scaleFor(pointSize);
    mask.width = (1 + Advance * static_cast<int>(codes.size())) * scale;
    mask.height = CellHeight * scale;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);
    for (std::size_t c = 0; c < codes.size(); ++c) {
        const Glyph& glyph = glyphOf(codes[c]);
        const int left = (1 + Advance * static_cast<int>(c)) * scale;
        for (int row = 0; row < GlyphHeight; ++row)
            for (int column = 0; column < GlyphWidth; ++column) {
                if (glyph.rows[static_cast<std::size_t>(row)][column] != '#')
                    continue;
                for (int y = (1 + row) * scale; y < (2 + row) * scale; ++y) {
                    const auto at = static_cast<std::size_t>(y * mask.width + left + column * scale);
                    std::fill_n(mask.coverage.begin() + static_cast<std::ptrdiff_t>(at), scale, std::uint8_t{255});
                }
            }
    }
    return mask;
}

} // namespace vx
