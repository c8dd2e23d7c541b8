#include "rules/MapGridRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"

#include <algorithm>
#include <cctype>

namespace vx {
namespace {

std::string hex2(std::uint32_t value) { return formatHex(value, 2); }

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Characters as the clipboard counts them: UTF-16 units, two for a character beyond U+FFFF.
std::size_t clipboardLength(std::string_view utf8)
{
    std::size_t length = 0;
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            length += (byte & 0xF8) == 0xF0 ? 2 : 1;
    }
    return length;
}

} // namespace

GridCells cellsOfRoom(std::span<const std::uint8_t> room)
{
    GridCells cells;
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = hex2(i < room.size() ? room[i] : 0);
    return cells;
}

std::array<std::uint8_t, GridSize * GridSize> roomOfCells(const GridCells& cells)
{
    std::array<std::uint8_t, GridSize * GridSize> room{};
    for (std::size_t i = 0; i < cells.size(); ++i)
        room[i] = static_cast<std::uint8_t>(parseHex(cells[i]).value_or(0) & 0xFF);
    return room;
}

bool typeIntoCell(std::string& cell, char typed)
{
    if (!isHexDigit(typed))
        return false;
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    if (cell.size() < 2)
        cell += upper;
    else
        cell.assign(1, upper);
    return true;
}

void normalizeCells(GridCells& cells)
{
    for (std::string& cell : cells)
        cell = formatHex(parseHex(cell).value_or(0), 2);
}

std::optional<GridRange> clampRange(GridRange range)
{
    if (range.left > range.right || range.bottom < range.top || range.right < 0 || range.bottom < 0 ||
        range.left >= GridSize || range.top >= GridSize)
        return std::nullopt;
    return GridRange{std::max(range.left, 0), std::max(range.top, 0), std::min(range.right, GridSize - 1),
                     std::min(range.bottom, GridSize - 1)};
}

std::string copyText(const GridCells& cells, GridRange range)
{
    const auto clamped = clampRange(range);
    if (!clamped)
        return {};
    std::string text;
    for (int row = clamped->top; row <= clamped->bottom; ++row) {
        for (int column = clamped->left; column < clamped->right; ++column)
            text += cells[static_cast<std::size_t>(gridIndex(column, row))] + " ";
        text += cells[static_cast<std::size_t>(gridIndex(clamped->right, row))] + "\r\n";
    }
    return text;
}

bool pasteText(GridCells& cells, std::string_view utf8Text, int left, int top)
{
    if (clipboardLength(utf8Text) > MaxPasteCharacters)
        return false;
    left = std::max(left, 0);
    top = std::max(top, 0);
    bool changed = false;
    int dc = 0, dr = 0;
    std::string token;
    const auto place = [&] {
        const int column = left + dc, row = top + dr;
        if (column >= GridSize || row >= GridSize)
            return;
        const auto value = parseHex(token);
        if (!value || *value > 0xFF)
            return;
        cells[static_cast<std::size_t>(gridIndex(column, row))] = hex2(*value);
        changed = true;
    };
    char previous = '\0';
    for (char c : utf8Text) {
        const bool crLf = c == '\n' && previous == '\r';
        previous = c;
        if (crLf)
            continue; // its CR ended the row
        if (c == '\r' || c == '\n') {
            place();
            dc = 0;
            ++dr;
            token.clear();
        } else if (c == ' ') {
            place();
            ++dc;
            token.clear();
        } else {
            token += c;
        }
        // Offsets past the grid place nothing; stop them from growing without bound.
        dc = std::min(dc, GridSize);
        dr = std::min(dr, GridSize);
    }
    if (!token.empty())
        place();
    return changed;
}

std::optional<std::uint8_t> parseFillValue(std::string_view text)
{
    const auto value = parseHex(text);
    if (!value || *value > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

bool fillCells(GridCells& cells, GridRange range, std::uint8_t value)
{
    const auto clamped = clampRange(range);
    if (!clamped)
        return false;
    for (int column = clamped->left; column <= clamped->right; ++column)
        for (int row = clamped->top; row <= clamped->bottom; ++row)
            cells[static_cast<std::size_t>(gridIndex(column, row))] = hex2(value);
    return true;
}

std::string gridCaption(int room)
{
    const std::string number = hex2(static_cast<std::uint32_t>(room & 0xFF));
    return isJapanese() ? "マップ(部屋番号" + number + ")の編集" : "Edit Screen " + number;
}

std::string fillCaption() { return localized("選択範囲の初期化", "Initialize"); }

std::string fillPrompt()
{
    return localized("初期化に使用する値を入力して下さ"
                     "い(00～FF)",
                     "Input a Value for Initialization(00-FF)");
}

} // namespace vx
