#include "core/model/ImageDiff.h"

#include "core/model/ChipEntry.h"
#include "core/model/ImageAccess.h"
#include "core/model/RomImage.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace vx {
namespace {

using Bytes = std::span<const std::uint8_t>;

// Every part's tables follow each other in TableKey's order.
struct PartTables {
    DiffPart part;
    TableKey firstKey;
    int keyCount;
};
constexpr std::array<PartTables, StagePartCount> Parts{{
    {DiffPart::Map, TableKey::Map, 1},
    {DiffPart::BackgroundPalette, TableKey::BGPalette, 1},
    {DiffPart::SpritePalette, TableKey::SpritePalette, 1},
    {DiffPart::AnimationFrameCount, TableKey::PaletteAnimeFrameCount, 1},
    {DiffPart::AnimationFrameTimer, TableKey::PaletteAnimeFrameTimer, 1},
    {DiffPart::AnimationColours, TableKey::PaletteAnimePalette, 1},
    {DiffPart::PatternTable, TableKey::PatternTableSetting, 1},
    {DiffPart::Chips, TableKey::Chip32x32, 2},
    {DiffPart::Enemies, TableKey::EnemyObjectRoom, 4},
    {DiffPart::Items, TableKey::ItemObjectRoom, 4},
    {DiffPart::RestartPoints, TableKey::MidPointStartY, RestartPointTableCount},
    {DiffPart::Scroll, TableKey::Scroll, 1},
}};
constexpr int MostPartTables = RestartPointTableCount;

TableKey keyAt(const PartTables& part, int k) { return static_cast<TableKey>(static_cast<int>(part.firstKey) + k); }

// Where quarter k's sub-palette sits in a Chip32x32Palette byte (quarters TL, BL, TR, BR),
// as StageData reads it.
constexpr std::array<int, 4> QuarterPaletteShift{0, 4, 2, 6};

// The first of each restart-point value in RestartPointBytes; the two words take two bytes.
constexpr std::array<int, RestartPointFieldCount> RestartPointFieldByte{0, 1, 2, 3, 4, 6, 8, 9, 10};

bool sameAddresses(const AddressData& addresses, const PartTables& part, int one, int other)
{
    for (int k = 0; k < part.keyCount; ++k)
        if (addresses.address(keyAt(part, k), one) != addresses.address(keyAt(part, k), other))
            return false;
    return true;
}

// The first index from `from` below `to` where the two differ, or `to`.
std::int64_t nextDiffering(Bytes before, Bytes after, std::int64_t from, std::int64_t to)
{
    constexpr std::int64_t Block = 256;
    while (from + Block <= to && std::memcmp(before.data() + from, after.data() + from, Block) == 0)
        from += Block;
    while (from < to && before[static_cast<std::size_t>(from)] == after[static_cast<std::size_t>(from)])
        ++from;
    return from;
}

class Comparison {
public:
    // before and after cut to the length both hold.
    Comparison(Bytes before, Bytes after, bool lengthsDiffer, const AddressData& addresses,
               std::vector<Difference>& out)
        : before_(before), after_(after), lengthsDiffer_(lengthsDiffer), addresses_(addresses), out_(out)
    {
    }

    void comparePart(const PartTables& part, int stage, std::uint16_t stages);
    void compareOutside();

private:
    struct Tables {
        std::array<Bytes, MostPartTables> before, after;
    };

    Difference& add(DiffKind kind = DiffKind::Value)
    {
        Difference& difference = out_.emplace_back();
        difference.part = part_;
        difference.kind = kind;
        difference.stages = stages_;
        return difference;
    }
    void value(int index, std::uint32_t before, std::uint32_t after)
    {
        Difference& difference = add();
        difference.index = index;
        difference.before = before;
        difference.after = after;
    }
    void compareBytes(Bytes before, Bytes after);
    void compareMap(Bytes before, Bytes after);
    void compareAnimation(Bytes before, Bytes after);
    void compareChips(const Tables& tables);
    void compareObjects(const Tables& tables, int capacity);
    void compareRestartPoints(const Tables& tables);
    void headerBytes(std::int64_t from, std::int64_t to);
    void outsideRanges(std::int64_t from, std::int64_t to);

