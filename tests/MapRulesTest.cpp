// The map page's and the room grid's decisions, without widgets.
#include "rules/MapRules.h"
#include "core/base/Language.h"
#include "rules/MapGridRules.h"
#include "rules/MapStamp.h"

#include <gtest/gtest.h>
#include <numeric>
#include <tuple>

using namespace vx;

namespace {

GridCells numbered()
{
    std::array<std::uint8_t, 64> room{};
    std::iota(room.begin(), room.end(), std::uint8_t{0});
    return cellsOfRoom(room);
}

const std::string& at(const GridCells& cells, int column, int row)
{
    return cells[static_cast<std::size_t>(gridIndex(column, row))];
}

} // namespace

TEST(MapEditRules, RoomCellsRunDownEachColumn)
{
    EXPECT_EQ(roomCellAt(0, 0, 256, 256), 0);
    EXPECT_EQ(roomCellAt(0, 32, 256, 256), 1) << "byte 1 is column 0, row 1";
    EXPECT_EQ(roomCellAt(32, 0, 256, 256), 8);
    EXPECT_EQ(roomCellAt(255, 255, 256, 256), 63);
    EXPECT_EQ(roomCellAt(40, 84, 128, 128), 2 * 8 + 5) << "stretched to half size";
    EXPECT_EQ(roomCellAt(256, 0, 256, 256), -1);
    EXPECT_EQ(roomCellAt(0, -5, 256, 256), -1);
}

TEST(MapEditRules, ChipTableAtHalfSizeHitsSixteenBySixteen)
{
    EXPECT_EQ(mapChipTableAt(0, 0, 256, 256), 0x00);
    EXPECT_EQ(mapChipTableAt(16, 0, 256, 256), 0x01);
    EXPECT_EQ(mapChipTableAt(0, 16, 256, 256), 0x10);
    EXPECT_EQ(mapChipTableAt(255, 255, 256, 256), 0xFF);
    EXPECT_EQ(mapChipTableAt(40, 40, 512, 512), 0x11) << "shown 1:1";
    EXPECT_EQ(mapChipTableAt(256, 3, 256, 256), -1);
}

TEST(MapEditRules, ViewsStartAtTheStartRoomAndScrollWithinTheirEnds)
{
    EXPECT_EQ(initialViewRooms(0x05), (ViewRooms{0x05, 0x06}));
    EXPECT_EQ(initialViewRooms(0x2B), (ViewRooms{0x2A, 0x2B}));
    EXPECT_EQ(initialViewRooms(0xFF), (ViewRooms{0x2A, 0x2B}));

    EXPECT_EQ(scrollBothViews({0x05, 0x06}, 0x10), (ViewRooms{0x10, 0x11}));
    EXPECT_EQ(scrollBothViews({0x05, 0x09}, 0x2A), (ViewRooms{0x2A, 0x2B})) << "the gap shrinks at the end";
    EXPECT_EQ(scrollBothViews({0x05, 0x02}, 0x00), (ViewRooms{0x00, 0x01})) << "view 1 stops at room 01";
    EXPECT_EQ(scrollBothViews({0x05, 0x06}, 0x05), (ViewRooms{0x05, 0x06}));

    EXPECT_EQ(clampViewRoom(0, 43), 0x2A);
    EXPECT_EQ(clampViewRoom(1, 43), 0x2B);
    EXPECT_EQ(clampViewRoom(1, 0), 0x00) << "view 1 may show room 00 by its own bar";
    EXPECT_EQ(clampViewRoom(0, -3), 0x00);
}

TEST(MapEditRules, HintsNameRoomCellAndChip)
{
    forceLanguage(Language::English);
    EXPECT_EQ(roomCellHint(0x0A, 2 * 8 + 5, 0x1F), "Room 0A, column 2, row 5: chip 1F");
    EXPECT_EQ(chipTableHint(0xC3), "32x32 Tile C3");
    forceLanguage(Language::Japanese);
    EXPECT_EQ(roomCellHint(0x0A, 2 * 8 + 5, 0x1F), "部屋 0A 列 2 行 5 : チップ 1F");
    forceLanguage(std::nullopt);
}

