#include "core/model/ChipSearch.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"

#include <algorithm>
#include <set>

namespace vx {
namespace {

std::string hex2(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

} // namespace

std::vector<ChipUse> chipUses(const RomImage& rom, int chip, int stage)
{
    std::vector<ChipUse> uses;
    for (int n = stage < 0 ? 0 : stage; n < (stage < 0 ? StageCount : stage + 1); ++n) {
        // A shared map is the first sharer's; asked for one stage, it is that stage's.
        if (stage < 0 && shareSource(rom.addresses(), SharedGroup::Map, n) >= 0)
            continue;
        const std::vector<int> sharers = stagesSharing(rom.addresses(), SharedGroup::Map, n);
        const std::vector<std::uint8_t>& map = rom.stage(n).map();
        for (int room = 0; room < RoomCount; ++room)
            for (int cell = 0; cell < RoomSize; ++cell)
                if (const std::size_t at = static_cast<std::size_t>(room * RoomSize + cell);
                    at < map.size() && map[at] == chip)
                    uses.push_back({n, room, cell / 8, cell % 8, sharers});
    }
    return uses;
}

UseCount countUses(const std::vector<ChipUse>& uses)
{
    std::set<std::pair<int, int>> rooms;
    std::set<int> maps;
    for (const ChipUse& use : uses) {
        rooms.emplace(use.stage, use.room);
        maps.insert(use.stage);
    }
    return {static_cast<int>(uses.size()), static_cast<int>(rooms.size()), static_cast<int>(maps.size())};
}

Result<UseCount> replaceChip(RomImage& rom, int from, int to, int stage)
{
    if (from == to)
        return Error{localized("チッ"
                               "プ " +
                                   hex2(from) +
                                   " をそれ自身に置き換えることはできません。何"
                                   "も変えていません。",
                               "Chip " + hex2(from) + " cannot be replaced by itself. Nothing was changed.")};
    const std::vector<ChipUse> uses = chipUses(rom, from, stage);
    if (uses.empty())
        return Error{localized("チッ"
                               "プ " +
                                   hex2(from) +
                                   " はどの部屋にも使われていません。何も変えて"
                                   "いません。",
                               "No room uses chip " + hex2(from) + ". Nothing was changed.")};
    std::vector<int> stepped;
    for (auto first = uses.begin(); first != uses.end();) {
        const auto last =
            std::find_if(first, uses.end(), [&](const ChipUse& use) { return use.stage != first->stage; });
        const std::vector<int>& sharers = first->stages;
        const bool current = std::find(sharers.begin(), sharers.end(), rom.currentStageIndex()) != sharers.end();
        StageData& editor = rom.stage(current ? rom.currentStageIndex() : first->stage);
        {
            const EditGroup group(editor, ukMap);
            for (auto use = first; use != last; ++use)
                editor.setMapChip(use->room * RoomSize + use->column * 8 + use->row, static_cast<std::uint8_t>(to));
        }
        stepped.push_back(editor.stageIndex());
        first = last;
    }
    rom.joinLastSteps(stepped);
    return countUses(uses);
}

} // namespace vx