    Bytes before_, after_;
    bool lengthsDiffer_;
    const AddressData& addresses_;
    std::vector<Difference>& out_;
    DiffPart part_ = DiffPart::Map;
    std::uint16_t stages_ = 0;
};

void Comparison::comparePart(const PartTables& part, int stage, std::uint16_t stages)
{
    part_ = part.part;
    stages_ = stages;
    const auto common = static_cast<std::int64_t>(before_.size());
    Tables tables;
    bool inside = true, differ = false;
    for (int k = 0; k < part.keyCount; ++k) {
        const TableKey key = keyAt(part, k);
        const std::int64_t address = addresses_.address(key, stage), length = infoOf(key).length;
        // Whatever lies past the shorter image's end cannot be told apart.
        const std::int64_t from = std::clamp<std::int64_t>(address, 0, common);
        const std::int64_t to = std::clamp<std::int64_t>(address + length, 0, common);
        inside = inside && rangeInside(address, length, common);
        differ = differ || nextDiffering(before_, after_, from, to) < to;
        if (inside) {
            tables.before[k] = before_.subspan(static_cast<std::size_t>(address), static_cast<std::size_t>(length));
            tables.after[k] = after_.subspan(static_cast<std::size_t>(address), static_cast<std::size_t>(length));
        }
    }
    if (!inside) {
        if (differ || lengthsDiffer_)
            add(DiffKind::PartPastEnd);
        return;
    }
    if (!differ)
        return;
    switch (part.part) {
    case DiffPart::Map: compareMap(tables.before[0], tables.after[0]); break;
    case DiffPart::AnimationColours: compareAnimation(tables.before[0], tables.after[0]); break;
    case DiffPart::Chips: compareChips(tables); break;
    case DiffPart::Enemies: compareObjects(tables, EnemyCapacity); break;
    case DiffPart::Items: compareObjects(tables, ItemCapacity); break;
    case DiffPart::RestartPoints: compareRestartPoints(tables); break;
    default: compareBytes(tables.before[0], tables.after[0]); break;
    }
}

void Comparison::compareBytes(Bytes before, Bytes after)
{
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            value(static_cast<int>(i), before[i], after[i]);
}

void Comparison::compareMap(Bytes before, Bytes after)
{
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        // The image holds a room column by column.
        const int cell = static_cast<int>(i) % RoomSize;
        Difference& difference = add();
        difference.room = static_cast<int>(i) / RoomSize;
        difference.column = cell / RoomSide;
        difference.row = cell % RoomSide;
        difference.before = before[i];
        difference.after = after[i];
    }
}

void Comparison::compareAnimation(Bytes before, Bytes after)
{
    constexpr int RowLength = 16;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        value(static_cast<int>(i) % RowLength, before[i], after[i]);
        out_.back().row = static_cast<int>(i) / RowLength;
    }
}

void Comparison::compareChips(const Tables& tables)
{
    const Bytes quarters[2] = {tables.before[0], tables.after[0]};
    const Bytes palettes[2] = {tables.before[1], tables.after[1]};
    for (int chip = 0; chip < ChipCount; ++chip) {
        const auto c = static_cast<std::size_t>(chip);
        for (int k = 0; k < 4; ++k) {
            const std::size_t at = 4 * c + static_cast<std::size_t>(k);
            const ImageChipByte was = ImageChipByte::decode(quarters[0][at]);
            const ImageChipByte is = ImageChipByte::decode(quarters[1][at]);
            const int paletteWas = (palettes[0][c] >> QuarterPaletteShift[k]) & 3;
            const int paletteIs = (palettes[1][c] >> QuarterPaletteShift[k]) & 3;
            const std::pair<int, int> fields[3] = {
                {was.chip, is.chip}, {paletteWas, paletteIs}, {was.attribute, is.attribute}};
            for (int field = cfChip; field <= cfAttribute; ++field) {
                const auto [from, to] = fields[field];
                if (from == to)
                    continue;
                value(chip, static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to));
                out_.back().quarter = k;
                out_.back().field = field;
            }
        }
    }
}

void Comparison::compareObjects(const Tables& tables, int capacity)
{
    // As StageObjects reads a list: up to the first room past the stage's rooms, or full.
    auto lengthOf = [capacity](Bytes rooms) {
        int length = 0;
        while (length < capacity && static_cast<std::size_t>(length) < rooms.size() &&
               rooms[static_cast<std::size_t>(length)] < RoomCount)
            ++length;
        return length;
    };
    auto objectAt = [](const std::array<Bytes, MostPartTables>& list, int i) {
        const auto at = static_cast<std::size_t>(i);
        return ObjectValue{list[0][at], list[1][at], list[2][at], list[3][at]};
    };
    const int lengthBefore = lengthOf(tables.before[0]), lengthAfter = lengthOf(tables.after[0]);
    const int longer = std::max(lengthBefore, lengthAfter);
    for (int i = 0; i < longer; ++i) {
        const bool was = i < lengthBefore, is = i < lengthAfter;
        const ObjectValue from = was ? objectAt(tables.before, i) : ObjectValue{};
        const ObjectValue to = is ? objectAt(tables.after, i) : ObjectValue{};
        if (was && is && from == to)
            continue;
        Difference& difference = add(!was      ? DiffKind::ObjectAdded
                                         : !is ? DiffKind::ObjectRemoved
                                               : DiffKind::ObjectChanged);
        difference.index = i;
        difference.objectBefore = from;
        difference.objectAfter = to;
    }
    // Bytes no list reads: told as a count, so equal lists never hide a difference.
    std::int64_t past = 0;
    for (int k = 0; k < 4; ++k)
        for (std::size_t i = static_cast<std::size_t>(longer); i < tables.before[k].size(); ++i)
            past += tables.before[k][i] != tables.after[k][i];
    if (past > 0)
        add(DiffKind::BytesPastObjects).count = past;
}

