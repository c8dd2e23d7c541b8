#include "core/model/StageCheck.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ChipUsage.h"
#include "core/model/RomImage.h"
#include "core/model/ScrollEntry.h"
#include "core/model/ScrollPath.h"
#include "core/model/StageCheckGroups.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

#include <algorithm>
#include <optional>

namespace vx {
namespace {

constexpr int ConsoleColorCount = 0x40;
constexpr int OfferedFrameCounts = 5; // the palette page's list: 0 (off) to 4
constexpr int AnimationRowLength = 16;

std::string hex(std::uint32_t value, int digits = 2) { return formatHex(value, digits); }

// The stretch of the scroll path one walk passes: entries [firstEntry, endEntry) and
// rooms [firstRoom, endRoom). Read back from walkScrollPath so the check never disagrees
// with the pages: every entry the walk reaches after the first starts right of the start
// room, and each entry passes its count of rooms and one more.
struct WalkExtent {
    int firstEntry, endEntry, firstRoom, endRoom;
};

std::optional<WalkExtent> walkExtent(std::span<const std::uint8_t> scroll, int startRoom, int startEntry)
{
    if (startRoom < 0 || startRoom >= RoomCount || startEntry < 0 || startEntry >= ScrollEntryCount)
        return std::nullopt;
    const ScrollPath path = walkScrollPath(scroll, startRoom, startEntry);
    int last = startEntry;
    while (last + 1 < ScrollEntryCount && path.segmentLeftRoom[static_cast<std::size_t>(last + 1)] != startRoom)
        ++last;
    const std::size_t at = static_cast<std::size_t>(last);
    const int count = at < scroll.size() ? ScrollEntry::decode(scroll[at]).count : 0;
    return WalkExtent{startEntry, last + 1, startRoom, std::min(path.segmentLeftRoom[at] + count + 1, RoomCount)};
}

std::optional<WalkExtent> pointWalk(const StageData& stage, const RestartPoint& point)
{
    return walkExtent(stage.scroll(), point.startRoom(), point.startScroll);
}

class StageChecker {
public:
    StageChecker(const RomImage& rom, int stage) : rom_(rom), stage_(rom.stage(stage)), index_(stage) {}

    std::vector<Finding> run()
    {
        checkRestartPoints();
        checkScroll();
        checkPalette();
        checkObjects();
        checkChips();
        checkSharing();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
        return std::move(findings_);
    }

private:
    void add(Severity severity, FindingPlace place, int index, std::string text)
    {
        findings_.push_back(Finding{severity, index_, place, index, std::move(text)});
    }

    void checkRestartPoints()
    {
        for (int p = 0; p < RestartPointCount; ++p) {
            const RestartPoint& point = stage_.restartPoints(p);
            if (point.startRoom() >= RoomCount) {
                add(Severity::Error, FindingPlace::RestartPoint, p,
                    localized("復帰部屋番号 ", "Start room ") + hex(point.startRoom()) +
                        localized(" はステージの部屋 (00-2B) の外で"
                                  "す",
                                  " lies outside the stage's rooms (00-2B)"));
                continue;
            }
            checkRecalc(point, p);
            if (point.startScroll < ScrollEntryCount)
                checkEndRooms(point, p);
            else
                add(Severity::Error, FindingPlace::RestartPoint, p,
                    localized("スクロール番号 ", "Start entry ") + hex(point.startScroll) +
                        localized(" はスクロールデータ (00-1F) の外で"
                                  "す",
                                  " lies outside the scroll entries (00-1F)"));
        }
    }

    // Each differing field as "EnemyIndex 05, recalculation gives 07", and with both values.
    static void differ(Finding& finding, const char* japanese, const char* english, std::uint32_t stored,
                       std::uint32_t derived, int digits, const char* japaneseSource, const char* englishSource)
    {
        if (stored == derived)
            return;
        finding.text += (finding.text.empty() ? "" : "; ") + localized(japanese, english) + " " + hex(stored, digits) +
            localized(japaneseSource, englishSource) + hex(derived, digits);
        finding.fields.push_back(FieldDifference{english, stored, derived, digits});
    }

    void checkRecalc(const RestartPoint& point, int p)
    {
        const auto derived = point.clone();
        derived->recalc();
        Finding finding{Severity::Warning, index_, FindingPlace::RestartPoint, p, ""};
        const char* const js = "、再計算では ";
        const char* const es = ", recalculation gives ";
        differ(finding,
               "左進行時マップ読み込みアドレ"
               "ス",
               "MapBackAddr", point.mapBackAddr, derived->mapBackAddr, 4, js, es);
        differ(finding, "右進行時マップ読み込みアドレス", "MapForwardAddr", point.mapForwardAddr,
               derived->mapForwardAddr, 4, js, es);
        differ(finding, "最初の敵番号", "EnemyIndex", point.enemyIndex, derived->enemyIndex, 2, js, es);
        differ(finding, "最初のアイテム番号", "ItemIndex", point.itemIndex, derived->itemIndex, 2, js, es);
        if (!finding.fields.empty())
            findings_.push_back(std::move(finding));
    }

