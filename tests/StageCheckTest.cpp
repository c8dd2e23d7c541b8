// The stage check: each fault built into the sample shows as exactly its own finding.
#include "core/model/StageCheck.h"
#include "core/base/HexText.h"
#include "core/model/ChipUsage.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "tests/support/Images.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vx;

namespace {

// Stage 06 of the sample shares no table, so its findings are its own.
constexpr int CheckedStage = 6;

using Lines = std::vector<std::string>;

Lines linesOf(const std::vector<Finding>& findings)
{
    Lines lines;
    for (const Finding& finding : findings)
        lines.push_back(findingLine(finding));
    return lines;
}

// Lines in `after` that `before` lacks, each as often as it is missing.
Lines without(Lines after, const Lines& before)
{
    for (const std::string& line : before)
        if (const auto at = std::find(after.begin(), after.end(), line); at != after.end())
            after.erase(at);
    return after;
}

class StageCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
        before = linesOf(checkStage(rom, CheckedStage));
    }
    StageData& stage() const { return rom.stage(CheckedStage); }
    // What the edits added; every finding of the sample must still be there.
    Lines added() const
    {
        const Lines after = linesOf(checkStage(rom, CheckedStage));
        EXPECT_EQ(without(before, after), Lines{}) << "a finding of the sample went away";
        return without(after, before);
    }
    // Moves a point with every value it derives, so only the rooms it covers change.
    void movePoint(int point, std::uint8_t room) const
    {
        stage().setRestartPointStartRoom(point, room);
        stage().recalcRestartPoint(point);
        const int entry = stage().restartPoints(point).startScroll;
        stage().setRestartPointField(
            point, mfRightRoom,
            static_cast<std::uint16_t>(std::min(room + (stage().scroll()[entry] & 0x0F), LastRoom)));
    }

    test::LanguageGuard english{Language::English};
    RomImage rom{test::defaultAddresses()};
    Lines before;
};

} // namespace

TEST(StageCheckTexts, LineNamesStageSeverityAndPlaceInBothLanguages)
{
    const Finding point{Severity::Warning, 3, FindingPlace::RestartPoint, 2, "EnemyIndex 05, recalculation gives 07"};
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(findingLine(point), "stage 03 warning restart point 2: EnemyIndex 05, recalculation gives 07");
        EXPECT_EQ(severityWord(Severity::Error), "error");
        EXPECT_EQ(severityWord(Severity::Note), "note");
        const std::pair<FindingPlace, int> places[] = {{FindingPlace::ScrollEntry, 5},
                                                       {FindingPlace::MapRoom, 0x1A},
                                                       {FindingPlace::ObjectRoom, 0x1A},
                                                       {FindingPlace::PaletteEntry, 3},
                                                       {FindingPlace::AnimationEntry, 0x21},
                                                       {FindingPlace::Chip, 0x3F},
                                                       {FindingPlace::Chip, -1},
                                                       {FindingPlace::AnimationFrames, -1},
                                                       {FindingPlace::EnemyList, -1},
                                                       {FindingPlace::ItemList, -1},
                                                       {FindingPlace::Stage, -1}};
        const Lines expected = {"scroll entry 05",     "room 1A",   "room 1A", "palette entry 03",
                                "animation colour 21", "chip 3F",   "chips",   "frame count",
                                "enemy list",          "item list", "stage"};
        Lines words;
        for (const auto& [place, index] : places)
            words.push_back(placeText(Finding{Severity::Note, 0, place, index, ""}));
        EXPECT_EQ(words, expected);
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(findingLine(point), "ステージ 03 警告 復帰地点 2: EnemyIndex 05, recalculation gives 07");
    EXPECT_EQ(placeText(Finding{Severity::Note, 0, FindingPlace::AnimationEntry, 0x21, ""}),
              "アニメーショ"
              "ン色 21");
}

TEST_F(StageCheck, SampleHasNotesOnlyAndAllStagesComeStageByStage)
{
    EXPECT_EQ(before,
              (Lines{"stage 06 note chips: 244 chips are used by no room",
                     "stage 06 note chips: 40 groups of equal chips (80 chips)"}));
    EXPECT_EQ(linesOf(checkStage(rom, 0)),
              (Lines{"stage 00 note chips: 244 chips are used by no room",
                     "stage 00 note chips: 40 groups of equal chips (80 chips)",
                     "stage 00 note stage: The chips, map, scroll entries, enemy list, item list and restart points "
                     "are shared with stage 08, so an edit here changes it too"}));
    Lines stageByStage;
    for (int stage = 0; stage < StageCount; ++stage) {
        const Lines lines = linesOf(checkStage(rom, stage));
        stageByStage.insert(stageByStage.end(), lines.begin(), lines.end());
        const auto covered = coveredRooms(rom.stage(stage));
        EXPECT_EQ(std::count(covered.begin(), covered.end(), true), RoomCount) << "stage " << stage;
    }
    EXPECT_EQ(linesOf(checkAllStages(rom)), stageByStage);
    EXPECT_EQ(stageByStage.size(), 12u * 3 + 2 * 2);
}