void Comparison::compareRestartPoints(const Tables& tables)
{
    for (int point = 0; point < RestartPointCount; ++point) {
        const auto p = static_cast<std::size_t>(point);
        for (int field = 0; field < RestartPointFieldCount; ++field) {
            const auto byte = static_cast<std::size_t>(RestartPointFieldByte[static_cast<std::size_t>(field)]);
            auto valueIn = [&](const std::array<Bytes, MostPartTables>& points) {
                const std::uint32_t first = points[byte][p];
                return restartPointFieldIsWord(field) ? first << 8 | points[byte + 1][p] : first;
            };
            const std::uint32_t from = valueIn(tables.before), to = valueIn(tables.after);
            if (from == to)
                continue;
            value(point, from, to);
            out_.back().field = field;
        }
    }
}

void Comparison::compareOutside()
{
    const auto common = static_cast<std::int64_t>(before_.size());
    std::vector<std::pair<std::int64_t, std::int64_t>> tables;
    tables.reserve(StageCount * TableKeyCount);
    for (int stage = 0; stage < StageCount; ++stage)
        for (int k = 0; k < TableKeyCount; ++k) {
            const auto key = static_cast<TableKey>(k);
            const std::int64_t address = addresses_.address(key, stage);
            const std::int64_t from = std::clamp<std::int64_t>(address, 0, common);
            const std::int64_t to = std::clamp<std::int64_t>(address + infoOf(key).length, 0, common);
            if (from < to)
                tables.emplace_back(from, to);
        }
    std::sort(tables.begin(), tables.end());
    stages_ = 0;
    // Each stretch between tables: the header's bytes one by one, then ranges.
    constexpr std::int64_t HeaderEnd = HeaderSize;
    auto gap = [&](std::int64_t from, std::int64_t to) {
        headerBytes(from, std::min(to, HeaderEnd));
        outsideRanges(std::max(from, HeaderEnd), to);
    };
    std::int64_t at = 0;
    for (const auto& [from, to] : tables) {
        if (from > at)
            gap(at, from);
        at = std::max(at, to);
    }
    if (at < common)
        gap(at, common);
}

void Comparison::headerBytes(std::int64_t from, std::int64_t to)
{
    part_ = DiffPart::Header;
    for (std::int64_t i = nextDiffering(before_, after_, from, to); i < to;
         i = nextDiffering(before_, after_, i + 1, to))
        value(static_cast<int>(i), before_[static_cast<std::size_t>(i)], after_[static_cast<std::size_t>(i)]);
}

void Comparison::outsideRanges(std::int64_t from, std::int64_t to)
{
    part_ = DiffPart::OutsideBytes;
    std::int64_t i = nextDiffering(before_, after_, from, to);
    while (i < to) {
        Difference& range = add(DiffKind::ByteRange);
        range.first = range.last = i;
        range.count = 1;
        range.before = before_[static_cast<std::size_t>(i)];
        range.after = after_[static_cast<std::size_t>(i)];
        for (i = nextDiffering(before_, after_, i + 1, to); i < to && i - range.last <= OutsideRangeGap;
             i = nextDiffering(before_, after_, i + 1, to)) {
            range.last = i;
            ++range.count;
        }
    }
}

} // namespace

bool restartPointFieldIsWord(int field) { return field == 4 || field == 5; } // MapBackAddr, MapForwardAddr

ImageDiff diffImages(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
                     const AddressData& addresses, int onlyStage)
{
    ImageDiff diff;
    diff.beforeSize = static_cast<std::int64_t>(before.size());
    diff.afterSize = static_cast<std::int64_t>(after.size());
    const std::size_t common = std::min(before.size(), after.size());
    Comparison comparison(before.first(common), after.first(common), before.size() != after.size(), addresses,
                          diff.differences);
    for (int stage = 0; stage < StageCount; ++stage)
        for (const PartTables& part : Parts) {
            bool earlier = false;
            std::uint16_t stages = 0;
            for (int other = 0; other < StageCount; ++other)
                if (sameAddresses(addresses, part, stage, other)) {
                    earlier = earlier || other < stage;
                    stages = static_cast<std::uint16_t>(stages | 1u << other);
                }
            if (earlier || (onlyStage >= 0 && !(stages & 1u << onlyStage)))
                continue;
            comparison.comparePart(part, stage, stages);
        }
    if (onlyStage < 0)
        comparison.compareOutside();
    return diff;
}

std::vector<int> stagesOf(std::uint16_t stages)
{
    std::vector<int> list;
    for (int stage = 0; stage < StageCount; ++stage)
        if (stages & 1u << stage)
            list.push_back(stage);
    return list;
}

} // namespace vx
