#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/Rooms.h"

namespace vx {

class RomImage;
class StageData;

enum class Severity {
    Error,
    Warning,
    Note
};

// Where a finding points, which is also the page that shows it.
enum class FindingPlace {
    Stage,              // the stage as a whole (shared tables): no single item
    RestartPoint,       // index: the point 0..5 (restart-point page)
    ScrollEntry,        // index: the entry 00..1F (scroll page)
    MapRoom,            // index: the room 00..2B (map page)
    ObjectRoom,         // index: the room 00..2B (object page)
    EnemyList,          // the enemy list as a whole (object page)
    ItemList,           // the item list as a whole (object page)
    PaletteEntry,       // index: the background entry 0..15 (palette page)
    AnimationEntry,     // index: the animation colour 0..63, row x 16 + column (palette page)
    AnimationFrames,    // the frame count (palette page)
    Chip,               // index: the first chip named 00..FF, or -1 for a count (chip page)
    SpritePaletteEntry, // index: the sprite entry 0..15 (kept in the palette block, no page edits it)
};

// One value of a restart point against what the editor derives for it.
struct FieldDifference {
    std::string field;          // the stage text's name: "EnemyIndex", "MapBackAddr", "LeftRoom", ...
    std::uint32_t stored;       // as the image holds it
    std::uint32_t recalculated; // as "値を自動計算" (or, for LeftRoom and RightRoom, the scroll path) gives it
    int digits;                 // hex digits the pages show it with
};

// How many places a grouped finding lists in its text and in `indexes`.
constexpr int ListedPlaces = 8;

struct Finding {
    Severity severity;
    int stage;
    FindingPlace place;
    int index;        // see FindingPlace; -1 where the place names no single item; a group's first
    std::string text; // one sentence in the user's language, without the place
    // Repeats of one kind in one table make one finding: how many places it stands for, and
    // the first ListedPlaces of them, ascending. A single finding has 1 and none listed.
    int count = 1;
    std::vector<int> indexes{};
    // A restart point's values that differ, each with both values.
    std::vector<FieldDifference> fields{};
};

// What is wrong or worth knowing about one stage, in a fixed order: errors, then warnings,
// then notes, each group in the order of its checks.
std::vector<Finding> checkStage(const RomImage& rom, int stage);
// All 14 stages, stage by stage.
std::vector<Finding> checkAllStages(const RomImage& rom);

// The rooms some restart point's walk along the scroll path passes (a start room of 2C or
// more walks nowhere).
std::array<bool, RoomCount> coveredRooms(const StageData& stage);

// "error", "warning", "note" in the user's language.
std::string severityWord(Severity severity);
// Where, in words: "restart point 2", "scroll entry 05", "room 1A", "palette entry 03",
// "sprite palette entry 03", "animation colour 21", "frame count", "chip 3F", "enemy list",
// "item list", "stage"; for a grouped finding the table: "animation colours", "rooms", ...
std::string placeText(const Finding& finding);
// One line for the tool: "stage 03 warning restart point 2: EnemyIndex 05, recalculation gives 07".
std::string findingLine(const Finding& finding);

} // namespace vx
