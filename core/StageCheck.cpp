#include "core/StageCheck.h"

#include "core/ChipUsage.h"
#include "core/HexText.h"
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "core/ScrollEntry.h"
#include "core/ScrollPath.h"
#include "core/SharedStages.h"
#include "core/StageData.h"
#include "core/VxObject.h"

#include <algorithm>
#include <optional>

namespace vx {
namespace {

constexpr int ConsoleColorCount = 0x40;
constexpr int OfferedFrameCounts = 5; // the palette page's list: 0 (off) to 4

std::string Hex(std::uint32_t value, int digits = 2) { return FormatHex(value, digits); }

// The stretch of the scroll path one walk passes: entries [firstEntry, endEntry) and
// rooms [firstRoom, endRoom). Read back from WalkScrollPath so the check never disagrees
// with the pages: every entry the walk reaches after the first starts right of the start
// room, and each entry passes its count of rooms and one more.
struct TWalkExtent {
    int firstEntry, endEntry, firstRoom, endRoom;
};

std::optional<TWalkExtent> WalkExtent(std::span<const std::uint8_t> scroll, int startRoom, int startEntry)
{
    if (startRoom < 0 || startRoom >= RoomCount || startEntry < 0 || startEntry >= ScrollEntryCount)
        return std::nullopt;
    const TScrollPath path = WalkScrollPath(scroll, startRoom, startEntry);
    int last = startEntry;
    while (last + 1 < ScrollEntryCount && path.segmentLeftRoom[static_cast<std::size_t>(last + 1)] != startRoom)
        ++last;
    const std::size_t at = static_cast<std::size_t>(last);
    const int count = at < scroll.size() ? TScrollEntry::Decode(scroll[at]).count : 0;
    return TWalkExtent{startEntry, last + 1, startRoom,
                       std::min(path.segmentLeftRoom[at] + count + 1, RoomCount)};
}

std::optional<TWalkExtent> PointWalk(const TStageData& stage, const TMidPoint& point)
{
    return WalkExtent(stage.Scroll(), point.StartRoom(), point.StartScroll);
}

// "1 enemy", "2 enemies"; "敵 2 体".
std::string Counted(int count, const char* japaneseUnit, const char* japaneseName, const char* one,
                    const char* many)
{
    const std::string n = std::to_string(count);
    return IsJapanese() ? std::string(japaneseName) + " " + n + " " + japaneseUnit
                        : n + " " + (count == 1 ? one : many);
}

std::string StageList(const std::vector<int>& stages)
{
    std::string text;
    for (int s : stages)
        text += (text.empty() ? "" : ", ") + Hex(static_cast<std::uint32_t>(s));
    return text;
}

// The group as the subject of a sentence, with its verb in English.
std::string GroupSubject(SharedGroup group)
{
    switch (group) {
    case SharedGroup::Chips: return Tr("32x32チップ", "The chips are");
    case SharedGroup::Map: return Tr("マップ", "The map is");
    case SharedGroup::Scroll: return Tr("スクロールデータ", "The scroll entries are");
    case SharedGroup::EnemyObjects: return Tr("敵リスト", "The enemy list is");
    case SharedGroup::ItemObjects: return Tr("アイテムリスト", "The item list is");
    case SharedGroup::MidPoints: return Tr("復帰地点", "The restart points are");
    }
    return "?";
}

class TStageChecker {
public:
    TStageChecker(const TRomImgManager& rom, int stage)
        : rom_(rom), stage_(rom.Stage(stage)), index_(stage)
    {
    }

    std::vector<TFinding> Run()
    {
        CheckRestartPoints();
        CheckScroll();
        CheckPalette();
        CheckObjects();
        CheckChips();
        CheckSharing();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const TFinding& a, const TFinding& b) { return a.severity < b.severity; });
        return std::move(findings_);
    }

private:
    void Add(TSeverity severity, TFindingPlace place, int index, std::string text)
    {
        findings_.push_back(TFinding{severity, index_, place, index, std::move(text)});
    }

