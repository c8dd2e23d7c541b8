#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/MyIniFiles.h"

namespace vx {

constexpr int StageCount = 14;

// The ROM tables of a stage, named by their settings keys, in the settings file's order.
enum class TableKey : int {
    Chip32x32,
    Chip32x32Palette,
    Map,
    Scroll,
    EnemyObjectRoom,
    EnemyObjectX,
    EnemyObjectY,
    EnemyObjectKind,
    ItemObjectRoom,
    ItemObjectX,
    ItemObjectY,
    ItemObjectKind,
    MidPointStartY,
    MidPointStartRoom,
    MidPointEnemyIndex,
    MidPointItemIndex,
    MidPointMapBackAddrHigh,
    MidPointMapBackAddrLow,
    MidPointMapForwardAddrHigh,
    MidPointMapForwardAddrLow,
    MidPointStartScroll,
    MidPointLeftRoom,
    MidPointRightRoom,
    PatternTableSetting,
    PaletteAnimeFrameCount,
    PaletteAnimeFrameTimer,
    BGPalette,
    SpritePalette,
    PaletteAnimePalette,
};
constexpr int TableKeyCount = 29;

struct TableInfo {
    std::string_view name;
    std::int32_t stage0Default; // counts the 16-byte header
    std::int32_t length;        // bytes the stage model reads at the address
    bool perPage;               // stages 8..13 sit one 0x100 block further on
};

const TableInfo& InfoOf(TableKey key);
// The built-in address of a table for a stage.
std::int32_t DefaultAddress(TableKey key, int stage);

inline constexpr std::string_view AddressSection = "LevelDataAddress";
inline constexpr std::string_view DefaultSection = "LevelDataDefault";

// Where each stage's tables lie, resolved once from the settings file (or the defaults)
// and written back into it, so the file on disk ends up listing every value in force.
class TAddressData {
public:
    explicit TAddressData(TMyMemIniFile& settings);

    std::int32_t Address(TableKey key, int stage) const;
    int Default32x32ChipEditPage(int stage) const { return chipEditPage_.at(stage); }
    int DefaultStartPoint(int stage) const { return startPoint_.at(stage); }
    // The settings file the values came from; empty when every default is in force.
    const std::string& SettingsFileName() const { return settingsFileName_; }

private:
    std::string settingsFileName_;
    std::array<std::array<std::int32_t, StageCount>, TableKeyCount> addresses_{};
    std::array<int, StageCount> chipEditPage_{};
    std::array<int, StageCount> startPoint_{};
};

} // namespace vx
