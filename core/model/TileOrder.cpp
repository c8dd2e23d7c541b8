#include "core/model/TileOrder.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ChipEntry.h"
#include "core/model/RomImage.h"
#include "core/model/SharedStages.h"
#include "core/model/StageTiles.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <set>

namespace vx {
namespace {

constexpr int Chip16Count = 64;
constexpr int Chip16Length = 4 * TileLength;

std::string hex2(int value) { return formatHex(static_cast<std::uint32_t>(value), 2); }

std::string nothingChanged() { return localized("何も変えていません。", "Nothing was changed."); }

using Pattern = std::array<std::uint8_t, PatternDataLength>;

// A stage's pattern data before the swap and after it.
struct Drawn {
    Pattern before{}, after{};
    std::span<const std::uint8_t> chip(bool later, int chip) const
    {
        return std::span(later ? after : before).subspan(TileTableLength + Chip16Length * chip, Chip16Length);
    }
};

struct Plan {
    TileChange change;
    std::vector<std::pair<std::int64_t, std::uint8_t>> bytes;         // the swapped bytes' new values
    std::map<int, std::vector<std::pair<int, std::uint8_t>>> entries; // first sharer: position, entry
};

std::vector<int> tilesOf(TileUnit unit, int number)
{
    if (unit == TileUnit::Tile)
        return {number};
    return {4 * number, 4 * number + 1, 4 * number + 2, 4 * number + 3};
}

int unitLength(TileUnit unit) { return unit == TileUnit::Tile ? TileLength : Chip16Length; }

// The number (in the unit) of the stage's background piece whose bytes are exactly these
// offsets; -1 where no piece is.
int pieceCopying(const PatternSources& sources, TileUnit unit, const std::vector<std::int32_t>& offsets)
{
    const int length = unitLength(unit);
    const auto background = std::span(sources.offsets).subspan(TileTableLength);
    for (int start = 0; start + length <= TileTableLength; start += length)
        if (std::ranges::equal(background.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(length)),
                               offsets))
            return start / length;
    return -1;
}

Result<void> refusal(const std::string& japanese, const std::string& english)
{
    return Error{localized(japanese + nothingChanged(), english + " " + nothingChanged())};
}

// The pieces that change places in each stage: the stage's own, the same numbers in the
// stages sharing a chip table with one (the entries name the same chips there), and the
// pieces of any stage that copies exactly the bytes of a pair; with every byte's partner.
struct Pairs {
    std::map<int, std::pair<int, int>> pieces; // stage: the two numbers
    std::map<std::int32_t, std::int32_t> partner;
};

Result<Pairs> pairsOf(const RomImage& rom, const std::vector<PatternSources>& sources, int stage, TileUnit unit, int a,
                      int b)
{
    Pairs pairs;
    pairs.pieces[stage] = {a, b};
    std::vector<int> queue{stage};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const int n = queue[next];
        const auto [x, y] = pairs.pieces[n];
        const PatternSources& its = sources[static_cast<std::size_t>(n)];
        std::vector<int> outside;
        for (const int number : {x, y})
            for (const int tile : tilesOf(unit, number))
                if (!tileInImage(its, TileTable::Background, tile))
                    outside.push_back(tile);
        if (!outside.empty())
            return Error{
                (n == stage ? std::string() : localized("ステージ " + hex2(n) + ": ", "Stage " + hex2(n) + ": ")) +
                tileOutsideText(TileTable::Background, outside) + " " + nothingChanged()};
        const auto from = offsetsOfTiles(its, TileTable::Background, tilesOf(unit, x));
        const auto to = offsetsOfTiles(its, TileTable::Background, tilesOf(unit, y));
        for (std::size_t i = 0; i < from.size(); ++i)
            for (const auto& [one, other] : {std::pair{from[i], to[i]}, std::pair{to[i], from[i]}})
                if (const auto [at, added] = pairs.partner.emplace(one, other); one == other || at->second != other) {
                    const Result<void> why =
                        refusal(hex2(a) + " と " + hex2(b) +
                                    " はイメージの"
                                    "同じバイトを読んでいます。",
                                hex2(a) + " and " + hex2(b) + " read the same bytes of the image.");
                    return why.error();
                }
        std::vector<int> more;
        if (unit == TileUnit::Chip16)
            more = stagesSharing(rom.addresses(), SharedGroup::Chips, n);
        for (int m = 0; m < StageCount; ++m)
            if (!pairs.pieces.contains(m)) {
                const PatternSources& theirs = sources[static_cast<std::size_t>(m)];
                const int p = pieceCopying(theirs, unit, from), q = pieceCopying(theirs, unit, to);
                if (p >= 0 && q >= 0) {
                    pairs.pieces[m] = {p, q};
                    queue.push_back(m);
                }
            }
        for (const int m : more)
            if (!pairs.pieces.contains(m)) {
                pairs.pieces[m] = {x, y};
                queue.push_back(m);
            }
    }
    return pairs;
}

