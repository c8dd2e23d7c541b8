#include "rules/MapStamp.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/Rooms.h"
#include "rules/MapGridRules.h"

#include <algorithm>

namespace vx {
namespace {

// A view cell as a column of the two views side by side (0..15) and a row; the right
// view's columns follow the left's only when it shows the next room.
std::pair<int, int> sideBySide(ViewCell at, bool adjacent)
{
    return {at.cell / 8 + (adjacent && at.view == 1 ? 8 : 0), at.cell % 8};
}

} // namespace

namespace {

// Both corners as columns of the two views side by side (the second stopped at the edge
// of the first's view when the views do not show neighbouring rooms).
struct Corners {
    bool adjacent;
    std::pair<int, int> from, to;
};
Corners cornersOf(ViewRooms rooms, ViewCell from, ViewCell to)
{
    const bool adjacent = rooms.right == rooms.left + 1;
    if (!adjacent && to.view != from.view)
        to = {from.view, (to.view > from.view ? 7 : 0) * 8 + to.cell % 8};
    return {adjacent, sideBySide(from, adjacent), sideBySide(to, adjacent)};
}

} // namespace

ViewCell stampCorner(ViewRooms rooms, ViewCell from, ViewCell to)
{
    const Corners corners = cornersOf(rooms, from, to);
    const int left = std::min(corners.from.first, corners.to.first);
    const int top = std::min(corners.from.second, corners.to.second);
    if (!corners.adjacent)
        return {from.view, left * 8 + top};
    return {left >= 8 ? 1 : 0, (left % 8) * 8 + top};
}

MapStamp captureStamp(std::span<const std::uint8_t> map, ViewRooms rooms, ViewCell from, ViewCell to)
{
    const Corners corners = cornersOf(rooms, from, to);
    MapStamp stamp;
    stamp.width = std::abs(corners.to.first - corners.from.first) + 1;
    stamp.height = std::abs(corners.to.second - corners.from.second) + 1;
    stamp.chips.assign(static_cast<std::size_t>(stamp.width * stamp.height), 0);
    // The rectangle lies inside the views, so its cells are where a stamp of its size lands
    // on its corner, row by row as the stamp keeps them.
    const auto cells = stampWrites(stamp, rooms, stampCorner(rooms, from, to));
    for (std::size_t i = 0; i < cells.size() && i < stamp.chips.size(); ++i)
        if (const auto at = static_cast<std::size_t>(cells[i].first); at < map.size())
            stamp.chips[i] = map[at];
    return stamp;
}

std::vector<std::pair<int, std::uint8_t>> stampWrites(const MapStamp& stamp, ViewRooms rooms, ViewCell at)
{
    const int room = at.view == 0 ? rooms.left : rooms.right;
    // The cells past the room go on where the right view shows the room after it.
    const bool continues = at.view == 0 && rooms.right == rooms.left + 1;
    std::vector<std::pair<int, std::uint8_t>> writes;
    for (int row = 0; row < stamp.height; ++row)
        for (int column = 0; column < stamp.width; ++column) {
            const int c = at.cell / 8 + column, r = at.cell % 8 + row;
            if (r >= 8 || c >= (continues ? 16 : 8) || room + c / 8 >= RoomCount)
                continue;
            writes.emplace_back((room + c / 8) * RoomSize + (c % 8) * 8 + r, stamp.at(column, row));
        }
    return writes;
}

std::string stampText(const MapStamp& stamp)
{
    std::string text;
    for (int row = 0; row < stamp.height; ++row)
        for (int column = 0; column < stamp.width; ++column)
            text += formatHex(stamp.at(column, row), 2) + (column + 1 < stamp.width ? " " : "\r\n");
    return text;
}

Result<MapStamp> stampOfText(std::string_view text)
{
    if (text.size() > MaxPasteCharacters) // UTF-8 is never shorter than its UTF-16 count here
        return Error{localized("スタンプのテキストが長すぎます (256 文字まで)。",
                               "The stamp text is too long (256 characters at most).")};
    MapStamp stamp;
    stamp.chips.clear();
    stamp.height = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        std::vector<std::uint8_t> row;
        for (std::size_t p = 0; p < line.size();) {
            const std::size_t start = line.find_first_not_of(" \t", p);
            if (start == std::string_view::npos)
                break;
            const std::size_t stop = std::min(line.find_first_of(" \t", start), line.size());
            const std::string_view token = line.substr(start, stop - start);
            const auto value = token.size() <= 2 ? parseHex(token) : std::nullopt;
            if (!value)
                return Error{localized("\"" + std::string(token) +
                                           "\" は 16 進の 1 バイトではありませ"
                                           "ん。",
                                       "\"" + std::string(token) + "\" is not a hex byte.")};
            row.push_back(static_cast<std::uint8_t>(*value));
            p = stop;
        }
        if (row.empty())
            continue; // blank lines, and the LF of a CR LF
        if (stamp.height > 0 && static_cast<int>(row.size()) != stamp.width)
            return Error{localized("行によってチップの数が違います"
                                   "。",
                                   "The rows hold different numbers of chips.")};
        stamp.width = static_cast<int>(row.size());
        ++stamp.height;
        stamp.chips.insert(stamp.chips.end(), row.begin(), row.end());
        if (stamp.width > MapStamp::MaxWidth || stamp.height > MapStamp::MaxHeight)
            return Error{localized("スタンプは 16 列 8 行 (2 部屋分) までです。",
                                   "A stamp is at most 16 columns by 8 rows (two rooms).")};
    }
    if (stamp.height == 0)
        return Error{localized("テキストにチップがありません。", "The text holds no chips.")};
    return stamp;
}

} // namespace vx
