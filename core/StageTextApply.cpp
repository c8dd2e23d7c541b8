#include "core/StageText.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/SharedStages.h"
#include "core/StageTextKeys.h"
#include "core/VxObject.h"

#include <algorithm>

namespace vx {
namespace {

using namespace stage_text;

std::string Hex(int value) { return FormatHex(static_cast<std::uint32_t>(value), 2); }

std::string StageList(const std::vector<int>& stages)
{
    std::string text;
    for (int s : stages)
        text += (text.empty() ? "" : ", ") + Hex(s);
    return text;
}

std::string GroupName(std::size_t group)
{
    switch (SharedGroups[group]) {
    case SharedGroup::Chips: return Tr("32x32チップ", "the chips");
    case SharedGroup::Map: return Tr("マップ", "the map");
    case SharedGroup::Scroll: return Tr("スクロールデータ", "the scroll entries");
    case SharedGroup::EnemyObjects: return Tr("敵リスト", "the enemy list");
    case SharedGroup::ItemObjects: return Tr("アイテムリスト", "the item list");
    case SharedGroup::MidPoints: return Tr("復帰地点", "the restart points");
    }
    return "?";
}

bool SameTable(std::size_t group, const TStageText& a, const TStageText& b)
{
    switch (SharedGroups[group]) {
    case SharedGroup::Chips: return a.chipEntries == b.chipEntries && a.chipAttributes == b.chipAttributes;
    case SharedGroup::Map: return a.map == b.map;
    case SharedGroup::Scroll: return a.scroll == b.scroll;
    case SharedGroup::EnemyObjects: return a.enemies == b.enemies;
    case SharedGroup::ItemObjects: return a.items == b.items;
    case SharedGroup::MidPoints: return a.restartPoints == b.restartPoints;
    }
    return false;
}

std::string Refusal(const TStageText& text, std::string path, std::string reason)
{
    return TStageTextRefusal{text.fileName, std::move(path), std::move(reason)}.Message();
}

std::optional<std::string> CheckObjects(const TStageText& text, const std::vector<TStageTextObject>& objects,
                                        std::string_view key, int capacity)
{
    const std::string path = "/" + std::string(key);
    if (objects.size() > static_cast<std::size_t>(capacity))
        return Refusal(text, path, IsJapanese() ? std::to_string(objects.size()) + " 個あり、リストに入るのは " + std::to_string(capacity) + " 個までです"
                                                : std::to_string(objects.size()) + " objects, but the list holds " + std::to_string(capacity));
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (objects[i].room >= RoomCount)
            return Refusal(text, path + "/" + std::to_string(i) + "/room",
                           Hex(objects[i].room) + Tr(" はステージの部屋 (00-2B) の外です", " lies outside the stage's rooms (00-2B)"));
    return std::nullopt;
}

// What one text asks that this image cannot take, alone.
std::optional<std::string> CheckText(const TRomImgManager& rom, const TStageText& text)
{
    if (text.stage < 0 || text.stage >= StageCount)
        return Refusal(text, "/stage", Tr("ステージ番号が範囲 00-0D の外です", "the stage is out of range (00-0D)"));
    if (auto refused = CheckObjects(text, text.enemies, RootKeys[9], EnemyCapacity))
        return refused;
    if (auto refused = CheckObjects(text, text.items, RootKeys[10], ItemCapacity))
        return refused;
    // The sharing is the image's settings: a text from other settings would change other stages.
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        const std::vector<int> here = StagesSharing(rom.Addresses(), SharedGroups[g], text.stage);
        if (text.shared[g] != here)
            return Refusal(text, "/shared/" + std::string(GroupKeys[g]),
                           IsJapanese() ? GroupName(g) + "を共有するステージがファイルでは " + StageList(text.shared[g]) +
                                              "、このイメージでは " + StageList(here) + " です"
                                        : "the file has " + GroupName(g) + " shared by stages " + StageList(text.shared[g]) +
                                              ", this image by " + StageList(here));
    }
    // A save never writes the pattern-table setting, so a change to it would be lost unsaid.
    const auto& pattern = rom.Stage(text.stage).PatternTableSetting();
    const auto differs = std::ranges::mismatch(pattern, text.patternTableSetting);
    if (differs.in1 != pattern.end()) {
        const auto line = static_cast<std::size_t>(differs.in1 - pattern.begin()) / PatternLineBytes;
        return Refusal(text, "/patternTableSetting/" + std::to_string(line),
                       Tr("パターンテーブル設定は保存で書かれないため変更できません",
                          "the pattern-table setting cannot be changed: a save never writes it"));
    }
    return std::nullopt;
}

std::optional<std::string> CheckPair(const TRomImgManager& rom, const TStageText& a, const TStageText& b)
{
    const std::string files = a.fileName + Tr(" と ", " and ") + b.fileName;
    if (a.stage == b.stage)
        return files + Tr(" はどちらもステージ ", " both hold stage ") + Hex(a.stage) + Tr(" です。", ".");
    for (std::size_t g = 0; g < SharedGroups.size(); ++g) {
        const std::vector<int> sharing = StagesSharing(rom.Addresses(), SharedGroups[g], a.stage);
        if (std::ranges::find(sharing, b.stage) == sharing.end() || SameTable(g, a, b))
            continue;
        const std::string where = " (/" + std::string(GroupTableKeys[g]) + ")";
        return IsJapanese() ? files + " では、ステージ " + Hex(a.stage) + " と " + Hex(b.stage) + " が共有する" +
                                  GroupName(g) + where + "が違います。"
                            : files + " disagree on " + GroupName(g) + where + " that stages " + Hex(a.stage) +
                                  " and " + Hex(b.stage) + " share.";
    }
    return std::nullopt;
}

// Rebuilds a list in the stored order. Added by room, each object ends its room's list,
// so every room holds its objects in their stored order; a stored order that is not by
// room then needs the free order, reached by adjacent swaps.
void ReplaceObjects(TVxObjectManager& manager, const std::vector<TStageTextObject>& objects)
{
    const bool wasFree = manager.OrderType == otFree;
    for (TVxObjectNode* node : manager.ObjectsInOrder())
        manager.RemoveObject(node);
    manager.SetOrderType(otByRoom);
    std::vector<TVxObjectNode*> nodes;
    for (const TStageTextObject& o : objects) {
        manager.AddObject(o.room, o.x, o.y, o.kind);
        nodes.push_back(manager.Lists(o.room).Last());
    }
    if (!wasFree && std::ranges::is_sorted(objects, {}, &TStageTextObject::room))
        return;
    manager.SetOrderType(otFree);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int at = manager.OrderIndexOf(nodes[i]); at > static_cast<int>(i); --at)
            manager.MoveEarlier(nodes[i]);
}

