// The stage check: each fault built into the sample shows as exactly its own finding.
#include "core/ChipUsage.h"
#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "core/StageCheck.h"
#include "core/VxObject.h"
#include "tests/support/Images.h"
#include "tests/support/LanguageGuard.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vx;

namespace {

// Stage 06 of the sample shares no table, so its findings are its own.
constexpr int CheckedStage = 6;

using Lines = std::vector<std::string>;

Lines LinesOf(const std::vector<TFinding>& findings)
{
    Lines lines;
    for (const TFinding& finding : findings)
        lines.push_back(FindingLine(finding));
    return lines;
}

// Lines in `after` that `before` lacks, each as often as it is missing.
Lines Without(Lines after, const Lines& before)
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
        ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "sample.nes"));
        before = LinesOf(CheckStage(rom, CheckedStage));
    }
    TStageData& Stage() const { return rom.Stage(CheckedStage); }
    // What the edits added; every finding of the sample must still be there.
    Lines Added() const
    {
        const Lines after = LinesOf(CheckStage(rom, CheckedStage));
        EXPECT_EQ(Without(before, after), Lines{}) << "a finding of the sample went away";
        return Without(after, before);
    }
    // Moves a point with every value it derives, so only the rooms it covers change.
    void MovePoint(int point, std::uint8_t room) const
    {
        TMidPoint& p = Stage().MidPoints(point);
        p.SetStartRoom(room);
        p.Recalc();
        p.RightRoom = static_cast<std::uint8_t>(std::min(room + (Stage().Scroll()[p.StartScroll] & 0x0F), LastRoom));
    }

    test::LanguageGuard english{Language::English};
    TRomImgManager rom{test::DefaultAddresses()};
    Lines before;
};

} // namespace

TEST(StageCheckTexts, LineNamesStageSeverityAndPlaceInBothLanguages)
{
    const TFinding point{TSeverity::Warning, 3, TFindingPlace::RestartPoint, 2, "EnemyIndex 05, recalculation gives 07"};
    {
        test::LanguageGuard english(Language::English);
        EXPECT_EQ(FindingLine(point), "stage 03 warning restart point 2: EnemyIndex 05, recalculation gives 07");
        EXPECT_EQ(SeverityWord(TSeverity::Error), "error");
        EXPECT_EQ(SeverityWord(TSeverity::Note), "note");
        const std::pair<TFindingPlace, int> places[] = {
            {TFindingPlace::ScrollEntry, 5},     {TFindingPlace::MapRoom, 0x1A},    {TFindingPlace::ObjectRoom, 0x1A},
            {TFindingPlace::PaletteEntry, 3},    {TFindingPlace::AnimationEntry, 0x21}, {TFindingPlace::Chip, 0x3F},
            {TFindingPlace::Chip, -1},           {TFindingPlace::AnimationFrames, -1}, {TFindingPlace::EnemyList, -1},
            {TFindingPlace::ItemList, -1},       {TFindingPlace::Stage, -1}};
        const Lines expected = {"scroll entry 05", "room 1A", "room 1A", "palette entry 03", "animation colour 21",
                                "chip 3F", "chips", "frame count", "enemy list", "item list", "stage"};
        Lines words;
        for (const auto& [place, index] : places)
            words.push_back(PlaceText(TFinding{TSeverity::Note, 0, place, index, ""}));
        EXPECT_EQ(words, expected);
    }
    test::LanguageGuard japanese(Language::Japanese);
    EXPECT_EQ(FindingLine(point), "ステージ 03 警告 復帰地点 2: EnemyIndex 05, recalculation gives 07");
    EXPECT_EQ(PlaceText(TFinding{TSeverity::Note, 0, TFindingPlace::AnimationEntry, 0x21, ""}), "アニメーション色 21");
}