TEST(MapGridRules, TypingTakesHexDigitsAndAThirdStartsOver)
{
    std::string cell = "4F";
    const std::pair<char, const char*> steps[] = {{'1', "1"}, {'2', "12"}, {'3', "3"}, {'c', "3C"}};
    for (const auto& [typed, shown] : steps) {
        EXPECT_TRUE(typeIntoCell(cell, typed));
        EXPECT_EQ(cell, shown) << typed;
    }
    EXPECT_FALSE(typeIntoCell(cell, 'g'));
    EXPECT_FALSE(typeIntoCell(cell, ' '));
    EXPECT_EQ(cell, "3C");
}

TEST(MapGridRules, NormalisingGivesTwoDigitsAndZeroForAnythingElse)
{
    GridCells cells = numbered();
    cells[0] = "7";
    cells[1] = "";
    cells[2] = "zz";
    normalizeCells(cells);
    EXPECT_EQ(cells[0], "07");
    EXPECT_EQ(cells[1], "00");
    EXPECT_EQ(cells[2], "00");
    EXPECT_EQ(cells[63], "3F");
    EXPECT_EQ(roomOfCells(cells)[0], 0x07);
}

TEST(MapGridRules, CopyTextOfSelections)
{
    const GridCells cells = numbered();
    EXPECT_EQ(copyText(cells, {3, 2, 3, 2}), "1A\r\n") << "one cell";
    EXPECT_EQ(copyText(cells, {0, 0, 1, 1}), "00 08\r\n01 09\r\n");
    const std::string whole = copyText(cells, {0, 0, 7, 7});
    EXPECT_EQ(whole.size(), 200u);
    EXPECT_EQ(whole.substr(0, 25), "00 08 10 18 20 28 30 38\r\n");
    EXPECT_EQ(copyText(cells, {-2, -1, 0, 0}), "00\r\n") << "clamped to the grid";
    EXPECT_EQ(copyText(cells, {6, 6, 12, 12}), "36 3E\r\n37 3F\r\n");
    EXPECT_EQ(copyText(cells, {3, 0, 2, 0}), "") << "inverted";
    EXPECT_EQ(copyText(cells, {8, 0, 9, 1}), "") << "outside";
}

TEST(MapGridRules, WholeGridCopyPastesBackCellForCell)
{
    const GridCells source = numbered();
    GridCells target = cellsOfRoom(std::array<std::uint8_t, 64>{});
    EXPECT_TRUE(pasteText(target, copyText(source, {0, 0, 7, 7}), 0, 0));
    EXPECT_EQ(target, source);
}

TEST(MapGridRules, PasteDropsCellsOutsideSkipsBadTokensAndIgnoresLongTexts)
{
    GridCells cells = numbered();
    const GridCells before = cells;
    EXPECT_TRUE(pasteText(cells, "1 2 3", 6, 0));
    EXPECT_EQ(at(cells, 6, 0), "01");
    EXPECT_EQ(at(cells, 7, 0), "02");
    EXPECT_EQ(at(cells, 0, 1), before[1]) << "the third value is dropped, not wrapped";

    cells = before;
    pasteText(cells, "ZZ 10", 0, 0);
    EXPECT_EQ(at(cells, 0, 0), "00") << "ZZ leaves its cell";
    EXPECT_EQ(at(cells, 1, 0), "10");

    cells = before;
    pasteText(cells, "a  b\r\nff", 2, 3);
    EXPECT_EQ(at(cells, 2, 3), "0A");
    EXPECT_EQ(at(cells, 3, 3), before[static_cast<std::size_t>(gridIndex(3, 3))]) << "two blanks skip a cell";
    EXPECT_EQ(at(cells, 4, 3), "0B");
    EXPECT_EQ(at(cells, 2, 4), "FF");

    cells = before;
    pasteText(cells, "100 1\t2 7", 0, 0);
    EXPECT_EQ(at(cells, 0, 0), "00") << "above FF";
    EXPECT_EQ(at(cells, 1, 0), "08") << "a tab is no separator";
    EXPECT_EQ(at(cells, 2, 0), "07");

    cells = before;
    EXPECT_FALSE(pasteText(cells, std::string(257, '1'), 0, 0));
    EXPECT_EQ(cells, before);
    EXPECT_FALSE(pasteText(cells, std::string(254, ' ') + "AB", 0, 0)) << "a cell far beyond the grid";
    EXPECT_EQ(cells, before);
    std::string text(255, ' ');
    text.insert(0, "1");
    EXPECT_TRUE(pasteText(cells, text, 0, 0)) << "256 characters still paste";
    EXPECT_EQ(at(cells, 0, 0), "01");
    std::string wide = "2 ";
    for (int i = 0; i < 127; ++i)
        wide += "\xF0\x9F\x98\x80"; // beyond U+FFFF: two units each
    EXPECT_TRUE(pasteText(cells, wide, 0, 0)) << "256 units";
    EXPECT_EQ(at(cells, 0, 0), "02");
    EXPECT_FALSE(pasteText(cells, "3 " + wide.substr(2) + "\xF0\x9F\x98\x80", 0, 0)) << "258 units";
    EXPECT_EQ(at(cells, 0, 0), "02");
}