bool SameObjects(const TVxObjectManager& manager, const std::vector<TStageTextObject>& objects)
{
    const std::vector<TVxObjectNode*> order = manager.ObjectsInOrder();
    return std::ranges::equal(order, objects, [](const TVxObjectNode* n, const TStageTextObject& o) {
        return n->Room == o.room && n->X == o.x && n->Y == o.y && n->Kind == o.kind;
    });
}

void SetRestartPoint(TMidPoint& point, const MidPointBytes& bytes)
{
    point.StartY = bytes[0];
    point.SetStartRoom(bytes[1]); // before LeftRoom, which it also sets
    point.EnemyIndex = bytes[2];
    point.ItemIndex = bytes[3];
    point.MapBackAddr = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    point.MapForwardAddr = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    point.StartScroll = bytes[8];
    point.LeftRoom = bytes[9];
    point.RightRoom = bytes[10];
}

// Each edit changes only what differs, so only those tables are marked edited.
void Apply(TStageData& stage, const TStageText& text)
{
    for (int i = 0; i < 16; ++i) {
        stage.SetPaletteColor(i, text.bgPalette[static_cast<std::size_t>(i)]);
        stage.SetPaletteColor(16 + i, text.spritePalette[static_cast<std::size_t>(i)]);
    }
    stage.SetPaletteAnimeFrameCount(text.frameCount);
    stage.SetPaletteAnimeFrameTimer(text.frameTimer);
    for (int i = 0; i < 64; ++i)
        stage.SetPaletteAnimeColor(i, text.animationColours[static_cast<std::size_t>(i)]);
    for (std::size_t c = 0; c < ChipCount; ++c) {
        std::array<std::uint8_t, 8> bytes{};
        std::copy_n(text.chipEntries.begin() + static_cast<std::ptrdiff_t>(4 * c), 4, bytes.begin());
        std::copy_n(text.chipAttributes.begin() + static_cast<std::ptrdiff_t>(4 * c), 4, bytes.begin() + 4);
        stage.SetChip(static_cast<int>(4 * c), bytes);
    }
    for (std::size_t room = 0; room < RoomCount; ++room)
        stage.SetMapRoom(static_cast<int>(room * RoomSize),
                         std::span<const std::uint8_t, RoomSize>(text.map.data() + room * RoomSize, RoomSize),
                         ukMapGrid);
    for (int i = 0; i < ScrollSize; ++i)
        stage.SetScrollData(i, text.scroll[static_cast<std::size_t>(i)]);
    bool objects = false;
    if (!SameObjects(stage.EnemyObjects(), text.enemies)) {
        ReplaceObjects(stage.EnemyObjects(), text.enemies);
        objects = true;
    }
    if (!SameObjects(stage.ItemObjects(), text.items)) {
        ReplaceObjects(stage.ItemObjects(), text.items);
        objects = true;
    }
    if (objects)
        stage.MarkEdited(efObject);
    bool points = false;
    for (int p = 0; p < MidPointCount; ++p) {
        const MidPointBytes& bytes = text.restartPoints[static_cast<std::size_t>(p)];
        if (stage.MidPoints(p).ToBytes() != bytes) {
            SetRestartPoint(stage.MidPoints(p), bytes);
            points = true;
        }
    }
    if (points)
        stage.MarkEdited(efMidPoint);
}

} // namespace

std::optional<std::string> ApplyStageTexts(TRomImgManager& rom, const std::vector<TStageText>& texts)
{
    if (!rom.IsLoaded())
        return Tr("イメージが開かれていません。", "No image is open.");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (auto refused = CheckText(rom, texts[i]))
            return refused;
        for (std::size_t j = 0; j < i; ++j)
            if (auto refused = CheckPair(rom, texts[j], texts[i]))
                return refused;
    }
    for (const TStageText& text : texts)
        Apply(rom.Stage(text.stage), text);
    return std::nullopt;
}

} // namespace vx
