#include "core/model/AddressData.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"

#include <string>

namespace vx {
namespace {

constexpr std::array<TableInfo, TableKeyCount> Tables{{
    {"Chip32x32", 0x0010, 1024, false},
    {"Chip32x32Palette", 0x0410, 256, false},
    {"Map", 0x0510, 2816, false},
    {"Scroll", 0x3410, 32, false},
    {"EnemyObjectRoom", 0x3610, 256, false},
    {"EnemyObjectX", 0x3710, 256, false},
    {"EnemyObjectY", 0x3810, 256, false},
    {"EnemyObjectKind", 0x3910, 256, false},
    {"ItemObjectRoom", 0x3A10, 64, false},
    {"ItemObjectX", 0x3A50, 64, false},
    {"ItemObjectY", 0x3A90, 64, false},
    {"ItemObjectKind", 0x3AD0, 64, false},
    {"MidPointStartY", 0x3B10, 6, false},
    {"MidPointStartRoom", 0x3B16, 6, false},
    {"MidPointEnemyIndex", 0x3B1C, 6, false},
    {"MidPointItemIndex", 0x3B22, 6, false},
    {"MidPointMapBackAddrHigh", 0x3B28, 6, false},
    {"MidPointMapBackAddrLow", 0x3B2E, 6, false},
    {"MidPointMapForwardAddrHigh", 0x3B34, 6, false},
    {"MidPointMapForwardAddrLow", 0x3B3A, 6, false},
    {"MidPointStartScroll", 0x3B40, 6, false},
    {"MidPointLeftRoom", 0x3B46, 6, false},
    {"MidPointRightRoom", 0x3B4C, 6, false},
    {"PatternTableSetting", 0x3C10, 256, true},
    {"PaletteAnimeFrameCount", 0x3E10, 1, true},
    {"PaletteAnimeFrameTimer", 0x3E11, 1, true},
    {"BGPalette", 0x3E12, 16, true},
    {"SpritePalette", 0x3E22, 16, true},
    {"PaletteAnimePalette", 0x3E32, 64, true},
}};

std::string keyName(std::string_view name, int stage) { return std::string(name) + '[' + std::to_string(stage) + ']'; }

} // namespace

const TableInfo& infoOf(TableKey key) { return Tables.at(static_cast<std::size_t>(key)); }

std::int32_t defaultAddress(TableKey key, int stage)
{
    const TableInfo& info = infoOf(key);
    return info.stage0Default + (stage % 8) * 0x4000 + (info.perPage ? (stage / 8) * 0x100 : 0);
}

std::string settingsProblemText(const SettingsProblem& problem)
{
    const std::string file = problem.file.empty() ? std::string("vexalon2editor.ini") : problem.file;
    const std::string line = std::to_string(problem.line);
    if (isJapanese()) {
        const std::string rule = problem.highest < 0
            ? std::string("接頭辞のない 16 進数字だけが読めます")
            : "0 から " + std::to_string(problem.highest) + " までの 10 進数だけが使えます";
        return file + " の " + line +
            " 行"
            "目: " +
            problem.key +
            " の"
            "値 \"" +
            problem.text + "\" は使えません (" + rule + ")。既定値 " + problem.defaultValue +
            " を使い、この行は書かれたまま残します。";
    }
    const std::string rule = problem.highest < 0
        ? std::string("only hexadecimal digits without a prefix are read")
        : "only decimal numbers from 0 to " + std::to_string(problem.highest) + " are taken";
    return file + ", line " + line + ": the value \"" + problem.text + "\" of " + problem.key + " cannot be used (" +
        rule + "); the default " + problem.defaultValue + " is in force and the line is kept as written.";
}

std::string settingsProblemsText(const std::vector<SettingsProblem>& problems, std::size_t shown)
{
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < shown; ++i)
        text += (i ? "\n" : "") + settingsProblemText(problems[i]);
    if (problems.size() > shown) {
        const std::string more = std::to_string(problems.size() - shown);
        text += isJapanese()
            ? "\nほかに " + more + " 個の値も読めません。"
            : "\n" + more + (problems.size() - shown == 1 ? " more value" : " more values") + " cannot be used either.";
    }
    return text;
}

AddressData::AddressData(SettingsFile& settings) : settingsFileName_(settings.fileName())
{
    // A key the file lacks is added; one it holds keeps its line, read or not.
    auto problem = [&](std::string_view section, const std::string& name, std::string defaultText, int highest) {
        problems_.push_back({settings.fileName(), settings.lineOf(section, name), name,
                             settings.readString(section, name, ""), std::move(defaultText), highest});
    };
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::string name = keyName(infoOf(key).name, stage);
            const std::int32_t defaultValue = defaultAddress(key, stage);
            std::int32_t value = defaultValue;
            if (!settings.valueExists(AddressSection, name))
                settings.writeHex(AddressSection, name, value);
            else if (const auto read = parseHex(settings.readString(AddressSection, name, "")))
                value = static_cast<std::int32_t>(*read);
            else
                problem(AddressSection, name, formatHex(static_cast<std::uint32_t>(defaultValue)), -1);
            addresses_[k][stage] = value;
        }
    }
    auto resolve = [&](std::string_view key, int stage, int defaultValue, int highest) {
        const std::string name = keyName(key, stage);
        if (!settings.valueExists(DefaultSection, name)) {
            settings.writeInteger(DefaultSection, name, defaultValue);
            return defaultValue;
        }
        const auto value = parseDecimal(settings.readString(DefaultSection, name, ""));
        if (value && *value >= 0 && *value <= highest)
            return static_cast<int>(*value);
        problem(DefaultSection, name, std::to_string(defaultValue), highest);
        return defaultValue;
    };
    for (int stage = 0; stage < StageCount; ++stage) {
        chipEditPage_[stage] = resolve("Default32x32ChipEditPage", stage, stage / 8, 1);
        startPoint_[stage] = resolve("DefaultStartPoint", stage, (stage / 8) * 3, 5);
    }
}

std::int32_t AddressData::address(TableKey key, int stage) const
{
    return addresses_.at(static_cast<std::size_t>(key)).at(static_cast<std::size_t>(stage));
}

} // namespace vx