    // The left and right rooms as the scroll page derives them from an entry, here on a walk
    // that starts at the point itself.
    void checkEndRooms(const RestartPoint& point, int p)
    {
        const ScrollPath path = walkScrollPath(stage_.scroll(), point.startRoom(), point.startScroll);
        const auto entry = static_cast<std::size_t>(point.startScroll);
        const int left = path.segmentLeftRoom[entry];
        // The walk never passes room 2B, so neither does the start entry's right room.
        const int right = std::min(left + ScrollEntry::decode(stage_.scroll()[entry]).count, LastRoom);
        Finding finding{Severity::Note, index_, FindingPlace::RestartPoint, p, ""};
        const char* const js = "、スクロールの道筋では ";
        const char* const es = ", the scroll path gives ";
        differ(finding, "左端部屋番号", "LeftRoom", point.leftRoom, static_cast<std::uint32_t>(left), 2, js, es);
        differ(finding,
               "右端部屋番"
               "号",
               "RightRoom", point.rightRoom, static_cast<std::uint32_t>(right), 2, js, es);
        if (!finding.fields.empty())
            findings_.push_back(std::move(finding));
    }

    void addRepeated(Severity severity, FindingPlace place, RepeatKind kind, const std::vector<Spot>& spots)
    {
        if (auto finding = repeatedFinding(severity, index_, place, kind, spots))
            findings_.push_back(std::move(*finding));
    }

    void checkScroll()
    {
        const RestartPoint& start = stage_.restartPoints(stage_.defaultStartPoint());
        std::vector<Spot> unknown;
        if (const auto walk = pointWalk(stage_, start))
            for (int e = walk->firstEntry; e < walk->endEntry; ++e) {
                const std::uint8_t entry = stage_.scroll()[static_cast<std::size_t>(e)];
                if (ScrollEntry::decode(entry).unknown)
                    unknown.push_back(Spot{e, entry});
            }
        addRepeated(Severity::Warning, FindingPlace::ScrollEntry, RepeatKind::UnknownScrollBit, unknown);
    }

    // The colours above 3F of a table, from its entry `first` on.
    static std::vector<Spot> foreignColours(std::span<const std::uint8_t> colours, int first = 0)
    {
        std::vector<Spot> spots;
        for (int i = first; i < static_cast<int>(colours.size()); ++i)
            if (colours[static_cast<std::size_t>(i)] >= ConsoleColorCount)
                spots.push_back(Spot{i, colours[static_cast<std::size_t>(i)]});
        return spots;
    }

    void checkPalette()
    {
        addRepeated(Severity::Warning, FindingPlace::PaletteEntry, RepeatKind::ForeignColour,
                    foreignColours(stage_.bgPalette()));
        addRepeated(Severity::Warning, FindingPlace::SpritePaletteEntry, RepeatKind::ForeignColour,
                    foreignColours(stage_.spritePalette()));
        const std::uint8_t frames = stage_.paletteAnimeFrameCount();
        // Only the rows before the frame count are ever shown; none while the animation is off.
        const int shown = frames < OfferedFrameCounts ? frames * AnimationRowLength : 0;
        const auto animation = stage_.paletteAnimePalette();
        addRepeated(Severity::Warning, FindingPlace::AnimationEntry, RepeatKind::ForeignColour,
                    foreignColours(animation.first(static_cast<std::size_t>(shown))));
        addRepeated(Severity::Note, FindingPlace::AnimationEntry, RepeatKind::HiddenForeignColour,
                    foreignColours(animation, shown));
        if (frames >= OfferedFrameCounts)
            add(Severity::Warning, FindingPlace::AnimationFrames, -1,
                localized("フレーム総数 ", "Frame count ") + hex(frames) +
                    localized(" はパレットページの選択肢 (0-4) になく、アニメーションは無"
                              "効です",
                              " is not one the palette page offers (0-4), so the animation is off"));
    }

    void checkObjects()
    {
        const auto covered = coveredRooms(stage_);
        const StageObjects& enemies = stage_.enemyObjects();
        const StageObjects& items = stage_.itemObjects();
        std::vector<UnreachedRoom> unreached;
        for (int room = 0; room < RoomCount; ++room) {
            const int e = enemies.lists(room).count(), i = items.lists(room).count();
            if ((e > 0 || i > 0) && !covered[static_cast<std::size_t>(room)])
                unreached.push_back(UnreachedRoom{room, e, i});
        }
        if (auto finding = unreachedRoomsFinding(index_, unreached))
            findings_.push_back(std::move(*finding));
        checkFull(enemies, FindingPlace::EnemyList);
        checkFull(items, FindingPlace::ItemList);
    }