    void CheckRestartPoints()
    {
        for (int p = 0; p < MidPointCount; ++p) {
            const TMidPoint& point = stage_.MidPoints(p);
            if (point.StartRoom() >= RoomCount) {
                Add(TSeverity::Error, TFindingPlace::RestartPoint, p,
                    Tr("復帰部屋番号 ", "Start room ") + Hex(point.StartRoom()) +
                        Tr(" はステージの部屋 (00-2B) の外です", " lies outside the stage's rooms (00-2B)"));
                continue;
            }
            CheckRecalc(point, p);
            if (point.StartScroll < ScrollEntryCount)
                CheckEndRooms(point, p);
            else
                Add(TSeverity::Error, TFindingPlace::RestartPoint, p,
                    Tr("スクロール番号 ", "Start entry ") + Hex(point.StartScroll) +
                        Tr(" はスクロールデータ (00-1F) の外です", " lies outside the scroll entries (00-1F)"));
        }
    }

    // Each differing field as "EnemyIndex 05, recalculation gives 07".
    static void Differ(std::string& text, const char* japanese, const char* english, std::uint32_t stored,
                       std::uint32_t derived, int digits, const char* japaneseSource, const char* englishSource)
    {
        if (stored == derived)
            return;
        text += (text.empty() ? "" : "; ") + Tr(japanese, english) + " " + Hex(stored, digits) +
                Tr(japaneseSource, englishSource) + Hex(derived, digits);
    }

    void CheckRecalc(const TMidPoint& point, int p)
    {
        const auto derived = point.Clone();
        derived->Recalc();
        std::string text;
        const char* const js = "、再計算では ";
        const char* const es = ", recalculation gives ";
        Differ(text, "左進行時マップ読み込みアドレス", "MapBackAddr", point.MapBackAddr, derived->MapBackAddr, 4, js, es);
        Differ(text, "右進行時マップ読み込みアドレス", "MapForwardAddr", point.MapForwardAddr, derived->MapForwardAddr,
               4, js, es);
        Differ(text, "最初の敵番号", "EnemyIndex", point.EnemyIndex, derived->EnemyIndex, 2, js, es);
        Differ(text, "最初のアイテム番号", "ItemIndex", point.ItemIndex, derived->ItemIndex, 2, js, es);
        if (!text.empty())
            Add(TSeverity::Warning, TFindingPlace::RestartPoint, p, std::move(text));
    }

    // The left and right rooms as the scroll page derives them from an entry, here on a walk
    // that starts at the point itself.
    void CheckEndRooms(const TMidPoint& point, int p)
    {
        const TScrollPath path = WalkScrollPath(stage_.Scroll(), point.StartRoom(), point.StartScroll);
        const auto entry = static_cast<std::size_t>(point.StartScroll);
        const int left = path.segmentLeftRoom[entry];
        // The walk never passes room 2B, so neither does the start entry's right room.
        const int right = std::min(left + TScrollEntry::Decode(stage_.Scroll()[entry]).count, LastRoom);
        std::string text;
        const char* const js = "、スクロールの道筋では ";
        const char* const es = ", the scroll path gives ";
        Differ(text, "左端部屋番号", "LeftRoom", point.LeftRoom, static_cast<std::uint32_t>(left), 2, js, es);
        Differ(text, "右端部屋番号", "RightRoom", point.RightRoom, static_cast<std::uint32_t>(right), 2, js, es);
        if (!text.empty())
            Add(TSeverity::Note, TFindingPlace::RestartPoint, p, std::move(text));
    }