TEST(MapGridRules, PasteRowsEndAtCrLfOrALoneCrOrALoneLf)
{
    const auto pasted = [](std::string_view text) {
        GridCells cells = numbered();
        pasteText(cells, text, 1, 2);
        return cells;
    };
    const GridCells lf = pasted("11 22\n33 44");
    EXPECT_EQ(at(lf, 1, 2) + at(lf, 2, 2) + at(lf, 1, 3) + at(lf, 2, 3), "11223344") << "two rows";
    EXPECT_EQ(pasted("11 22\r\n33 44"), lf);
    EXPECT_EQ(pasted("11 22\r33 44"), lf);
    EXPECT_EQ(pasted("11 22\n33 44\n"), lf) << "a trailing line end adds nothing";
    EXPECT_EQ(pasted("11 22\r\n33 44\r\n"), lf);

    const GridCells skipped = pasted("11\r\n\r\n22");
    EXPECT_EQ(at(skipped, 1, 3), at(numbered(), 1, 3)) << "an empty line skips a row";
    EXPECT_EQ(at(skipped, 1, 4), "22");
    EXPECT_EQ(pasted("11\n\n22"), skipped);
    EXPECT_EQ(pasted("11\r\r\n22"), skipped) << "a CR, then a CR LF";
    EXPECT_EQ(pasted("11\n\r22"), skipped) << "an LF, then a CR";
}

TEST(MapGridRules, FillTakesAHexByteIntoTheSelection)
{
    EXPECT_EQ(parseFillValue("a"), 0x0A);
    EXPECT_EQ(parseFillValue("FF"), 0xFF);
    EXPECT_FALSE(parseFillValue("100"));
    EXPECT_FALSE(parseFillValue("xyz"));
    EXPECT_FALSE(parseFillValue(""));

    GridCells cells = numbered();
    EXPECT_TRUE(fillCells(cells, {1, 1, 2, 3}, 0x0A));
    EXPECT_EQ(at(cells, 1, 1), "0A");
    EXPECT_EQ(at(cells, 2, 3), "0A");
    EXPECT_EQ(at(cells, 3, 3), "1B");
    EXPECT_EQ(at(cells, 1, 0), "08");
    EXPECT_FALSE(fillCells(cells, {9, 0, 10, 1}, 0x0A));
}

TEST(MapGridRules, CaptionsInBothLanguages)
{
    forceLanguage(Language::Japanese);
    EXPECT_EQ(gridCaption(0x0A), "マップ(部屋番号0A)の編集");
    EXPECT_EQ(fillCaption(), "選択範囲の初期化");
    EXPECT_EQ(fillPrompt(), "初期化に使用する値を入力して下さい(00～FF)");
    forceLanguage(Language::English);
    EXPECT_EQ(gridCaption(0x0A), "Edit Screen 0A");
    EXPECT_EQ(fillCaption(), "Initialize");
    EXPECT_EQ(fillPrompt(), "Input a Value for Initialization(00-FF)");
    forceLanguage(std::nullopt);
}