TEST_F(StageCheck, StartOutsideTheRoomsOrEntriesIsAnErrorAheadOfTheNotes)
{
    stage().setRestartPointStartRoom(2, 0x2C);
    stage().setRestartPointField(4, mfStartScroll, 0x20);
    EXPECT_EQ(added(),
              (Lines{"stage 06 error restart point 2: Start room 2C lies outside the stage's rooms (00-2B)",
                     "stage 06 error restart point 4: Start entry 20 lies outside the scroll entries (00-1F)"}));
    const auto findings = checkStage(rom, CheckedStage);
    EXPECT_EQ(findings[0].severity, Severity::Error);
    EXPECT_EQ(findings[1].severity, Severity::Error);
}

TEST_F(StageCheck, RestartPointValuesAgainstRecalculationAndScrollPath)
{
    stage().setRestartPointField(1, mfMapBackAddr, 0x8770); // room 0A: back 8760, enemies from 06
    stage().setRestartPointField(1, mfEnemyIndex, 0x08);
    stage().setRestartPointField(3, mfItemIndex, 0x05);
    stage().setRestartPointField(2, mfLeftRoom, 0x0F); // room 0E, entry 02 (43): rooms 0E-11
    stage().setRestartPointField(2, mfRightRoom, 0x12);
    EXPECT_EQ(added(),
              (Lines{"stage 06 warning restart point 1: MapBackAddr 8770, recalculation gives 8760; "
                     "EnemyIndex 08, recalculation gives 06",
                     "stage 06 warning restart point 3: ItemIndex 05, recalculation gives 04",
                     "stage 06 note restart point 2: LeftRoom 0F, the scroll path gives 0E; "
                     "RightRoom 12, the scroll path gives 11"}));
    const auto findings = checkStage(rom, CheckedStage);
    EXPECT_EQ(before.size() + 3, findings.size()) << "one finding per point";
    ASSERT_EQ(findings[0].fields.size(), 2u);
    EXPECT_EQ(findings[0].fields[1].field, "EnemyIndex");
    EXPECT_EQ(findings[0].fields[1].stored, 0x08u);
    EXPECT_EQ(findings[0].fields[1].recalculated, 0x06u);
    EXPECT_EQ(findings[2].fields[0].field, "LeftRoom");
}

TEST_F(StageCheck, Bit4CountsOnlyOnEntriesThePathPasses)
{
    // The path 29 43 43 2F 29 reaches room 2B with entry 04; entries from 05 on are never read.
    stage().setScrollData(1, 0x53);
    stage().setScrollData(7, 0x10);
    EXPECT_EQ(added(),
              (Lines{"stage 06 warning scroll entry 01: Value 53 has bit 4 set (shown as \"????\") "
                     "and lies on the path from the start point"}));
}

TEST_F(StageCheck, ColoursOutsideTheConsoleAndFrameCountsThePageLacks)
{
    stage().setPaletteColor(3, 0x40);
    stage().setPaletteColor(16 + 2, 0x50); // sprite entry 02
    stage().setPaletteAnimeColor(0x21, 0xFF);
    stage().setPaletteAnimeFrameCount(4);
    const Lines colours{"stage 06 warning palette entry 03: Colour 40 is not a console colour (00-3F)",
                        "stage 06 warning sprite palette entry 02: Colour 50 is not a console colour (00-3F)",
                        "stage 06 warning animation colour 21: Colour FF is not a console colour (00-3F)"};
    EXPECT_EQ(added(), colours) << "four frames are offered";
    stage().setPaletteAnimeFrameCount(5);
    EXPECT_EQ(added(),
              (Lines{colours[0], colours[1],
                     "stage 06 warning frame count: Frame count 05 is not one the palette page offers "
                     "(0-4), so the animation is off",
                     "stage 06 note animation colour 21: Colour FF is not a console colour (00-3F), but "
                     "the animation never shows its row"}));
}