    void checkFull(const StageObjects& objects, FindingPlace place)
    {
        if (objects.totalCount() < objects.capacity)
            return;
        const std::string size = std::to_string(objects.capacity);
        add(Severity::Note, place, -1,
            isJapanese() ? size + " 個すべて使われていて、これ以上追加できません"
                         : "All " + size + " places are taken, so nothing more can be added");
    }

    void checkChips()
    {
        const std::size_t unused = unusedChips(stage_.map()).size();
        if (unused > 0)
            add(Severity::Note, FindingPlace::Chip, -1,
                isJapanese() ? std::to_string(unused) + " 個のチップはどの部屋でも使われていません"
                             : std::to_string(unused) + (unused == 1 ? " chip is" : " chips are") + " used by no room");
        const auto groups = equalChipGroups(stage_.chip32x32(), stage_.chip32x32Attribute());
        std::size_t chips = 0;
        for (const auto& group : groups)
            chips += group.size();
        if (!groups.empty())
            add(Severity::Note, FindingPlace::Chip, -1,
                isJapanese() ? "同じ内容のチップが " + std::to_string(groups.size()) + " 組 (計 " +
                        std::to_string(chips) + " 個) あります"
                             : std::to_string(groups.size()) + (groups.size() == 1 ? " group" : " groups") +
                        " of equal chips (" + std::to_string(chips) + " chips)");
    }

    void checkSharing()
    {
        auto shared = sharingFindings(rom_.addresses(), index_);
        findings_.insert(findings_.end(), std::make_move_iterator(shared.begin()),
                         std::make_move_iterator(shared.end()));
    }

    const RomImage& rom_;
    const StageData& stage_;
    int index_;
    std::vector<Finding> findings_;
};

} // namespace

std::vector<Finding> checkStage(const RomImage& rom, int stage)
{
    if (!rom.isLoaded() || stage < 0 || stage >= StageCount)
        return {};
    return StageChecker(rom, stage).run();
}

std::vector<Finding> checkAllStages(const RomImage& rom)
{
    std::vector<Finding> findings;
    for (int stage = 0; stage < StageCount; ++stage) {
        auto more = checkStage(rom, stage);
        findings.insert(findings.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return findings;
}

std::array<bool, RoomCount> coveredRooms(const StageData& stage)
{
    std::array<bool, RoomCount> covered{};
    for (int p = 0; p < RestartPointCount; ++p)
        if (const auto walk = pointWalk(stage, stage.restartPoints(p)))
            std::fill(covered.begin() + walk->firstRoom, covered.begin() + walk->endRoom, true);
    return covered;
}

std::string severityWord(Severity severity)
{
    switch (severity) {
    case Severity::Error: return localized("エラー", "error");
    case Severity::Warning: return localized("警告", "warning");
    case Severity::Note: return localized("注記", "note");
    }
    return "?";
}

std::string placeText(const Finding& finding)
{
    const auto indexHex = [&] { return std::string(" ").append(hex(static_cast<std::uint32_t>(finding.index))); };
    // A grouped finding names its table; its text lists the places.
    const bool group = finding.count > 1;
    switch (finding.place) {
    case FindingPlace::Stage: return localized("ステージ", "stage");
    case FindingPlace::RestartPoint:
        return group ? localized("復帰地点", "restart points")
                     : localized("復帰地点 ", "restart point ") + std::to_string(finding.index);
    case FindingPlace::ScrollEntry:
        return group ? localized("スクロー"
                                 "ル",
                                 "scroll entries")
                     : localized("スクロール", "scroll entry") + indexHex();
    case FindingPlace::MapRoom:
    case FindingPlace::ObjectRoom:
        return group ? localized("部"
                                 "屋",
                                 "rooms")
                     : localized("部屋", "room") + indexHex();
    case FindingPlace::EnemyList: return localized("敵リスト", "enemy list");
    case FindingPlace::ItemList: return localized("アイテムリスト", "item list");
    case FindingPlace::PaletteEntry:
        return group ? localized("パレッ"
                                 "ト",
                                 "palette entries")
                     : localized("パレット", "palette entry") + indexHex();
    case FindingPlace::SpritePaletteEntry:
        return group ? localized("スプライトパレット", "sprite palette entries")
                     : localized("スプライトパレット", "sprite palette entry") + indexHex();
    case FindingPlace::AnimationEntry:
        return group ? localized("アニメーション色", "animation colours")
                     : localized("アニメーション色", "animation colour") + indexHex();
    case FindingPlace::AnimationFrames: return localized("フレーム総数", "frame count");
    case FindingPlace::Chip:
        return finding.index < 0 || group ? localized("32x32チップ", "chips")
                                          : localized("チップ", "chip") + indexHex();
    }
    return "?";
}

std::string findingLine(const Finding& finding)
{
    return localized("ステージ ", "stage ") + hex(static_cast<std::uint32_t>(finding.stage)) + " " +
        severityWord(finding.severity) + " " + placeText(finding) + ": " + finding.text;
}

} // namespace vx
