// The comparison of two images: each change named where the pages show it, a shared table
// once, the bytes of no table as ranges.
#include "core/model/ImageDiff.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <tuple>

using namespace vx;

namespace {

using Key = TableKey;
std::int64_t at(Key key, int stage) { return test::defaultAddresses().address(key, stage); }
constexpr std::uint16_t stageBits(int stage) { return static_cast<std::uint16_t>(1u << stage); }

// The sample, and a copy with bytes flipped.
struct Images {
    std::vector<std::uint8_t> before = test::sampleBytes(), after = test::sampleBytes();
    std::uint8_t was(std::int64_t address) const { return before.at(static_cast<std::size_t>(address)); }
    void flip(std::int64_t address, std::uint8_t bits) { after.at(static_cast<std::size_t>(address)) ^= bits; }
    void set(std::int64_t address, std::uint8_t value) { after.at(static_cast<std::size_t>(address)) = value; }
    ImageDiff diff(int stage = -1, const AddressData& addresses = test::defaultAddresses()) const
    {
        return diffImages(before, after, addresses, stage);
    }
};

auto fieldsOf(const Difference& d)
{
    return std::tuple(static_cast<int>(d.part), static_cast<int>(d.kind), d.stages, d.room, d.column, d.row, d.index,
                      d.quarter, d.field, d.before, d.after, d.first, d.last, d.count);
}
auto fieldsOf(const std::vector<Difference>& list)
{
    std::vector<decltype(fieldsOf(Difference{}))> fields;
    for (const Difference& d : list)
        fields.push_back(fieldsOf(d));
    return fields;
}

int listLength(const std::vector<std::uint8_t>& image, std::int64_t rooms)
{
    int length = 0;
    while (image.at(static_cast<std::size_t>(rooms + length)) < 0x2C)
        ++length;
    return length;
}

} // namespace

TEST(ImageDiff, EachChangeIsNamedWhereThePagesShowIt)
{
    Images images;
    const std::int64_t cell = at(Key::Map, 3) + 5 * 64 + 2 * 8 + 3; // room 05, column 2, row 3
    const std::int64_t quarter = at(Key::Chip32x32, 1) + 4 * 0x1A + 1;
    const std::int64_t palette = at(Key::Chip32x32Palette, 1) + 0x1A,
                       forward = at(Key::MidPointMapForwardAddrLow, 2) + 4;
    const std::int64_t animation = at(Key::PaletteAnimePalette, 6) + 0x21, scroll = at(Key::Scroll, 2) + 3;
    images.flip(cell, 0x30);
    images.flip(quarter, 0x41);   // the 16x16 chip and the attribute of the bottom left quarter
    images.flip(palette, 0x10);   // the bottom left quarter's sub-palette, bits 4-5
    images.flip(forward, 0x01);   // a word of two tables
    images.flip(animation, 0x01); // row 2, entry 1
    images.flip(scroll, 0x20);
    const auto word = [&](const std::vector<std::uint8_t>& image) {
        return static_cast<std::uint32_t>(image[forward - 6] << 8 | image[forward]);
    };
    const std::uint32_t chip = images.was(quarter) & 0x3F, attribute = images.was(quarter) >> 6;
    const std::uint32_t subPalette = images.was(palette) >> 4 & 3;
    const std::vector<Difference> expected{
        {.part = DiffPart::Map,
         .stages = 0x0808,
         .room = 5,
         .column = 2,
         .row = 3,
         .before = images.was(cell),
         .after = images.was(cell) ^ 0x30u},
        {.part = DiffPart::Chips,
         .stages = 0x0202,
         .index = 0x1A,
         .quarter = 1,
         .field = cfChip,
         .before = chip,
         .after = chip ^ 1},
        {.part = DiffPart::Chips,
         .stages = 0x0202,
         .index = 0x1A,
         .quarter = 1,
         .field = cfSubPalette,
         .before = subPalette,
         .after = subPalette ^ 1},
        {.part = DiffPart::Chips,
         .stages = 0x0202,
         .index = 0x1A,
         .quarter = 1,
         .field = cfAttribute,
         .before = attribute,
         .after = attribute ^ 1},
        {.part = DiffPart::RestartPoints,
         .stages = 0x0404,
         .index = 4,
         .field = 5,
         .before = word(images.before),
         .after = word(images.after)},
        {.part = DiffPart::Scroll,
         .stages = 0x0404,
         .index = 3,
         .before = images.was(scroll),
         .after = images.was(scroll) ^ 0x20u},
        {.part = DiffPart::AnimationColours,
         .stages = stageBits(6),
         .row = 2,
         .index = 1,
         .before = images.was(animation),
         .after = images.was(animation) ^ 1u},
    };
    // Sorted as listed: by lowest stage, then in page order.
    auto sorted = expected;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Difference& a, const Difference& b) {
        return std::countr_zero(a.stages) < std::countr_zero(b.stages);
    });
    EXPECT_EQ(fieldsOf(images.diff().differences), fieldsOf(sorted));
}