Result<Plan> planOf(const RomImage& rom, int stage, TileUnit unit, int a, int b)
{
    const int count = unit == TileUnit::Tile ? TileCount : Chip16Count;
    if (stage < 0 || stage >= StageCount || !rom.isLoaded())
        return Error{localized("ステージ番号が範囲外です。", "The stage number is out of range.")};
    if (a < 0 || b < 0 || a >= count || b >= count)
        return refusal(unit == TileUnit::Tile ? "タイル番号は 00 から FF までです。"
                                              : "16x16 チップ番号は 00 から 3F までです。",
                       unit == TileUnit::Tile ? "A tile number is 00 to FF." : "A 16x16 chip number is 00 to 3F.")
            .error();
    if (a == b)
        return refusal(hex2(a) + " をそれ自身と入れ替えることはできません。",
                       hex2(a) + " cannot change places with itself.")
            .error();
    std::vector<PatternSources> sources;
    sources.reserve(StageCount);
    for (int n = 0; n < StageCount; ++n)
        sources.push_back(patternSourcesOf(rom.stage(n).patternTableSetting(), rom.imageSize()));
    Result<Pairs> paired = pairsOf(rom, sources, stage, unit, a, b);
    if (!paired.ok())
        return paired.error();
    const Pairs& pairs = paired.value();

    Plan plan;
    const std::vector<std::uint8_t>& image = rom.stage(stage).image();
    const TileEdits& edits = rom.stage(stage).tileEdits();
    for (const auto& [offset, other] : pairs.partner)
        plan.bytes.emplace_back(offset, edits.byteAt(image, other));
    // The pattern data, before and after, of every stage copying any of the bytes and of
    // the stages sharing their chip tables.
    // A page's offsets run on one after another, so its range rules most pages out at once.
    constexpr int Page = 256;
    const auto pageTouched = [&](const PatternSources& its, int page) {
        const auto [low, high] =
            std::ranges::minmax(std::span(its.offsets).subspan(static_cast<std::size_t>(page), Page));
        const auto at = pairs.partner.lower_bound(low);
        return at != pairs.partner.end() && at->first <= high;
    };
    const auto swapped = [&](const PatternSources& its) {
        for (int page = 0; page < PatternDataLength; page += Page)
            if (pageTouched(its, page))
                for (int p = page; p < page + Page; ++p)
                    if (pairs.partner.contains(its.offsets[static_cast<std::size_t>(p)]))
                        return true;
        return false;
    };
    std::vector<std::unique_ptr<Drawn>> drawn(StageCount);
    const auto prepare = [&](int n) {
        auto& made = drawn[static_cast<std::size_t>(n)];
        if (made)
            return;
        made = std::make_unique<Drawn>();
        Drawn& d = *made;
        const PatternSources& its = sources[static_cast<std::size_t>(n)];
        workingPatternData(its, image, edits, d.before);
        d.after = d.before;
        for (int page = 0; page < PatternDataLength; page += Page) {
            if (!pageTouched(its, page))
                continue;
            for (int p = page; p < page + Page; ++p)
                if (const auto found = pairs.partner.find(its.offsets[static_cast<std::size_t>(p)]);
                    found != pairs.partner.end())
                    d.after[static_cast<std::size_t>(p)] = edits.byteAt(image, found->second);
        }
    };
    std::set<int> tables;
    for (int n = 0; n < StageCount; ++n) {
        if (!swapped(sources[static_cast<std::size_t>(n)]))
            continue;
        prepare(n);
        const Drawn& d = *drawn[static_cast<std::size_t>(n)];
        if (!std::equal(d.before.begin(), d.before.begin() + TileTableLength, d.after.begin()))
            return refusal("ステージ " + hex2(n) +
                               " はこのバイトをスプライトとして"
                               "描くため、入れ替えられません。",
                           "Stage " + hex2(n) + " draws these bytes as sprite tiles, which no chip entry renumbers.")
                .error();
        tables.insert(firstSharer(rom.addresses(), SharedGroup::Chips, n));
        if (n != stage)
            plan.change.drawing.push_back(n);
    }
    // Each chip table's entries name the chip showing, in every sharer, what theirs showed.
    for (const int table : tables) {
        const std::vector<int> sharers = stagesSharing(rom.addresses(), SharedGroup::Chips, table);
        std::ranges::for_each(sharers, prepare);
        const auto keeps = [&](int was, int now) {
            return std::ranges::all_of(sharers, [&](int n) {
                const Drawn& d = *drawn[static_cast<std::size_t>(n)];
                return std::ranges::equal(d.chip(true, now), d.chip(false, was));
            });
        };
        const auto piece = pairs.pieces.find(table);
        std::array<int, Chip16Count> renamed{};
        renamed.fill(-1);
        const std::vector<std::uint8_t>& entries = rom.stage(table).chip32x32();
        std::vector<std::pair<int, std::uint8_t>> changes;
        for (std::size_t position = 0; position < entries.size(); ++position) {
            const ChipEntry entry = ChipEntry::decode(entries[position]);
            int& now = renamed[static_cast<std::size_t>(entry.chip)];
            if (now < 0) {
                std::vector<int> candidates{entry.chip};
                if (unit == TileUnit::Chip16 && piece != pairs.pieces.end()) {
                    const auto [x, y] = piece->second;
                    candidates.push_back(entry.chip == x ? y : entry.chip == y ? x : entry.chip);
                }
                for (int c = 0; c < Chip16Count; ++c)
                    candidates.push_back(c);
                const auto found = std::ranges::find_if(candidates, [&](int c) { return keeps(entry.chip, c); });
                if (found == candidates.end())
                    return refusal("ステージ " + hex2(table) + " の 16x16 チップ " + hex2(entry.chip) +
                                       " の見た目が変わってしまい、"
                                       "同じ絵のチップもありません。",
                                   "Stage " + hex2(table) + "'s 16x16 chip " + hex2(entry.chip) +
                                       " would look different, and no 16x16 chip shows what it shows now.")
                        .error();
                now = *found;
            }
            if (now != entry.chip)
                changes.emplace_back(static_cast<int>(position), ChipEntry{entry.palette, now}.encode());
        }
        if (changes.empty())
            continue;
        plan.change.entries += static_cast<int>(changes.size());
        for (const int n : sharers)
            plan.change.stages.push_back(n);
        plan.entries[table] = std::move(changes);
    }
    std::ranges::sort(plan.change.stages);
    return plan;
}

} // namespace