    void CheckScroll()
    {
        const TMidPoint& start = stage_.MidPoints(stage_.DefaultStartPoint());
        if (const auto walk = PointWalk(stage_, start))
            for (int e = walk->firstEntry; e < walk->endEntry; ++e) {
                const std::uint8_t entry = stage_.Scroll()[static_cast<std::size_t>(e)];
                if (TScrollEntry::Decode(entry).unknown)
                    Add(TSeverity::Warning, TFindingPlace::ScrollEntry, e,
                        Tr("値 ", "Value ") + Hex(entry) +
                            Tr(" はビット4が立っていて (「????」と表示)、スタート地点からの道筋が通ります",
                               " has bit 4 set (shown as \"????\") and lies on the path from the start point"));
            }
    }

    void CheckColor(TFindingPlace place, int index, std::uint8_t color)
    {
        if (color >= ConsoleColorCount)
            Add(TSeverity::Warning, place, index,
                Tr("色 ", "Colour ") + Hex(color) +
                    Tr(" は本体の色 (00-3F) ではありません", " is not a console colour (00-3F)"));
    }

    void CheckPalette()
    {
        for (int i = 0; i < 16; ++i)
            CheckColor(TFindingPlace::PaletteEntry, i, stage_.BGPalette()[static_cast<std::size_t>(i)]);
        for (int i = 0; i < 64; ++i)
            CheckColor(TFindingPlace::AnimationEntry, i, stage_.PaletteAnimePalette()[static_cast<std::size_t>(i)]);
        const std::uint8_t frames = stage_.PaletteAnimeFrameCount();
        if (frames >= OfferedFrameCounts)
            Add(TSeverity::Warning, TFindingPlace::AnimationFrames, -1,
                Tr("フレーム総数 ", "Frame count ") + Hex(frames) +
                    Tr(" はパレットページの選択肢 (0-4) になく、アニメーションは無効です",
                       " is not one the palette page offers (0-4), so the animation is off"));
    }

    void CheckObjects()
    {
        const auto covered = CoveredRooms(stage_);
        const TVxObjectManager& enemies = stage_.EnemyObjects();
        const TVxObjectManager& items = stage_.ItemObjects();
        for (int room = 0; room < RoomCount; ++room) {
            const int e = enemies.Lists(room).Count(), i = items.Lists(room).Count();
            if ((e == 0 && i == 0) || covered[static_cast<std::size_t>(room)])
                continue;
            std::string held;
            if (e > 0)
                held = Counted(e, "体", "敵", "enemy", "enemies");
            if (i > 0)
                held += (held.empty() ? "" : Tr("と", " and ")) + Counted(i, "個", "アイテム", "item", "items");
            Add(TSeverity::Note, TFindingPlace::ObjectRoom, room,
                held + Tr("がありますが、どの復帰地点からの道筋もこの部屋を通りません",
                          ", but no restart point's path passes this room"));
        }
        CheckFull(enemies, TFindingPlace::EnemyList);
        CheckFull(items, TFindingPlace::ItemList);
    }

    void CheckFull(const TVxObjectManager& objects, TFindingPlace place)
    {
        if (objects.TotalCount() < objects.Capacity)
            return;
        const std::string size = std::to_string(objects.Capacity);
        Add(TSeverity::Note, place, -1,
            IsJapanese() ? size + " 個すべて使われていて、これ以上追加できません"
                         : "All " + size + " places are taken, so nothing more can be added");
    }

    void CheckChips()
    {
        const std::size_t unused = UnusedChips(stage_.Map()).size();
        if (unused > 0)
            Add(TSeverity::Note, TFindingPlace::Chip, -1,
                IsJapanese() ? std::to_string(unused) + " 個のチップはどの部屋でも使われていません"
                             : std::to_string(unused) + (unused == 1 ? " chip is" : " chips are") + " used by no room");
        const auto groups = EqualChipGroups(stage_.Chip32x32(), stage_.Chip32x32Attribute());
        std::size_t chips = 0;
        for (const auto& group : groups)
            chips += group.size();
        if (!groups.empty())
            Add(TSeverity::Note, TFindingPlace::Chip, -1,
                IsJapanese() ? "同じ内容のチップが " + std::to_string(groups.size()) + " 組 (計 " + std::to_string(chips) +
                                   " 個) あります"
                             : std::to_string(groups.size()) + (groups.size() == 1 ? " group" : " groups") +
                                   " of equal chips (" + std::to_string(chips) + " chips)");
    }