TEST(MapStamp, ACaptureAcrossTwoRoomsPaintsAcrossTheEdgeOrIsCutWhereNoRoomFollows)
{
    // Rooms 04 and 05 side by side; each byte is its room's number times 64 plus its cell.
    std::vector<std::uint8_t> map(RoomCount * RoomSize);
    std::iota(map.begin(), map.end(), std::uint8_t{0});
    const ViewRooms rooms{4, 5};
    // From column 6, row 2 of room 04 to column 1, row 3 of room 05: four columns, two rows.
    const MapStamp stamp = captureStamp(map, rooms, {1, 1 * 8 + 3}, {0, 6 * 8 + 2});
    ASSERT_EQ(stamp.width, 4);
    ASSERT_EQ(stamp.height, 2);
    EXPECT_EQ(stamp.at(0, 0), static_cast<std::uint8_t>(4 * 64 + 6 * 8 + 2));
    EXPECT_EQ(stamp.at(3, 1), static_cast<std::uint8_t>(5 * 64 + 1 * 8 + 3));

    // Painted at column 7 of the left view it goes on into room 05; in the right view it is cut.
    const auto across = stampWrites(stamp, rooms, {0, 7 * 8 + 0});
    EXPECT_EQ(across.size(), 8u);
    EXPECT_EQ(across.back().first, 5 * 64 + 2 * 8 + 1);
    EXPECT_EQ(stampWrites(stamp, rooms, {1, 7 * 8 + 7}).size(), 1u) << "one column, one row left";
    EXPECT_EQ(stampWrites(stamp, {4, 9}, {0, 7 * 8}).size(), 2u) << "the right view shows another room";

    // The text is the grid dialog's, and reads back.
    const std::string text = stampText(stamp);
    EXPECT_EQ(text.substr(0, 12), "32 3A 42 4A\r");
    EXPECT_EQ(stampOfText(text).value(), stamp);
    std::array<std::uint8_t, 64> room{};
    std::copy_n(map.begin() + 4 * 64, 64, room.begin());
    EXPECT_EQ(stampText(captureStamp(map, rooms, {0, 0}, {0, 63})), copyText(cellsOfRoom(room), {0, 0, 7, 7}));

    forceLanguage(Language::English);
    EXPECT_EQ(stampOfText("01 02\n03").error().message, "The rows hold different numbers of chips.");
    EXPECT_EQ(stampOfText("01 2G").error().message, "\"2G\" is not a hex byte.");
    EXPECT_FALSE(stampOfText("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00").ok()) << "17 columns";
    EXPECT_FALSE(stampOfText(" \r\n").ok());
    forceLanguage(std::nullopt);
}

TEST(MapStamp, ACaptureTakesWhatTheViewsShowOnEitherSideOfTheirBoundary)
{
    std::vector<std::uint8_t> map(RoomCount * RoomSize);
    std::iota(map.begin(), map.end(), std::uint8_t{0});
    const auto cell = [](int room, int column, int row) { return (room * 64 + column * 8 + row) & 0xFF; };
    // Two columns by rows 2-3 each, by their first and last cells; rooms 04 and 09 are not
    // neighbours, so a drag stops at its view's edge.
    const std::tuple<ViewRooms, ViewCell, ViewCell, int, int> cases[] = {
        {{4, 5}, {1, 0 * 8 + 2}, {1, 1 * 8 + 3}, cell(5, 0, 2), cell(5, 1, 3)},
        {{4, 5}, {0, 7 * 8 + 2}, {1, 0 * 8 + 3}, cell(4, 7, 2), cell(5, 0, 3)},
        {{4, 9}, {0, 6 * 8 + 2}, {1, 1 * 8 + 3}, cell(4, 6, 2), cell(4, 7, 3)},
        {{4, 9}, {1, 1 * 8 + 2}, {0, 6 * 8 + 3}, cell(9, 0, 2), cell(9, 1, 3)},
        {{4, 9}, {1, 6 * 8 + 2}, {1, 7 * 8 + 3}, cell(9, 6, 2), cell(9, 7, 3)},
    };
    for (const auto& [rooms, from, to, first, last] : cases) {
        const MapStamp stamp = captureStamp(map, rooms, from, to);
        EXPECT_EQ(std::tuple(stamp.width, stamp.height, int{stamp.chips.front()}, int{stamp.chips.back()}),
                  std::tuple(2, 2, first, last));
    }
    // A text stamp may be two rooms large, and no larger.
    std::string row = "0", rows, tall;
    while (row.size() < 2 * MapStamp::MaxWidth - 1)
        row += " 0";
    for (int n = 0; n < MapStamp::MaxHeight; ++n) {
        rows += row + "\n";
        tall += "0\n";
    }
    EXPECT_TRUE(stampOfText(rows).ok());
    EXPECT_FALSE(stampOfText(tall + "0").ok()) << "nine rows";
}