Result<TileChange> previewTileSwap(const RomImage& rom, int stage, TileUnit unit, int a, int b)
{
    Result<Plan> plan = planOf(rom, stage, unit, a, b);
    if (!plan.ok())
        return plan.error();
    return plan.value().change;
}

Result<TileChange> swapTiles(RomImage& rom, int stage, TileUnit unit, int a, int b)
{
    Result<Plan> planned = planOf(rom, stage, unit, a, b);
    if (!planned.ok())
        return planned.error();
    const Plan& plan = planned.value();
    std::map<int, std::vector<int>> steps{{stage, {}}}; // owner: chip tables
    for (const auto& [table, changes] : plan.entries)
        steps[stepOwner(rom.addresses(), SharedGroup::Chips, table, stage)].push_back(table);
    std::vector<int> stepped;
    for (const auto& [owner, tables] : steps) {
        StageData& editor = rom.stage(owner);
        const EditGroup group(editor, ukTileSwap);
        if (owner == stage)
            editor.setTileBytes(plan.bytes);
        // The owner shares each of its tables, so its edits reach every sharer.
        for (const int table : tables)
            for (const auto& [position, entry] : plan.entries.at(table))
                editor.setChipEntry(position, entry);
        stepped.push_back(owner);
    }
    rom.joinLastSteps(stepped);
    return plan.change;
}

} // namespace vx
