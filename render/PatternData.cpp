#include "render/PatternData.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/TileEdits.h"

namespace vx {

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
                      const std::function<void(const std::string&)>& warn, const TileEdits* edits)
{
    const PatternSources sources = patternSourcesOf(setting, static_cast<std::int64_t>(image.size()));
    workingPatternData(sources, image, edits ? *edits : TileEdits{}, out);
    if (sources.overflow && warn)
        warn(patternOverflowText(settingAddress));
}

} // namespace vx