TEST(ImageDiff, SharedTablesOnceAndOneStageAlone)
{
    Images images;
    images.flip(at(Key::Map, 3), 1);        // read by 03 and 0B
    images.flip(at(Key::BGPalette, 11), 1); // 0B's own
    images.flip(at(Key::BGPalette, 3), 1);  // 03's own
    images.flip(0x2000, 1);                 // no table's
    const auto parts = [](const ImageDiff& diff) {
        std::vector<std::pair<DiffPart, std::uint16_t>> list;
        for (const Difference& d : diff.differences)
            list.emplace_back(d.part, d.stages);
        return list;
    };
    using List = std::vector<std::pair<DiffPart, std::uint16_t>>;
    EXPECT_EQ(parts(images.diff()),
              (List{{DiffPart::Map, 0x0808},
                    {DiffPart::BackgroundPalette, stageBits(3)},
                    {DiffPart::BackgroundPalette, stageBits(11)},
                    {DiffPart::OutsideBytes, 0}}));
    EXPECT_EQ(parts(images.diff(11)), (List{{DiffPart::Map, 0x0808}, {DiffPart::BackgroundPalette, stageBits(11)}}));
    // Sharing follows the settings, not the stage numbers.
    const auto apart = test::addressesFrom("[LevelDataAddress]\nMap[11]=20010\n");
    EXPECT_EQ(parts(images.diff(3, *apart)),
              (List{{DiffPart::Map, stageBits(3)}, {DiffPart::BackgroundPalette, stageBits(3)}}));
    EXPECT_EQ(stagesOf(0x0808), (std::vector<int>{3, 11}));
}

TEST(ImageDiff, ObjectsByIndexWithTheEndsOfTheLists)
{
    Images images;
    const std::int64_t enemies = at(Key::EnemyObjectRoom, 6), items = at(Key::ItemObjectRoom, 6);
    const int enemyCount = listLength(images.before, enemies), itemCount = listLength(images.before, items);
    ASSERT_GT(enemyCount, 1);
    ASSERT_LT(itemCount, 31);
    images.flip(at(Key::EnemyObjectX, 6), 0x08);
    images.set(enemies + enemyCount - 1, 0xFF);        // the last enemy removed
    images.set(items + itemCount, 0x02);               // an item added in room 02
    images.flip(at(Key::EnemyObjectKind, 6) + 200, 1); // past every list
    const auto& d = images.diff().differences;
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(
        std::tuple(d[0].kind, d[0].index, d[0].objectAfter.x),
        std::tuple(DiffKind::ObjectChanged, 0, static_cast<std::uint8_t>(images.was(at(Key::EnemyObjectX, 6)) ^ 8)));
    EXPECT_EQ(std::tuple(d[1].kind, d[1].index, d[1].objectBefore.room),
              std::tuple(DiffKind::ObjectRemoved, enemyCount - 1, images.was(enemies + enemyCount - 1)));
    EXPECT_EQ(std::tuple(d[2].kind, d[2].count), std::tuple(DiffKind::BytesPastObjects, std::int64_t{1}));
    EXPECT_EQ(std::tuple(d[3].part, d[3].kind, d[3].index, d[3].objectAfter.room),
              std::tuple(DiffPart::Items, DiffKind::ObjectAdded, itemCount, std::uint8_t{2}));
}

TEST(ImageDiff, BytesOfNoTableAsRangesAndLengths)
{
    Images images;
    const std::int64_t mapEnd = at(Key::Map, 0) + 44 * 64; // bank 0 holds no table from here to its scroll
    for (std::int64_t address : {std::int64_t{4}, mapEnd - 1, mapEnd, std::int64_t{0x2000}, 0x2000 + OutsideRangeGap,
                                 0x2001 + 2 * OutsideRangeGap})
        images.flip(address, 1);
    const std::vector<Difference> expected{
        {.part = DiffPart::Map,
         .stages = 0x0101,
         .room = 43,
         .column = 7,
         .row = 7,
         .before = images.was(mapEnd - 1),
         .after = images.was(mapEnd - 1) ^ 1u},
        {.part = DiffPart::Header, .index = 4, .before = 0x10, .after = 0x11},
        {.part = DiffPart::OutsideBytes,
         .kind = DiffKind::ByteRange,
         .before = images.was(mapEnd),
         .after = images.was(mapEnd) ^ 1u,
         .first = mapEnd,
         .last = mapEnd,
         .count = 1},
        {.part = DiffPart::OutsideBytes,
         .kind = DiffKind::ByteRange,
         .before = images.was(0x2000),
         .after = images.was(0x2000) ^ 1u,
         .first = 0x2000,
         .last = 0x2010,
         .count = 2},
        {.part = DiffPart::OutsideBytes,
         .kind = DiffKind::ByteRange,
         .before = images.was(0x2021),
         .after = images.was(0x2021) ^ 1u,
         .first = 0x2021,
         .last = 0x2021,
         .count = 1},
    };
    EXPECT_EQ(fieldsOf(images.diff().differences), fieldsOf(expected));

    // A longer image: what both hold is compared; a table reaching past the shorter end is not.
    Images longer;
    longer.after.resize(longer.before.size() + 0x4000, 0xEE);
    EXPECT_TRUE(longer.diff().imagesDiffer());
    EXPECT_TRUE(longer.diff().differences.empty());
    const auto far = test::addressesFrom("[LevelDataAddress]\nMap[13]=3FA00\n");
    const auto pastEnd = longer.diff(-1, *far).differences;
    ASSERT_EQ(pastEnd.size(), 1u);
    EXPECT_EQ(std::tuple(pastEnd[0].part, pastEnd[0].kind, pastEnd[0].stages),
              std::tuple(DiffPart::Map, DiffKind::PartPastEnd, stageBits(13)));
    EXPECT_FALSE(Images{}.diff().imagesDiffer());
}
