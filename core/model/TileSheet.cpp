#include "core/model/TileSheet.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/PngPicture.h"

#include <algorithm>
#include <cstdio>

namespace vx {

std::uint8_t tilePixel(std::span<const std::uint8_t, TileLength> tile, int x, int y)
{
    const int bit = 7 - (x & 7);
    return static_cast<std::uint8_t>(((tile[y & 7] >> bit) & 1) | (((tile[(y & 7) + 8] >> bit) & 1) << 1));
}

std::pair<std::uint8_t, std::uint8_t> paintedRow(std::span<const std::uint8_t, TileLength> tile, int x, int y,
                                                 int colour)
{
    const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
    const auto with = [&](std::uint8_t byte, bool set) {
        return static_cast<std::uint8_t>(set ? byte | mask : byte & ~mask);
    };
    return {with(tile[y & 7], colour & 1), with(tile[(y & 7) + 8], colour & 2)};
}

TilePixel tilePixelAtPicture(int x, int y) { return {32 * (y / 16) + 2 * (x / 8) + (y % 16) / 8, x % 8, y % 8}; }

std::pair<int, int> tilePictureCorner(int tile) { return {8 * ((tile % 32) / 2), 16 * (tile / 32) + 8 * (tile % 2)}; }

const char* tileLayoutName(TileLayout layout) { return layout == TileLayout::Chips ? "chips" : "tiles"; }

std::optional<TileLayout> tileLayoutNamed(std::string_view name)
{
    for (const TileLayout layout : {TileLayout::Tiles, TileLayout::Chips})
        if (name == tileLayoutName(layout))
            return layout;
    return std::nullopt;
}

int tileAtSheet(int x, int y, TileLayout layout)
{
    return layout == TileLayout::Chips ? tilePixelAtPicture(x, y).tile : 16 * (y / 8) + x / 8;
}

namespace {

std::size_t sheetTileStart(int x, int y, TileLayout layout)
{
    return static_cast<std::size_t>(tileAtSheet(x, y, layout)) * TileLength;
}

std::span<const std::uint8_t, TileLength> tileOf(std::span<const std::uint8_t, TileTableLength> table,
                                                 std::size_t start)
{
    return std::span<const std::uint8_t, TileLength>(table.data() + start, TileLength);
}

std::string colourText(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

} // namespace

std::vector<std::uint8_t> sheetOfTable(std::span<const std::uint8_t, TileTableLength> table, TileLayout layout)
{
    std::vector<std::uint8_t> sheet(SheetSide * SheetSide);
    for (int y = 0; y < SheetSide; ++y)
        for (int x = 0; x < SheetSide; ++x)
            sheet[static_cast<std::size_t>(y * SheetSide + x)] =
                tilePixel(tileOf(table, sheetTileStart(x, y, layout)), x, y);
    return sheet;
}

std::array<std::uint8_t, TileTableLength> tableOfSheet(std::span<const std::uint8_t> sheet, TileLayout layout)
{
    std::array<std::uint8_t, TileTableLength> table{};
    for (int y = 0; y < SheetSide && static_cast<std::size_t>(y * SheetSide) < sheet.size(); ++y)
        for (int x = 0; x < SheetSide; ++x) {
            const std::uint8_t value = sheet[static_cast<std::size_t>(y * SheetSide + x)] & 3;
            const std::size_t row = sheetTileStart(x, y, layout) + static_cast<std::size_t>(y % 8);
            const auto mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (value & 1)
                table[row] |= mask;
            if (value & 2)
                table[row + 8] |= mask;
        }
    return table;
}

Result<std::vector<std::uint8_t>> sheetOfPicture(const PngPicture& picture, std::span<const std::uint32_t, 4> colours,
                                                 std::span<const std::uint8_t, TileTableLength> table,
                                                 TileLayout layout)
{
    if (picture.width != SheetSide || picture.height != SheetSide)
        return Error{
            localized("タイル画像は 128x128 ピクセルでなければなりません (この画像は ",
                      "A tile picture must be 128x128 pixels (this one is ") +
                std::to_string(picture.width) + "x" + std::to_string(picture.height) + localized(")。", ")."),
        };
    const std::size_t count = SheetSide * SheetSide;
    if (picture.colours.size() != count || (picture.indexed && picture.indices.size() != count))
        return Error{localized("タイル画像の画素が足りません"
                               "。",
                               "The tile picture's pixels are incomplete.")};
    const auto sameColour = [](std::uint32_t a, std::uint32_t b) { return ((a ^ b) & 0xFFFFFF) == 0; };
    // A palette PNG as the export writes it is read by its numbers (two equal colours stay
    // apart), and so is one drawn in other colours (tiles from another stage or sub-palette).
    // One whose every colour is among the four is read by what it shows, however a paint
    // program renumbered its palette, as a picture without a palette always is.
    const bool ownPalette =
        picture.palette.size() >= 4 && std::equal(colours.begin(), colours.end(), picture.palette.begin(), sameColour);
    const auto shown = [&](std::uint32_t colour) {
        return std::any_of(colours.begin(), colours.end(), [&](std::uint32_t c) { return sameColour(c, colour); });
    };
    const bool byNumber =
        picture.indexed && (ownPalette || !std::all_of(picture.colours.begin(), picture.colours.end(), shown));
    const std::vector<std::uint8_t> now = sheetOfTable(table, layout);
    std::vector<std::uint8_t> sheet(count);
    for (std::size_t i = 0; i < count; ++i) {
        int value = -1;
        if (byNumber && picture.indices[i] < 4) {
            value = picture.indices[i];
        } else if (!byNumber) {
            if (sameColour(colours[now[i]], picture.colours[i]))
                value = now[i];
            for (int c = 0; c < 4 && value < 0; ++c)
                if (sameColour(colours[c], picture.colours[i]))
                    value = c;
        }
        if (value < 0) {
            const int x = static_cast<int>(i % SheetSide), y = static_cast<int>(i / SheetSide);
            const std::string what = byNumber
                ? localized("パレット番号 ", "palette index ") + std::to_string(picture.indices[i]) +
                    localized(" (0〜3 のみ使えま"
                              "す)",
                              " (only 0-3 can be used)")
                : localized("色 ", "colour ") + colourText(picture.colours[i]) +
                    localized(" (サブパレットの4色にありませ"
                              "ん)",
                              " (not one of the sub-palette's four colours)");
            return Error{localized("画素 (", "Pixel (") + std::to_string(x) + ", " + std::to_string(y) +
                         localized(") タイル ", "), tile ") +
                         formatHex(static_cast<std::uint32_t>(tileAtSheet(x, y, layout)), 2) + ": " + what +
                         localized("。", ".")};
        }
        sheet[i] = static_cast<std::uint8_t>(value);
    }
    return sheet;
}

std::string hexListText(std::span<const int> tiles)
{
    std::string text;
    for (const int tile : tiles)
        text += (text.empty() ? "" : ", ") + formatHex(static_cast<std::uint32_t>(tile), 2);
    return text;
}

} // namespace vx
