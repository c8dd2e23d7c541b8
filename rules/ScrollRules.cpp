#include "rules/ScrollRules.h"

#include "core/HexText.h"
#include "core/Language.h"

namespace vx {

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

} // namespace vx
