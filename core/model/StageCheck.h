#pragma once
#include <array>
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
    Stage,           // the stage as a whole (shared tables): no single item
    RestartPoint,    // index: the point 0..5 (restart-point page)
    ScrollEntry,     // index: the entry 00..1F (scroll page)
    MapRoom,         // index: the room 00..2B (map page)
    ObjectRoom,      // index: the room 00..2B (object page)
    EnemyList,       // the enemy list as a whole (object page)
    ItemList,        // the item list as a whole (object page)
    PaletteEntry,    // index: the background entry 0..15 (palette page)
    AnimationEntry,  // index: the animation colour 0..63, row x 16 + column (palette page)
    AnimationFrames, // the frame count (palette page)
    Chip,            // index: the first chip named 00..FF, or -1 for a count (chip page)
};

struct Finding {
    Severity severity;
    int stage;
    FindingPlace place;
    int index;        // see FindingPlace; -1 where the place names no single item
    std::string text; // one sentence in the user's language, without the place
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
// "animation colour 21", "frame count", "chip 3F", "enemy list", "item list", "stage".
std::string placeText(const Finding& finding);
// One line for the tool: "stage 03 warning restart point 2: EnemyIndex 05, recalculation gives 07".
std::string findingLine(const Finding& finding);

} // namespace vx
