#include "render/PatternData.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ImageAccess.h"

namespace vx {

std::int64_t patternSourceOffset(std::uint8_t high, std::uint8_t bank)
{
    return 0x10 + static_cast<std::int64_t>(bank) * 0x4000 + static_cast<std::int64_t>(high) * 0x100 - 0x8000;
}

std::string patternOverflowText(std::int32_t settingAddress)
{
    const std::string address = formatHex(static_cast<std::uint32_t>(settingAddress));
    if (isJapanese())
        return "パターンテーブルの範囲を超えて書き込みを行おうとしました。\r\n"
               "データが不正である可能性があります。\r\nアドレス" +
            address + "からのデータを確認して下さい。";
    return "Trying to Write over Pattern Table.\r\nWriting Data is maybe Invalid.\r\nConfirm Data in Address " +
        address;
}

void buildPatternData(std::span<const std::uint8_t, 256> setting, const std::vector<std::uint8_t>& image,
                      std::int32_t settingAddress, std::array<std::uint8_t, 8192>& out,
                      const std::function<void(const std::string&)>& warn)
{
    out.fill(0);
    std::size_t position = 0;
    const int count = setting[0];
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(i);
        if (at + 3 > setting.size())
            break; // the list holds at most 85 entries
        std::size_t pages = setting[at + 1];
        const bool overflow = position + pages * 256 > out.size();
        if (overflow)
            pages = (out.size() - position) / 256;
        const std::size_t length = pages * 256;
        readFromImage(image, patternSourceOffset(setting[at], setting[at + 2]),
                      std::span<std::uint8_t>(out.data() + position, length));
        position += length;
        if (overflow) {
            if (warn)
                warn(patternOverflowText(settingAddress));
            break;
        }
    }
}

} // namespace vx