TEST_F(StageCheck, SampleHasNotesOnlyAndAllStagesComeStageByStage)
{
    EXPECT_EQ(before, (Lines{"stage 06 note chips: 244 chips are used by no room",
                             "stage 06 note chips: 40 groups of equal chips (80 chips)"}));
    EXPECT_EQ(LinesOf(CheckStage(rom, 0)),
              (Lines{"stage 00 note chips: 244 chips are used by no room",
                     "stage 00 note chips: 40 groups of equal chips (80 chips)",
                     "stage 00 note stage: The chips are shared with stage 08, so an edit here changes it too",
                     "stage 00 note stage: The map is shared with stage 08, so an edit here changes it too",
                     "stage 00 note stage: The scroll entries are shared with stage 08, so an edit here changes it too",
                     "stage 00 note stage: The enemy list is shared with stage 08, so an edit here changes it too",
                     "stage 00 note stage: The item list is shared with stage 08, so an edit here changes it too",
                     "stage 00 note stage: The restart points are shared with stage 08, so an edit here changes it too"}));
    Lines stageByStage;
    for (int stage = 0; stage < StageCount; ++stage) {
        const Lines lines = LinesOf(CheckStage(rom, stage));
        stageByStage.insert(stageByStage.end(), lines.begin(), lines.end());
        const auto covered = CoveredRooms(rom.Stage(stage));
        EXPECT_EQ(std::count(covered.begin(), covered.end(), true), RoomCount) << "stage " << stage;
    }
    EXPECT_EQ(LinesOf(CheckAllStages(rom)), stageByStage);
    EXPECT_EQ(stageByStage.size(), 12u * 8 + 2 * 2);
}

TEST_F(StageCheck, StartOutsideTheRoomsOrEntriesIsAnErrorAheadOfTheNotes)
{
    Stage().MidPoints(2).SetStartRoom(0x2C);
    Stage().MidPoints(4).StartScroll = 0x20;
    EXPECT_EQ(Added(), (Lines{"stage 06 error restart point 2: Start room 2C lies outside the stage's rooms (00-2B)",
                              "stage 06 error restart point 4: Start entry 20 lies outside the scroll entries (00-1F)"}));
    const auto findings = CheckStage(rom, CheckedStage);
    EXPECT_EQ(findings[0].severity, TSeverity::Error);
    EXPECT_EQ(findings[1].severity, TSeverity::Error);
}

TEST_F(StageCheck, RestartPointValuesAgainstRecalculationAndScrollPath)
{
    TMidPoint& one = Stage().MidPoints(1); // room 0A: back 8760, enemies from 06
    one.MapBackAddr = 0x8770;
    one.EnemyIndex = 0x08;
    Stage().MidPoints(3).ItemIndex = 0x05;
    TMidPoint& two = Stage().MidPoints(2); // room 0E, entry 02 (43): rooms 0E-11
    two.LeftRoom = 0x0F;
    two.RightRoom = 0x12;
    EXPECT_EQ(Added(), (Lines{"stage 06 warning restart point 1: MapBackAddr 8770, recalculation gives 8760; "
                              "EnemyIndex 08, recalculation gives 06",
                              "stage 06 warning restart point 3: ItemIndex 05, recalculation gives 04",
                              "stage 06 note restart point 2: LeftRoom 0F, the scroll path gives 0E; "
                              "RightRoom 12, the scroll path gives 11"}));
    EXPECT_EQ(before.size() + 3, CheckStage(rom, CheckedStage).size()) << "one finding per point";
}

TEST_F(StageCheck, Bit4CountsOnlyOnEntriesThePathPasses)
{
    // The path 29 43 43 2F 29 reaches room 2B with entry 04; entries from 05 on are never read.
    Stage().SetScrollData(1, 0x53);
    Stage().SetScrollData(7, 0x10);
    EXPECT_EQ(Added(), (Lines{"stage 06 warning scroll entry 01: Value 53 has bit 4 set (shown as \"????\") "
                              "and lies on the path from the start point"}));
}

TEST_F(StageCheck, ColoursOutsideTheConsoleAndFrameCountsThePageLacks)
{
    Stage().SetPaletteColor(3, 0x40);
    Stage().SetPaletteAnimeColor(0x21, 0xFF);
    Stage().SetPaletteAnimeFrameCount(4);
    const Lines colours{"stage 06 warning palette entry 03: Colour 40 is not a console colour (00-3F)",
                        "stage 06 warning animation colour 21: Colour FF is not a console colour (00-3F)"};
    EXPECT_EQ(Added(), colours) << "four frames are offered";
    Stage().SetPaletteAnimeFrameCount(5);
    Lines all = colours;
    all.push_back("stage 06 warning frame count: Frame count 05 is not one the palette page offers (0-4), so the "
                  "animation is off");
    EXPECT_EQ(Added(), all);
}