TEST_F(StageCheck, RowsNeverShownAreNotedAndRepeatsMakeOneLine)
{
    stage().setPaletteAnimeFrameCount(2); // rows 0 and 1 are shown
    for (int cell = 0x03; cell < 0x20; cell += 4)
        stage().setPaletteAnimeColor(cell, static_cast<std::uint8_t>(cell < 0x10 ? 0x4F : 0x80));
    for (int cell = 0x20; cell < 0x40; ++cell)
        stage().setPaletteAnimeColor(cell, 0xFF);
    EXPECT_EQ(added(),
              (Lines{"stage 06 warning animation colours: Colours 4F, 80 are not console colours (00-3F), at "
                     "8 entries: 03, 07, 0B, 0F, 13, 17, 1B, 1F",
                     "stage 06 note animation colours: Colour FF is not a console colour (00-3F), but the "
                     "animation never shows their rows, at 32 entries: 20, 21, 22, 23, 24, 25, 26, 27, ..."}));
    const auto findings = checkStage(rom, CheckedStage);
    EXPECT_EQ(findings[0].index, 0x03);
    EXPECT_EQ(findings[0].count, 8);
    EXPECT_EQ(findings[1].count, 32);
    EXPECT_EQ(findings[1].indexes, (std::vector<int>{0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27}));
    stage().setPaletteAnimeFrameCount(0);
    EXPECT_TRUE(std::ranges::none_of(checkStage(rom, CheckedStage), [](const Finding& f) {
        return f.severity != Severity::Note;
    })) << "the animation is off";
}

TEST_F(StageCheck, RoomsWithObjectsBeforeEveryWalkAreNoted)
{
    movePoint(0, 0x03); // rooms 00-02 now lie before every point; 01 holds an enemy, 02 an item
    EXPECT_EQ(added(),
              (Lines{"stage 06 note rooms: 1 enemy and 1 item in 2 rooms no restart point's path passes: 01, 02"}));
    const Finding first = checkStage(rom, CheckedStage).front();
    EXPECT_EQ(first.place, FindingPlace::ObjectRoom);
    EXPECT_EQ(first.index, 1);
    EXPECT_EQ(first.indexes, (std::vector<int>{1, 2}));

    stage().setRestartPointStartRoom(0, 0x2C); // walks nowhere: point 1 at 0A is the first
    const auto covered = coveredRooms(stage());
    EXPECT_EQ(std::find(covered.begin(), covered.end(), true) - covered.begin(), 0x0A);
    EXPECT_TRUE(std::all_of(covered.begin() + 0x0A, covered.end(), [](bool c) { return c; }));
}

TEST_F(StageCheck, FullObjectListsAreNoted)
{
    // Room 2B lies past every start room, so no first object number moves.
    for (const StageObjects* objects : {&stage().enemyObjects(), &stage().itemObjects()})
        while (stage().addObject(*objects, {LastRoom, 0x10, 0x10, 0}, false))
            ;
    EXPECT_EQ(added(),
              (Lines{"stage 06 note enemy list: All 128 places are taken, so nothing more can be added",
                     "stage 06 note item list: All 32 places are taken, so nothing more can be added"}));
}

TEST_F(StageCheck, ChipCountsFollowTheMapAndTheChips)
{
    const auto unused = unusedChips(stage().map());
    stage().setMapChip(0, static_cast<std::uint8_t>(unused.front()));

    // Two chips in no group made equal: one more group of two.
    std::vector<int> alone;
    const auto groups = equalChipGroups(stage().chip32x32(), stage().chip32x32Attribute());
    for (int chip = 0; chip < ChipCount && alone.size() < 2; ++chip)
        if (std::none_of(groups.begin(), groups.end(), [&](const auto& g) { return std::ranges::count(g, chip) > 0; }))
            alone.push_back(chip);
    ASSERT_EQ(alone.size(), 2u);
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[k] = stage().chip32x32()[4 * static_cast<std::size_t>(alone[0]) + k];
        bytes[k + 4] = stage().chip32x32Attribute()[4 * static_cast<std::size_t>(alone[0]) + k];
    }
    stage().setChip(4 * alone[1], bytes);

    const Lines after = linesOf(checkStage(rom, CheckedStage));
    EXPECT_EQ(without(after, before),
              (Lines{"stage 06 note chips: 243 chips are used by no room",
                     "stage 06 note chips: 41 groups of equal chips (82 chips)"}));
    EXPECT_EQ(after.size(), before.size());
}

TEST(StageCheckSharing, EveryStageWithTheSameAddressIsNamed)
{
    const test::LanguageGuard english(Language::English);
    const std::string map0 = formatHex(static_cast<std::uint32_t>(test::defaultAddresses().address(TableKey::Map, 0)));
    const auto addresses = test::addressesFrom("[LevelDataAddress]\nMap[6]=" + map0 + "\n");
    RomImage rom(*addresses);
    ASSERT_TRUE(rom.loadFromBytes(test::sampleBytes(), "sample.nes").ok());
    const Lines lines = linesOf(checkStage(rom, 0));
    const Lines sharing{"stage 00 note stage: The map is shared with stage 06, so an edit here changes it too",
                        "stage 00 note stage: The chips, map, scroll entries, enemy list, item list and restart "
                        "points are shared with stage 08, so an edit here changes it too"};
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), sharing) << "one note per other stage";
    EXPECT_EQ(std::ranges::count(linesOf(checkStage(rom, 6)),
                                 "stage 06 note stage: The map is shared with stage 08, "
                                 "so an edit here changes it too"),
              1);
}
