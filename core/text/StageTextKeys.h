#pragma once
// The keys of the stage text and their fixed order, shared by its writer and its reader.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/model/StageData.h"

namespace vx::stage_text {

// Positions in RootKeys.
enum RootKey : std::size_t {
    RootFormat,
    RootVersion,
    RootStage,
    RootShared,
    RootPalettes,
    RootAnimation,
    RootPatternTableSetting,
    RootScroll,
    RootRestartPoints,
    RootEnemies,
    RootItems,
    RootRooms,
    RootChips,
    RootKeyCount
};
inline constexpr std::array<std::string_view, RootKeyCount> RootKeys{
    "format", "version",       "stage",   "shared", "palettes", "animation", "patternTableSetting",
    "scroll", "restartPoints", "enemies", "items",  "rooms",    "chips"};
inline constexpr std::array<std::string_view, 2> PaletteKeys{"background", "sprite"};
inline constexpr std::array<std::string_view, 3> AnimationKeys{"frameCount", "frameTimer", "colours"};
inline constexpr std::array<std::string_view, 4> ObjectKeys{"room", "x", "y", "kind"};
inline constexpr std::array<std::string_view, 3> ChipKeys{"quarters", "palettes", "attributes"};
// A room from version 2 on: its number and its 8 rows.
inline constexpr std::array<std::string_view, 2> RoomKeys{"room", "rows"};

// The restart point's nine values as the page and RestartPoint name them; the two addresses
// are words of two image bytes each (high, low).
struct PointField {
    std::string_view key;
    int byte; // first of its RestartPointBytes
    bool word;
};
inline constexpr std::array<PointField, 9> PointFields{{
    {"StartY", 0, false},
    {"StartRoom", 1, false},
    {"EnemyIndex", 2, false},
    {"ItemIndex", 3, false},
    {"MapBackAddr", 4, true},
    {"MapForwardAddr", 6, true},
    {"StartScroll", 8, false},
    {"LeftRoom", 9, false},
    {"RightRoom", 10, false},
}};

// The key of each SharedGroup, in its order, in "shared".
inline constexpr std::array<std::string_view, SharedGroups.size()> GroupKeys{"chips",   "map",   "scroll",
                                                                             "enemies", "items", "restartPoints"};
// The key of the table each group holds.
inline constexpr std::array<std::string_view, SharedGroups.size()> GroupTableKeys{"chips",   "rooms", "scroll",
                                                                                  "enemies", "items", "restartPoints"};
inline constexpr std::array<RootKey, SharedGroups.size()> GroupRootKeys{RootChips,   RootRooms, RootScroll,
                                                                        RootEnemies, RootItems, RootRestartPoints};
// A table left to another stage's file stands as {"in": "stage-03.json"}.
inline constexpr std::string_view HeldInKey = "in";

// Line shapes: lines x bytes.
inline constexpr int PaletteLines = 4, PaletteLineBytes = 4;
inline constexpr int AnimationLines = 4, AnimationLineBytes = 16;
inline constexpr int PatternLines = 16, PatternLineBytes = 16;
inline constexpr int QuarterCount = 4;
inline constexpr std::uint8_t MaxQuarterChip = 0x3F, MaxChipPalette = 3, MaxChipAttribute = 3;

} // namespace vx::stage_text
