#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/IniFile.h"

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

const TableInfo& infoOf(TableKey key);
// The built-in address of a table for a stage.
std::int32_t defaultAddress(TableKey key, int stage);

inline constexpr std::string_view AddressSection = "LevelDataAddress";
inline constexpr std::string_view DefaultSection = "LevelDataDefault";

// A value of the settings file that does not read: its default is in force, and its line
// stays as the user wrote it.
struct SettingsProblem {
    std::string file; // empty for a settings text of no file
    int line = 0;
    std::string key;          // as the program names it: Map[1]
    std::string text;         // the value as found
    std::string defaultValue; // the value in force instead, as the file would write it
    int highest = -1;         // the highest value a decimal key takes; -1 for an address
};

// The sentence that names the file, line, key, text found and default in force.
std::string settingsProblemText(const SettingsProblem& problem);
// One sentence a line, at most `shown` of them, then how many more there are.
std::string settingsProblemsText(const std::vector<SettingsProblem>& problems, std::size_t shown = 10);

// Where each stage's tables lie, resolved once from the settings file (or the defaults).
// Keys the file lacks are added with their defaults, so the file on disk ends up listing
// every value in force; a value the file holds is never written over.
class AddressData {
public:
    explicit AddressData(SettingsFile& settings);

    std::int32_t address(TableKey key, int stage) const;
    int default32x32ChipEditPage(int stage) const { return chipEditPage_.at(stage); }
    int defaultStartPoint(int stage) const { return startPoint_.at(stage); }
    // The settings file the values came from; empty when every default is in force.
    const std::string& settingsFileName() const { return settingsFileName_; }
    // The values that did not read, in file order of the keys' resolution.
    const std::vector<SettingsProblem>& problems() const { return problems_; }

private:
    std::string settingsFileName_;
    std::vector<SettingsProblem> problems_;
    std::array<std::array<std::int32_t, StageCount>, TableKeyCount> addresses_{};
    std::array<int, StageCount> chipEditPage_{};
    std::array<int, StageCount> startPoint_{};
};

} // namespace vx