TEST_F(StageCheck, RoomsWithObjectsBeforeEveryWalkAreNoted)
{
    MovePoint(0, 0x03); // rooms 00-02 now lie before every point; 01 holds an enemy, 02 an item
    EXPECT_EQ(Added(), (Lines{"stage 06 note room 01: 1 enemy, but no restart point's path passes this room",
                              "stage 06 note room 02: 1 item, but no restart point's path passes this room"}));
    const TFinding first = CheckStage(rom, CheckedStage).front();
    EXPECT_EQ(first.place, TFindingPlace::ObjectRoom);
    EXPECT_EQ(first.index, 1);

    Stage().MidPoints(0).SetStartRoom(0x2C); // walks nowhere: point 1 at 0A is the first
    const auto covered = CoveredRooms(Stage());
    EXPECT_EQ(std::find(covered.begin(), covered.end(), true) - covered.begin(), 0x0A);
    EXPECT_TRUE(std::all_of(covered.begin() + 0x0A, covered.end(), [](bool c) { return c; }));
}

TEST_F(StageCheck, FullObjectListsAreNoted)
{
    // Room 2B lies past every start room, so no first object number moves.
    for (TVxObjectManager* objects : {&Stage().EnemyObjects(), &Stage().ItemObjects()})
        while (objects->AddObject(LastRoom, 0x10, 0x10, 0))
            ;
    EXPECT_EQ(Added(), (Lines{"stage 06 note enemy list: All 128 places are taken, so nothing more can be added",
                              "stage 06 note item list: All 32 places are taken, so nothing more can be added"}));
}

TEST_F(StageCheck, ChipCountsFollowTheMapAndTheChips)
{
    const auto unused = UnusedChips(Stage().Map());
    Stage().SetMapChip(0, static_cast<std::uint8_t>(unused.front()));

    // Two chips in no group made equal: one more group of two.
    std::vector<int> alone;
    const auto groups = EqualChipGroups(Stage().Chip32x32(), Stage().Chip32x32Attribute());
    for (int chip = 0; chip < ChipCount && alone.size() < 2; ++chip)
        if (std::none_of(groups.begin(), groups.end(), [&](const auto& g) { return std::ranges::count(g, chip) > 0; }))
            alone.push_back(chip);
    ASSERT_EQ(alone.size(), 2u);
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t k = 0; k < 4; ++k) {
        bytes[k] = Stage().Chip32x32()[4 * static_cast<std::size_t>(alone[0]) + k];
        bytes[k + 4] = Stage().Chip32x32Attribute()[4 * static_cast<std::size_t>(alone[0]) + k];
    }
    Stage().SetChip(4 * alone[1], bytes);

    const Lines after = LinesOf(CheckStage(rom, CheckedStage));
    EXPECT_EQ(Without(after, before), (Lines{"stage 06 note chips: 243 chips are used by no room",
                                             "stage 06 note chips: 41 groups of equal chips (82 chips)"}));
    EXPECT_EQ(after.size(), before.size());
}

TEST(StageCheckSharing, EveryStageWithTheSameAddressIsNamed)
{
    const test::LanguageGuard english(Language::English);
    const std::string map0 = FormatHex(static_cast<std::uint32_t>(test::DefaultAddresses().Address(TableKey::Map, 0)));
    const auto addresses = test::AddressesFrom("[LevelDataAddress]\nMap[6]=" + map0 + "\n");
    TRomImgManager rom(*addresses);
    ASSERT_TRUE(rom.LoadFromBytes(test::SampleBytes(), "sample.nes"));
    const Lines lines = LinesOf(CheckStage(rom, 0));
    EXPECT_EQ(std::ranges::count(lines, "stage 00 note stage: The map is shared with stages 06, 08, so an edit "
                                        "here changes them too"), 1);
    EXPECT_EQ(std::ranges::count(LinesOf(CheckStage(rom, 6)), "stage 06 note stage: The map is shared with "
                                                               "stages 00, 08, so an edit here changes them too"), 1);
    EXPECT_EQ(lines.size(), 8u) << "the other groups stay as they were";
}
