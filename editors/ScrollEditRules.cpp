#include "editors/ScrollEditRules.h"

#include "core/HexText.h"
#include "core/Language.h"

namespace vx {

TScrollPath WalkScrollPath(std::span<const std::uint8_t> scroll, int startRoom, int startEntry)
{
    TScrollPath path;
    path.segmentLeftRoom.fill(startRoom);
    int room = startRoom, entry = startEntry;
    while (entry >= 0 && entry < ScrollEntryCount && room >= 0 && room < PathRoomCount) {
        path.segmentLeftRoom[static_cast<std::size_t>(entry)] = room;
        const std::uint8_t b = static_cast<std::size_t>(entry) < scroll.size() ? scroll[static_cast<std::size_t>(entry)] : 0;
        for (int n = b & 0x0F; n > 0 && room < PathRoomCount; --n)
            path.roomFlags[static_cast<std::size_t>(room++)] = rmForward;
        if (room >= PathRoomCount)
            break;
        // The last room of the entry: its direction bits, with bit 4 as the forward mark.
        path.roomFlags[static_cast<std::size_t>(room++)] = static_cast<std::uint8_t>(b >> 4);
        ++entry;
    }
    return path;
}

std::string ScrollDescription(std::uint8_t entry)
{
    const int upper = entry >> 4, count = entry & 0x0F;
    if (upper & 1)
        return "????";
    static const char* const japanese[8] = {"終点", "右", "下", "右・下", "上", "右・上", "下・上", "右・下・上"};
    static const char* const english[8] = {"End", "Right", "Down", "Right&Down", "Up", "Right&Up", "Up&Down",
                                          "Right&Up&Down"};
    const bool inJapanese = IsJapanese();
    std::string text;
    if (count > 0)
        text = std::to_string(count) + (inJapanese ? " 画面進んで " : " Screens Forward ");
    return text + (inJapanese ? japanese : english)[upper >> 1];
}

std::string ScrollLineText(int index, std::uint8_t entry, bool startEntry)
{
    std::string line = FormatHex(static_cast<std::uint32_t>(index & 0xFF), 2) + " : " + FormatHex(entry, 2) + "(" +
                       ScrollDescription(entry) + ")";
    if (startEntry)
        line += Tr("[スタート地点]", "[Start]");
    return line;
}

std::uint8_t ScrollEntryOf(int count, bool right, bool down, bool up)
{
    return static_cast<std::uint8_t>((count & 0x0F) | (right ? 0x20 : 0) | (down ? 0x40 : 0) | (up ? 0x80 : 0));
}

std::array<TMarkText, 4> MarkTexts()
{
    return {{{rmForward, 128, 128, ">>"},
             {rmRight, 208, 128, Tr("→", "->")},
             {rmDown, 128, 208, Tr("↓", "v")},
             {rmUp, 128, 16, Tr("↑", "^")}}};
}

} // namespace vx
