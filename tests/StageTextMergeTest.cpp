// Three-way merge of stage texts: edits of different values merge, one value edited
// differently is a named conflict, and a text that still lists conflicts is not read.
#include "core/text/StageTextMerge.h"
#include "core/base/HexText.h"
#include "core/model/RomImage.h"
#include "tests/support/Images.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

class StageTextMergeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RomImage rom(test::defaultAddresses());
        ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
        base = ours = theirs = stageTextOf(rom, 6);
    }
    // Room 05, column x, row y, as the model holds the map.
    static std::uint8_t& cell(StageText& text, int x, int y) { return text.map[5 * RoomSize + x * RoomSide + y]; }
    StageTextMerge merged()
    {
        Result<StageTextMerge> merge = mergeStageTexts(base, ours, theirs);
        EXPECT_TRUE(merge.ok());
        return merge.ok() ? merge.value() : StageTextMerge{};
    }
    StageText base, ours, theirs;
};

TEST_F(StageTextMergeTest, EditsOfDifferentValuesMergeAndAgreeingEditsAreNoConflict)
{
    cell(ours, 1, 2) = 0x11;
    cell(theirs, 3, 4) = 0x22;
    ours.scroll[7] = theirs.scroll[7] = 0x33;
    theirs.restartPoints[2][4] ^= 0x01; // MapBackAddr
    StageTextMerge merge = merged();
    EXPECT_TRUE(merge.conflicts.empty());
    EXPECT_EQ(cell(merge.merged, 1, 2), 0x11);
    EXPECT_EQ(cell(merge.merged, 3, 4), 0x22);
    EXPECT_EQ(merge.merged.scroll[7], 0x33);
    EXPECT_EQ(merge.merged.restartPoints[2], theirs.restartPoints[2]);
    const Result<StageText> read = readStageText(stageTextMergeToJson(merge), "merged.json");
    ASSERT_TRUE(read.ok()) << read.error().text();
    EXPECT_TRUE(read.value().sameStage(merge.merged));
}

TEST_F(StageTextMergeTest, OneCellEditedDifferentlyIsNamedKeepsOursAndIsRefusedByTheReader)
{
    const std::uint8_t was = cell(base, 3, 2);
    cell(ours, 3, 2) = static_cast<std::uint8_t>(was + 1);
    cell(theirs, 3, 2) = static_cast<std::uint8_t>(was + 2);
    ours.chipEntries[4 * 0x1A + 2] ^= 0x01;
    theirs.chipEntries[4 * 0x1A + 2] ^= 0x02;
    StageTextMerge merge = merged();
    ASSERT_EQ(merge.conflicts.size(), 2u);
    EXPECT_EQ(merge.conflicts[0].rfind("stage 06 room 05 column 3 row 2: base ", 0), 0u) << merge.conflicts[0];
    EXPECT_EQ(merge.conflicts[1].rfind("stage 06 chip 1A quarter 2: ", 0), 0u) << merge.conflicts[1];
    EXPECT_EQ(cell(merge.merged, 3, 2), cell(ours, 3, 2));
    const Result<StageText> read = readStageText(stageTextMergeToJson(merge), "merged.json");
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().path, "/conflicts");
}

TEST_F(StageTextMergeTest, ObjectListsMergeRoomByRoom)
{
    ASSERT_GE(base.enemies.size(), 2u);
    const std::uint8_t roomA = base.enemies.front().room, roomB = base.enemies.back().room;
    ASSERT_NE(roomA, roomB);
    ours.enemies.front().x ^= 0x10;
    theirs.enemies.pop_back();
    theirs.enemies.insert(theirs.enemies.begin(), StageTextObject{0x2B, 1, 2, 3}); // a room later than any
    StageTextMerge merge = merged();
    EXPECT_TRUE(merge.conflicts.empty());
    std::vector<StageTextObject> expected = base.enemies;
    expected.front().x ^= 0x10;
    expected.pop_back();
    expected.push_back({0x2B, 1, 2, 3});
    EXPECT_EQ(merge.merged.enemies, expected);

    theirs.enemies.erase(theirs.enemies.begin() + 1); // and removes the object ours moved
    merge = merged();
    ASSERT_EQ(merge.conflicts.size(), 1u);
    EXPECT_NE(merge.conflicts[0].find("room " + formatHex(roomA, 2) + " enemies"), std::string::npos)
        << merge.conflicts[0];
}

} // namespace