    void CheckSharing()
    {
        for (SharedGroup group : SharedGroups) {
            std::vector<int> others = StagesSharing(rom_.Addresses(), group, index_);
            std::erase(others, index_);
            if (others.empty())
                continue;
            const bool one = others.size() == 1;
            Add(TSeverity::Note, TFindingPlace::Stage, -1,
                IsJapanese() ? GroupSubject(group) + "はステージ " + StageList(others) +
                                   " と共有していて、ここでの編集はそちらも変えます"
                             : GroupSubject(group) + " shared with stage" + (one ? " " : "s ") + StageList(others) +
                                   ", so an edit here changes " + (one ? "it" : "them") + " too");
        }
    }

    const TRomImgManager& rom_;
    const TStageData& stage_;
    int index_;
    std::vector<TFinding> findings_;
};

} // namespace

std::vector<TFinding> CheckStage(const TRomImgManager& rom, int stage)
{
    if (!rom.IsLoaded() || stage < 0 || stage >= StageCount)
        return {};
    return TStageChecker(rom, stage).Run();
}

std::vector<TFinding> CheckAllStages(const TRomImgManager& rom)
{
    std::vector<TFinding> findings;
    for (int stage = 0; stage < StageCount; ++stage) {
        auto more = CheckStage(rom, stage);
        findings.insert(findings.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return findings;
}

std::array<bool, RoomCount> CoveredRooms(const TStageData& stage)
{
    std::array<bool, RoomCount> covered{};
    for (int p = 0; p < MidPointCount; ++p)
        if (const auto walk = PointWalk(stage, stage.MidPoints(p)))
            std::fill(covered.begin() + walk->firstRoom, covered.begin() + walk->endRoom, true);
    return covered;
}

std::string SeverityWord(TSeverity severity)
{
    switch (severity) {
    case TSeverity::Error: return Tr("エラー", "error");
    case TSeverity::Warning: return Tr("警告", "warning");
    case TSeverity::Note: return Tr("注記", "note");
    }
    return "?";
}

std::string PlaceText(const TFinding& finding)
{
    const auto hex = [&] { return std::string(" ").append(Hex(static_cast<std::uint32_t>(finding.index))); };
    switch (finding.place) {
    case TFindingPlace::Stage: return Tr("ステージ", "stage");
    case TFindingPlace::RestartPoint: return Tr("復帰地点 ", "restart point ") + std::to_string(finding.index);
    case TFindingPlace::ScrollEntry: return Tr("スクロール", "scroll entry") + hex();
    case TFindingPlace::MapRoom:
    case TFindingPlace::ObjectRoom: return Tr("部屋", "room") + hex();
    case TFindingPlace::EnemyList: return Tr("敵リスト", "enemy list");
    case TFindingPlace::ItemList: return Tr("アイテムリスト", "item list");
    case TFindingPlace::PaletteEntry: return Tr("パレット", "palette entry") + hex();
    case TFindingPlace::AnimationEntry: return Tr("アニメーション色", "animation colour") + hex();
    case TFindingPlace::AnimationFrames: return Tr("フレーム総数", "frame count");
    case TFindingPlace::Chip: return finding.index < 0 ? Tr("32x32チップ", "chips") : Tr("チップ", "chip") + hex();
    }
    return "?";
}

std::string FindingLine(const TFinding& finding)
{
    return Tr("ステージ ", "stage ") + Hex(static_cast<std::uint32_t>(finding.stage)) + " " +
           SeverityWord(finding.severity) + " " + PlaceText(finding) + ": " + finding.text;
}

} // namespace vx
