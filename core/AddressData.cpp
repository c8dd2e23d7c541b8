#include "core/AddressData.h"

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

std::string KeyName(std::string_view name, int stage)
{
    return std::string(name) + '[' + std::to_string(stage) + ']';
}

} // namespace

const TableInfo& InfoOf(TableKey key) { return Tables.at(static_cast<std::size_t>(key)); }

std::int32_t DefaultAddress(TableKey key, int stage)
{
    const TableInfo& info = InfoOf(key);
    return info.stage0Default + (stage % 8) * 0x4000 + (info.perPage ? (stage / 8) * 0x100 : 0);
}

TAddressData::TAddressData(TMyMemIniFile& settings) : settingsFileName_(settings.FileName())
{
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::string name = KeyName(InfoOf(key).name, stage);
            const std::int32_t value =
                settings.ReadHex(AddressSection, name, DefaultAddress(key, stage));
            addresses_[k][stage] = value;
            settings.WriteHex(AddressSection, name, value);
        }
    }
    auto resolve = [&](std::string_view key, int stage, int defaultValue, int highest) {
        const std::string name = KeyName(key, stage);
        int value = settings.ReadInteger(DefaultSection, name, defaultValue);
        if (value < 0 || value > highest)
            value = defaultValue;
        settings.WriteInteger(DefaultSection, name, value);
        return value;
    };
    for (int stage = 0; stage < StageCount; ++stage) {
        chipEditPage_[stage] = resolve("Default32x32ChipEditPage", stage, stage / 8, 1);
        startPoint_[stage] = resolve("DefaultStartPoint", stage, (stage / 8) * 3, 5);
    }
}

std::int32_t TAddressData::Address(TableKey key, int stage) const
{
    return addresses_.at(static_cast<std::size_t>(key)).at(static_cast<std::size_t>(stage));
}

} // namespace vx
