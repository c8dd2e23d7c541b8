#include "core/model/StageCheckGroups.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/AddressData.h"
#include "core/model/SharedStages.h"

#include <algorithm>

namespace vx {
namespace {

std::string hex(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

// "03, 07, 0B", with ", ..." when the whole holds more than the listed.
std::string listed(const std::vector<int>& items, std::size_t whole)
{
    std::string text;
    for (int item : items)
        text += (text.empty() ? "" : ", ") + hex(item);
    return whole > items.size() ? text + ", ..." : text;
}

std::vector<int> firstListed(std::vector<int> items)
{
    if (items.size() > static_cast<std::size_t>(ListedPlaces))
        items.resize(static_cast<std::size_t>(ListedPlaces));
    return items;
}

// The count and the first places, for a finding that stands for several.
void markGroup(Finding& finding, const std::vector<int>& places)
{
    finding.count = static_cast<int>(places.size());
    finding.indexes = firstListed(places);
}

// "1 enemy", "2 enemies"; "敵 2 体".
std::string counted(int count, const char* japaneseUnit, const char* japaneseName, const char* one, const char* many)
{
    const std::string n = std::to_string(count);
    return isJapanese() ? std::string(japaneseName) + " " + n + " " + japaneseUnit
                        : n + " " + (count == 1 ? one : many);
}

std::string objectsHeld(int enemies, int items)
{
    std::string held;
    if (enemies > 0)
        held = counted(enemies, "体", "敵", "enemy", "enemies");
    if (items > 0)
        held += (held.empty() ? "" : localized("と", " and ")) +
            counted(items, "個",
                    "アイテ"
                    "ム",
                    "item", "items");
    return held;
}

std::string repeatedText(RepeatKind kind, const std::string& values, bool manyValues, bool manyPlaces)
{
    switch (kind) {
    case RepeatKind::ForeignColour:
    case RepeatKind::HiddenForeignColour: {
        std::string text = isJapanese() ? "色 " + values + " は本体の色 (00-3F) ではありません"
            : manyValues                ? "Colours " + values + " are not console colours (00-3F)"
                                        : "Colour " + values + " is not a console colour (00-3F)";
        if (kind == RepeatKind::HiddenForeignColour)
            text += isJapanese()
                ? std::string(manyPlaces ? "が、アニメーションはこれらの行を表示しません"
                                         : "が、アニメーションはこの行を表示しません")
                : std::string(", but the animation never shows ") + (manyPlaces ? "their rows" : "its row");
        return text;
    }
    case RepeatKind::UnknownScrollBit:
        return isJapanese() ? "値 " + values +
                " はビット4が立っていて (「????」と表示)、スタート地点から"
                "の道筋が通ります"
            : manyValues
            ? "Values " + values + " have bit 4 set (shown as \"????\") and lie on the path from the start point"
            : "Value " + values + " has bit 4 set (shown as \"????\") and lies on the path from the start point";
    }
    return "?";
}

// The group's names: "the chips", "the map", ... and whether the name is plural.
std::pair<const char*, bool> englishName(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return {"chips", true};
    case SharedGroup::Map: return {"map", false};
    case SharedGroup::Scroll: return {"scroll entries", true};
    case SharedGroup::EnemyObjects: return {"enemy list", false};
    case SharedGroup::ItemObjects: return {"item list", false};
    case SharedGroup::RestartPoints: return {"restart points", true};
    }
    return {"?", false};
}

const char* japaneseName(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return "32x32チップ";
    case SharedGroup::Map: return "マップ";
    case SharedGroup::Scroll: return "スクロールデータ";
    case SharedGroup::EnemyObjects: return "敵リスト";
    case SharedGroup::ItemObjects: return "アイテムリスト";
    case SharedGroup::RestartPoints: return "復帰地点";
    }
    return "?";
}

// "The chips, map and restart points are shared with stage 08, ..."
std::string sharingText(const std::vector<SharedGroup>& groups, int partner)
{
    std::string names;
    if (isJapanese()) {
        for (SharedGroup group : groups)
            names += (names.empty() ? "" : "、") + std::string(japaneseName(group));
        return names +
            "はステー"
            "ジ " +
            hex(partner) + " と共有していて、ここでの編集はそちらも変えます";
    }
    for (std::size_t g = 0; g < groups.size(); ++g)
        names += std::string(g == 0 ? "" : g + 1 == groups.size() ? " and " : ", ") + englishName(groups[g]).first;
    const bool plural = groups.size() > 1 || englishName(groups.front()).second;
    return "The " + names + (plural ? " are" : " is") + " shared with stage " + hex(partner) +
        ", so an edit here changes it too";
}

} // namespace

std::optional<Finding> repeatedFinding(Severity severity, int stage, FindingPlace place, RepeatKind kind,
                                       const std::vector<Spot>& spots)
{
    if (spots.empty())
        return std::nullopt;
    std::vector<int> values, places;
    for (const Spot& spot : spots) {
        values.push_back(spot.value);
        places.push_back(spot.index);
    }
    std::ranges::sort(values);
    values.erase(std::unique(values.begin(), values.end()), values.end());
    const bool manyPlaces = spots.size() > 1;
    Finding finding{severity, stage, place, spots.front().index,
                    repeatedText(kind, listed(firstListed(values), values.size()), values.size() > 1, manyPlaces)};
    if (manyPlaces) {
        markGroup(finding, places);
        const std::string list = listed(finding.indexes, places.size());
        finding.text += isJapanese() ? " (" + std::to_string(places.size()) + " か所: " + list + ")"
                                     : ", at " + std::to_string(places.size()) + " entries: " + list;
    }
    return finding;
}

std::optional<Finding> unreachedRoomsFinding(int stage, const std::vector<UnreachedRoom>& rooms)
{
    if (rooms.empty())
        return std::nullopt;
    if (rooms.size() == 1)
        return Finding{Severity::Note, stage, FindingPlace::ObjectRoom, rooms.front().room,
                       objectsHeld(rooms.front().enemies, rooms.front().items) +
                           localized("がありますが、どの復帰地点からの道筋もこの部屋を通"
                                     "りません",
                                     ", but no restart point's path passes this room")};
    int enemies = 0, items = 0;
    std::vector<int> places;
    for (const UnreachedRoom& room : rooms) {
        enemies += room.enemies;
        items += room.items;
        places.push_back(room.room);
    }
    Finding finding{Severity::Note, stage, FindingPlace::ObjectRoom, places.front(), ""};
    markGroup(finding, places);
    const std::string n = std::to_string(places.size()), list = listed(finding.indexes, places.size());
    finding.text = isJapanese()
        ? "どの復帰地点からの道筋も通らな"
          "い " +
            n + " 部屋に" + objectsHeld(enemies, items) + "があります: " + list
        : objectsHeld(enemies, items) + " in " + n + " rooms no restart point's path passes: " + list;
    return finding;
}

std::vector<Finding> sharingFindings(const AddressData& addresses, int stage)
{
    std::array<std::vector<SharedGroup>, StageCount> byPartner;
    for (SharedGroup group : SharedGroups)
        for (int partner : stagesSharing(addresses, group, stage))
            if (partner != stage)
                byPartner[static_cast<std::size_t>(partner)].push_back(group);
    std::vector<Finding> findings;
    for (int partner = 0; partner < StageCount; ++partner)
        if (const auto& groups = byPartner[static_cast<std::size_t>(partner)]; !groups.empty())
            findings.push_back(Finding{Severity::Note, stage, FindingPlace::Stage, -1, sharingText(groups, partner)});
    return findings;
}

} // namespace vx
