#include "rules/ScrollRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ScrollEntry.h"

namespace vx {

std::string scrollDescription(std::uint8_t entry)
{
    const ScrollEntry step = ScrollEntry::decode(entry);
    if (step.unknown)
        return "????";
    static const char* const japanese[8] = {"終"
                                            "点",
                                            "右",
                                            "下",
                                            "右・下",
                                            "上",
                                            "右・上",
                                            "下・上",
                                            "右・下・上"};
    static const char* const english[8] = {"End", "Right",    "Down",    "Right&Down",
                                           "Up",  "Right&Up", "Up&Down", "Right&Up&Down"};
    const bool inJapanese = isJapanese();
    std::string text;
    if (step.count > 0)
        text = std::to_string(step.count) + (inJapanese ? " 画面進んで " : " Screens Forward ");
    return text + (inJapanese ? japanese : english)[step.turns()];
}

std::string scrollLineText(int index, std::uint8_t entry, bool startEntry)
{
    std::string line = formatHex(static_cast<std::uint32_t>(index & 0xFF), 2) + " : " + formatHex(entry, 2) + "(" +
        scrollDescription(entry) + ")";
    if (startEntry)
        line += localized("[スタート地点]", "[Start]");
    return line;
}

std::uint8_t scrollEntryOf(int count, bool right, bool down, bool up)
{
    return ScrollEntry{count, false, right, down, up}.encode();
}

} // namespace vx
