#include "rules/ScrollRules.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "core/ScrollEntry.h"

namespace vx {

std::string ScrollDescription(std::uint8_t entry)
{
    const TScrollEntry step = TScrollEntry::Decode(entry);
    if (step.unknown)
        return "????";
    static const char* const japanese[8] = {"終点", "右", "下", "右・下", "上", "右・上", "下・上", "右・下・上"};
    static const char* const english[8] = {"End", "Right", "Down", "Right&Down", "Up", "Right&Up", "Up&Down",
                                          "Right&Up&Down"};
    const bool inJapanese = IsJapanese();
    std::string text;
    if (step.count > 0)
        text = std::to_string(step.count) + (inJapanese ? " 画面進んで " : " Screens Forward ");
    return text + (inJapanese ? japanese : english)[step.Turns()];
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
    return TScrollEntry{count, false, right, down, up}.Encode();
}

} // namespace vx
