#include "core/text/StageText.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"
#include "core/model/StageObjects.h"
#include "core/text/StageTextKeys.h"

#include <algorithm>

namespace vx {
namespace {

using namespace stage_text;

std::string hex(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

std::string stageList(const std::vector<int>& stages)
{
    std::string text;
    for (int s : stages)
        text += (text.empty() ? "" : ", ") + hex(s);
    return text;
}

std::string groupName(std::size_t group)
{
    switch (SharedGroups[group]) {
    case SharedGroup::Chips: return localized("32x32チップ", "the chips");
    case SharedGroup::Map: return localized("マップ", "the map");
    case SharedGroup::Scroll: return localized("スクロールデータ", "the scroll entries");
    case SharedGroup::EnemyObjects: return localized("敵リスト", "the enemy list");
    case SharedGroup::ItemObjects: return localized("アイテムリスト", "the item list");
    case SharedGroup::RestartPoints: return localized("復帰地点", "the restart points");
    }
    return "?";
}

bool sameTable(std::size_t group, const StageText& a, const StageText& b)
{
    switch (SharedGroups[group]) {
    case SharedGroup::Chips: return a.chipEntries == b.chipEntries && a.chipAttributes == b.chipAttributes;
    case SharedGroup::Map: return a.map == b.map;
    case SharedGroup::Scroll: return a.scroll == b.scroll;
    case SharedGroup::EnemyObjects: return a.enemies == b.enemies;
    case SharedGroup::ItemObjects: return a.items == b.items;
    case SharedGroup::RestartPoints: return a.restartPoints == b.restartPoints;
    }
    return false;
}

Error refusal(const StageText& text, std::string path, std::string reason)
{
    return Error{std::move(reason), text.fileName, std::move(path)};
}

Result<void> checkObjects(const StageText& text, const std::vector<StageTextObject>& objects, std::string_view key,
                          int capacity)
{
    const std::string path = "/" + std::string(key);
    if (objects.size() > static_cast<std::size_t>(capacity))
        return refusal(text, path,
                       isJapanese() ? std::to_string(objects.size()) + " 個あり、リストに入るのは " +
                               std::to_string(capacity) + " 個までです"
                                    : std::to_string(objects.size()) + " objects, but the list holds " +
                               std::to_string(capacity));
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (objects[i].room >= RoomCount)
            return refusal(text, path + "/" + std::to_string(i) + "/room",
                           hex(objects[i].room) +
                               localized(" はステージの部屋 (00-2B) の外で"
                                         "す",
                                         " lies outside the stage's rooms (00-2B)"));
    return Done;
}

// What one text asks that this image cannot take, alone.
Result<void> checkText(const RomImage& rom, const StageText& text)
{
    if (text.stage < 0 || text.stage >= StageCount)
        return refusal(text, "/stage",
                       localized("ステージ番号が範囲 00-0D の外で"
                                 "す",
                                 "the stage is out of range (00-0D)"));
    if (Result<void> enemies = checkObjects(text, text.enemies, RootKeys[RootEnemies], EnemyCapacity); !enemies.ok())
        return enemies;
    if (Result<void> items = checkObjects(text, text.items, RootKeys[RootItems], ItemCapacity); !items.ok())
        return items;
    // The sharing is the image's settings: a text from other settings would change other stages.
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        const std::vector<int> here = stagesSharing(rom.addresses(), SharedGroups[g], text.stage);
        if (text.shared[g] != here)
            return refusal(text, "/shared/" + std::string(GroupKeys[g]),
                           isJapanese() ? groupName(g) +
                                   "を共有するステージがファイルで"
                                   "は " +
                                   stageList(text.shared[g]) +
                                   "、このイメージで"
                                   "は " +
                                   stageList(here) + " です"
                                        : "the file has " + groupName(g) + " shared by stages " +
                                   stageList(text.shared[g]) + ", this image by " + stageList(here));
    }
    // A save never writes the pattern-table setting, so a change to it would be lost unsaid.
    const auto& pattern = rom.stage(text.stage).patternTableSetting();
    const auto differs = std::ranges::mismatch(pattern, text.patternTableSetting);
    if (differs.in1 != pattern.end()) {
        const auto line = static_cast<std::size_t>(differs.in1 - pattern.begin()) / PatternLineBytes;
        return refusal(text, "/patternTableSetting/" + std::to_string(line),
                       localized("パターンテーブル設定は保存で書かれないため変更できません",
                                 "the pattern-table setting cannot be changed: a save never writes it"));
    }
    return Done;
}

// Per shared group, whether a text changes that table from what the image holds now. Only
// a changed shared table is taken from a file, so the files of the other stages that share
// it, which still hold the old table, do not undo the edit; a table the text leaves to
// another file it never changes.
using ChangedGroups = std::array<bool, SharedGroups.size()>;

ChangedGroups changedGroups(const RomImage& rom, const StageText& text)
{
    const StageText now = stageTextOf(rom, text.stage);
    ChangedGroups changed{};
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        changed[g] = !text.heldElsewhere[g] && !sameTable(g, text, now);
    return changed;
}

// Where two versions of a shared table first differ, in the pages' words.
std::string firstDifference(std::size_t group, const StageText& a, const StageText& b)
{
    const auto first = [](const auto& x, const auto& y) {
        std::size_t i = 0;
        while (i < x.size() && i < y.size() && x[i] == y[i])
            ++i;
        return i;
    };
    const auto number = [](std::size_t n) { return std::to_string(n); };
    switch (SharedGroups[group]) {
    case SharedGroup::Chips: {
        const std::size_t entry =
            std::min(first(a.chipEntries, b.chipEntries), first(a.chipAttributes, b.chipAttributes));
        return localized("チップ ", "chip ") + hex(static_cast<int>(entry / QuarterCount));
    }
    case SharedGroup::Map: {
        const std::size_t cell = first(a.map, b.map);
        const int room = static_cast<int>(cell / RoomSize), row = static_cast<int>(cell % RoomSide);
        return isJapanese() ? "部屋 " + hex(room) + " の " + number(static_cast<std::size_t>(row)) + " 行目"
                            : "room " + hex(room) + " row " + number(static_cast<std::size_t>(row));
    }
    case SharedGroup::Scroll:
        return localized("スクロール ", "scroll entry ") + hex(static_cast<int>(first(a.scroll, b.scroll)));
    case SharedGroup::EnemyObjects: return localized("敵 ", "enemy ") + number(first(a.enemies, b.enemies));
    case SharedGroup::ItemObjects: return localized("アイテム ", "item ") + number(first(a.items, b.items));
    case SharedGroup::RestartPoints:
        return localized("復帰地点 ", "restart point ") + number(first(a.restartPoints, b.restartPoints));
    }
    return "?";
}

Result<void> checkPair(const RomImage& rom, const StageText& a, const ChangedGroups& aChanged, const StageText& b,
                       const ChangedGroups& bChanged)
{
    const std::string files = a.fileName + localized(" と ", " and ") + b.fileName;
    if (a.stage == b.stage)
        return Error{files + localized(" はどちらもステージ ", " both hold stage ") + hex(a.stage) +
                     localized(" です。", ".")};
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        const std::vector<int> sharing = stagesSharing(rom.addresses(), SharedGroups[g], a.stage);
        if (std::ranges::find(sharing, b.stage) == sharing.end() || !aChanged[g] || !bChanged[g] || sameTable(g, a, b))
            continue;
        const std::string where = " (/" + std::string(GroupTableKeys[g]) + ")";
        const std::string at = firstDifference(g, a, b);
        return Error{isJapanese() ? files +
                             " は、ステー"
                             "ジ " +
                             hex(a.stage) + " と " + hex(b.stage) + " が共有する" + groupName(g) + where +
                             "をどちらも違うように変更しています (最初"
                             "の違いは" +
                             at + ")。"
                                  : files + " both change " + groupName(g) + where + " that stages " + hex(a.stage) +
                             " and " + hex(b.stage) + " share, differently: first at " + at + "."};
    }
    return Done;
}

bool sameObjects(const StageObjects& manager, const std::vector<StageTextObject>& objects)
{
    const std::vector<const PlacedObject*> order = manager.objectsInOrder();
    return std::ranges::equal(order, objects, [](const PlacedObject* n, const StageTextObject& o) {
        return n->room == o.room && n->x == o.x && n->y == o.y && n->kind == o.kind;
    });
}

// Each edit changes only what differs, so only those tables are marked edited. A shared
// table is applied only when this text changes it.
void apply(StageData& stage, const StageText& text, const ChangedGroups& changed)
{
    const auto take = [&](SharedGroup group) {
        return changed[static_cast<std::size_t>(std::ranges::find(SharedGroups, group) - SharedGroups.begin())];
    };
    for (int i = 0; !text.palettesElsewhere && i < 16; ++i) {
        stage.setPaletteColor(i, text.bgPalette[static_cast<std::size_t>(i)]);
        stage.setPaletteColor(16 + i, text.spritePalette[static_cast<std::size_t>(i)]);
    }
    stage.setPaletteAnimeFrameCount(text.frameCount);
    stage.setPaletteAnimeFrameTimer(text.frameTimer);
    for (int i = 0; i < 64; ++i)
        stage.setPaletteAnimeColor(i, text.animationColours[static_cast<std::size_t>(i)]);
    for (std::size_t c = 0; take(SharedGroup::Chips) && c < ChipCount; ++c) {
        std::array<std::uint8_t, 8> bytes{};
        std::copy_n(text.chipEntries.begin() + static_cast<std::ptrdiff_t>(4 * c), 4, bytes.begin());
        std::copy_n(text.chipAttributes.begin() + static_cast<std::ptrdiff_t>(4 * c), 4, bytes.begin() + 4);
        stage.setChip(static_cast<int>(4 * c), bytes);
    }
    for (std::size_t room = 0; take(SharedGroup::Map) && room < RoomCount; ++room)
        stage.setMapRoom(static_cast<int>(room * RoomSize),
                         std::span<const std::uint8_t, RoomSize>(text.map.data() + room * RoomSize, RoomSize),
                         ukMapGrid);
    for (int i = 0; take(SharedGroup::Scroll) && i < ScrollSize; ++i)
        stage.setScrollData(i, text.scroll[static_cast<std::size_t>(i)]);
    if (take(SharedGroup::EnemyObjects) && !sameObjects(stage.enemyObjects(), text.enemies))
        stage.replaceObjects(stage.enemyObjects(), text.enemies);
    if (take(SharedGroup::ItemObjects) && !sameObjects(stage.itemObjects(), text.items))
        stage.replaceObjects(stage.itemObjects(), text.items);
    for (int p = 0; take(SharedGroup::RestartPoints) && p < RestartPointCount; ++p)
        stage.setRestartPoint(p, text.restartPoints[static_cast<std::size_t>(p)]);
}

} // namespace

Result<void> applyStageTexts(RomImage& rom, const std::vector<StageText>& texts, UndoKind kind)
{
    if (!rom.isLoaded())
        return Error{localized("イメージが開かれていません。", "No image is open.")};
    std::vector<ChangedGroups> changed;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (Result<void> alone = checkText(rom, texts[i]); !alone.ok())
            return alone;
        changed.push_back(changedGroups(rom, texts[i]));
        for (std::size_t j = 0; j < i; ++j)
            if (Result<void> pair = checkPair(rom, texts[j], changed[j], texts[i], changed[i]); !pair.ok())
                return pair;
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        StageData& stage = rom.stage(texts[i].stage);
        const EditGroup group(stage, kind);
        apply(stage, texts[i], changed[i]);
    }
    return Done;
}

} // namespace vx
