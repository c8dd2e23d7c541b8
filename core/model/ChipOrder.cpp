#include "core/model/ChipOrder.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"
#include "core/model/TileSheet.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace vx {
namespace {

std::string hex2(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

std::string nothingChanged() { return localized("何も変えていません。", "Nothing was changed."); }

int tableOf(const RomImage& rom, SharedGroup group, int stage) { return firstSharer(rom.addresses(), group, stage); }

int ownerOf(const RomImage& rom, SharedGroup group, int table)
{
    return stepOwner(rom.addresses(), group, table, rom.currentStageIndex());
}

// The distinct tables of a group among the stages, by their first stage.
std::vector<int> tablesOf(const RomImage& rom, SharedGroup group, const std::vector<int>& stages)
{
    std::set<int> tables;
    for (const int n : stages)
        tables.insert(tableOf(rom, group, n));
    return {tables.begin(), tables.end()};
}

// What each map cell value becomes, and the two chips whose table bytes change places.
struct Renumbering {
    std::array<std::uint8_t, ChipCount> to{};
    int a = -1, b = -1; // -1: the chip tables stay
    Renumbering()
    {
        for (int c = 0; c < ChipCount; ++c)
            to[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
    }
};

std::array<std::uint8_t, 8> chipBytes(const StageData& stage, int chip)
{
    std::array<std::uint8_t, 8> bytes{};
    for (int q = 0; q < 4; ++q) {
        bytes[static_cast<std::size_t>(q)] = stage.chip32x32()[static_cast<std::size_t>(chip * 4 + q)];
        bytes[static_cast<std::size_t>(q + 4)] = stage.chip32x32Attribute()[static_cast<std::size_t>(chip * 4 + q)];
    }
    return bytes;
}

// The family's changed tables and the count, without changing anything.
struct Plan {
    ChipChange change;
    std::vector<int> chipTables; // first stages of the chip tables whose bytes change
    std::vector<int> maps;       // first stages of the maps whose cells change
};

Plan planOf(const RomImage& rom, int stage, const Renumbering& renumbering)
{
    Plan plan;
    const std::vector<int> family = chipFamily(rom, stage);
    if (renumbering.a >= 0)
        for (const int table : tablesOf(rom, SharedGroup::Chips, family))
            if (chipBytes(rom.stage(table), renumbering.a) != chipBytes(rom.stage(table), renumbering.b))
                plan.chipTables.push_back(table);
    for (const int table : tablesOf(rom, SharedGroup::Map, family)) {
        const std::vector<std::uint8_t>& map = rom.stage(table).map();
        int cells = 0;
        for (int room = 0; room < RoomCount; ++room) {
            const std::span<const std::uint8_t> cellsOf = rom.stage(table).mapRoom(room);
            const auto moved = std::ranges::count_if(cellsOf, [&](std::uint8_t c) { return renumbering.to[c] != c; });
            cells += static_cast<int>(moved);
            plan.change.rooms += moved > 0 ? 1 : 0;
        }
        if (cells > 0 && !map.empty())
            plan.maps.push_back(table);
        plan.change.cells += cells;
    }
    for (const int n : family)
        if (std::ranges::count(plan.chipTables, tableOf(rom, SharedGroup::Chips, n)) > 0 ||
            std::ranges::count(plan.maps, tableOf(rom, SharedGroup::Map, n)) > 0)
            plan.change.stages.push_back(n);
    return plan;
}

ChipChange carryOut(RomImage& rom, const Plan& plan, const Renumbering& renumbering, UndoKind kind)
{
    std::map<int, std::pair<std::vector<int>, std::vector<int>>> steps; // owner: chip tables, maps
    for (const int table : plan.chipTables)
        steps[ownerOf(rom, SharedGroup::Chips, table)].first.push_back(table);
    for (const int table : plan.maps)
        steps[ownerOf(rom, SharedGroup::Map, table)].second.push_back(table);
    std::vector<int> stepped;
    for (const auto& [owner, tables] : steps) {
        StageData& editor = rom.stage(owner);
        const EditGroup group(editor, kind);
        // The owner shares each of its tables, so its edits reach every sharer.
        if (!tables.first.empty()) {
            const auto a = chipBytes(editor, renumbering.a), b = chipBytes(editor, renumbering.b);
            editor.setChip(renumbering.a * 4, b);
            editor.setChip(renumbering.b * 4, a);
        }
        if (!tables.second.empty())
            for (int room = 0; room < RoomCount; ++room) {
                const std::span<const std::uint8_t> now = editor.mapRoom(room);
                if (now.size() != RoomSize)
                    continue;
                std::array<std::uint8_t, RoomSize> cells{};
                std::ranges::transform(now, cells.begin(), [&](std::uint8_t c) { return renumbering.to[c]; });
                editor.setMapRoom(room * RoomSize, cells, ukMap);
            }
        stepped.push_back(owner);
    }
    rom.joinLastSteps(stepped);
    return plan.change;
}

Result<void> checkChips(const RomImage& rom, int stage, int a, int b, bool move)
{
    if (stage < 0 || stage >= StageCount || !rom.isLoaded())
        return Error{localized("ステージ番号が範囲外です。", "The stage number is out of range.")};
    for (const int chip : {a, b})
        if (chip < 0 || chip >= ChipCount)
            return Error{localized("チップ番号は 00 から FF までです。" + nothingChanged(),
                                   "A chip number is 00 to FF. " + nothingChanged())};
    if (a == b)
        return Error{localized("チップ " + hex2(a) +
                                   " をそれ自身と"
                                   "入れ替えることはできません。" +
                                   nothingChanged(),
                               "Chip " + hex2(a) + " cannot change places with itself. " + nothingChanged())};
    if (!move)
        return Done;
    Renumbering probe;
    probe.to[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(a);
    if (const Plan used = planOf(rom, stage, probe); used.change.cells > 0)
        return Error{localized("チップ " + hex2(b) + " は " + std::to_string(used.change.cells) +
                                   " マスに使われています。"
                                   "移動先は使われていない番号だけです。" +
                                   nothingChanged(),
                               "Chip " + hex2(b) + " is used by " + std::to_string(used.change.cells) +
                                   (used.change.cells == 1 ? " cell" : " cells") +
                                   "; a chip moves only onto an unused number. " + nothingChanged())};
    return Done;
}

Renumbering swapOf(int a, int b)
{
    Renumbering renumbering;
    renumbering.to[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(b);
    renumbering.to[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(a);
    renumbering.a = a;
    renumbering.b = b;
    return renumbering;
}

// The merge's renumbering and the chips it frees, or why there is none.
Result<std::pair<Renumbering, std::vector<int>>> mergeOf(const RomImage& rom, int stage,
                                                         std::span<const std::vector<int>> groups)
{
    if (stage < 0 || stage >= StageCount || !rom.isLoaded())
        return Error{localized("ステージ番号が範囲外です。", "The stage number is out of range.")};
    const std::vector<std::vector<int>> mergeable = mergeableChipGroups(rom, stage);
    if (mergeable.empty())
        return Error{
            localized("同じチップはありません。" + nothingChanged(),
                      "No two chips are equal in every chip table the stage's maps draw with. " + nothingChanged())};
    for (const std::vector<int>& group : groups)
        if (std::ranges::find(mergeable, group) == mergeable.end())
            return Error{localized("チップ " + hexListText(group) +
                                       " はすべての"
                                       "チップ表で同じではありません。" +
                                       nothingChanged(),
                                   "Chips " + hexListText(group) +
                                       " are not equal in every chip table that draws them. " + nothingChanged())};
    Renumbering renumbering;
    for (const std::vector<int>& group : groups.empty() ? std::span<const std::vector<int>>(mergeable) : groups)
        for (const int chip : group)
            renumbering.to[static_cast<std::size_t>(chip)] = static_cast<std::uint8_t>(group.front());
    std::vector<int> freed;
    for (int chip = 0; chip < ChipCount; ++chip)
        if (renumbering.to[static_cast<std::size_t>(chip)] != chip) {
            Renumbering one;
            one.to[static_cast<std::size_t>(chip)] = renumbering.to[static_cast<std::size_t>(chip)];
            if (planOf(rom, stage, one).change.cells > 0)
                freed.push_back(chip);
        }
    if (freed.empty())
        return Error{
            localized("統合で変わるマスはありません。" + nothingChanged(),
                      "No cell names a duplicated chip other than its group's lowest number. " + nothingChanged())};
    return std::pair{renumbering, freed};
}

} // namespace

std::vector<int> chipFamily(const RomImage& rom, int stage)
{
    std::array<bool, StageCount> in{};
    std::vector<int> queue{stage};
    in[static_cast<std::size_t>(stage)] = true;
    for (std::size_t i = 0; i < queue.size(); ++i)
        for (const SharedGroup group : {SharedGroup::Chips, SharedGroup::Map})
            for (const int n : stagesSharing(rom.addresses(), group, queue[i]))
                if (!in[static_cast<std::size_t>(n)]) {
                    in[static_cast<std::size_t>(n)] = true;
                    queue.push_back(n);
                }
    std::ranges::sort(queue);
    return queue;
}

Result<ChipChange> previewChipSwap(const RomImage& rom, int stage, int a, int b)
{
    if (Result<void> checked = checkChips(rom, stage, a, b, false); !checked.ok())
        return checked.error();
    return planOf(rom, stage, swapOf(a, b)).change;
}

Result<ChipChange> swapChips(RomImage& rom, int stage, int a, int b)
{
    if (Result<void> checked = checkChips(rom, stage, a, b, false); !checked.ok())
        return checked.error();
    const Renumbering renumbering = swapOf(a, b);
    return carryOut(rom, planOf(rom, stage, renumbering), renumbering, ukChipSwap);
}

Result<ChipChange> previewChipMove(const RomImage& rom, int stage, int from, int to)
{
    if (Result<void> checked = checkChips(rom, stage, from, to, true); !checked.ok())
        return checked.error();
    return planOf(rom, stage, swapOf(from, to)).change;
}

Result<ChipChange> moveChip(RomImage& rom, int stage, int from, int to)
{
    if (Result<void> checked = checkChips(rom, stage, from, to, true); !checked.ok())
        return checked.error();
    const Renumbering renumbering = swapOf(from, to);
    return carryOut(rom, planOf(rom, stage, renumbering), renumbering, ukChipSwap);
}

std::vector<std::vector<int>> mergeableChipGroups(const RomImage& rom, int stage)
{
    const std::vector<int> tables = tablesOf(rom, SharedGroup::Chips, chipFamily(rom, stage));
    std::map<std::vector<std::uint8_t>, std::vector<int>> alike;
    for (int chip = 0; chip < ChipCount; ++chip) {
        std::vector<std::uint8_t> key;
        for (const int table : tables) {
            const auto bytes = chipBytes(rom.stage(table), chip);
            key.insert(key.end(), bytes.begin(), bytes.end());
        }
        alike[key].push_back(chip);
    }
    std::vector<std::vector<int>> groups;
    for (auto& [key, chips] : alike)
        if (chips.size() > 1)
            groups.push_back(std::move(chips));
    std::ranges::sort(groups, {}, [](const std::vector<int>& group) { return group.back(); });
    return groups;
}

Result<ChipChange> previewChipMerge(const RomImage& rom, int stage, std::span<const std::vector<int>> groups)
{
    auto merge = mergeOf(rom, stage, groups);
    if (!merge.ok())
        return merge.error();
    ChipChange change = planOf(rom, stage, merge.value().first).change;
    change.freed = std::move(merge.value().second);
    return change;
}

Result<ChipChange> mergeChips(RomImage& rom, int stage, std::span<const std::vector<int>> groups)
{
    auto merge = mergeOf(rom, stage, groups);
    if (!merge.ok())
        return merge.error();
    const Renumbering& renumbering = merge.value().first;
    ChipChange change = carryOut(rom, planOf(rom, stage, renumbering), renumbering, ukChipMerge);
    change.freed = std::move(merge.value().second);
    return change;
}

} // namespace vx
