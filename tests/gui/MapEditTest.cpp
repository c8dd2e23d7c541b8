#include "gui/pages/MapEdit.h"
#include "core/base/HexText.h"
#include "core/model/ChipSearch.h"
#include "core/model/RomImage.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapGridDialog.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/tools/StageOverviewWindow.h"
#include "gui/widgets/ImageView.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheets.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

using namespace vx;
using test::control;

namespace {

class MapEditTest : public test::EditorFixture {
protected:
    MapEdit& unit()
    {
        showPage(pgMapEdit);
        return *form->mapEdit();
    }
    ImageView* viewControl(int view) const { return find<ImageView>(u"ImgMapEdit", view); }
    ImageView* chipTable() const { return find<ImageView>(u"Img32x32ChipTable"); }
    QScrollBar* roomBar(int view) const { return find<QScrollBar>(u"ScrollBarEditedMapPage", view); }
    QScrollBar* bothBar() const { return find<QScrollBar>(u"ScrollBarMapEdit"); }
    static QPoint cellPoint(int cell) { return {(cell / 8) * 32 + 16, (cell % 8) * 32 + 16}; }
    // A press on a cell after the pointer came over it, as a user clicks.
    void onCell(int view, int cell, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        unit();
        ImageView* control = viewControl(view);
        const QPoint at = cellPoint(cell);
        move(control, at.x(), at.y());
        press(control, at.x(), at.y(), button, keys);
    }
    void pickFromTable(int chip)
    {
        unit();
        press(chipTable(), (chip % 16) * 16 + 8, (chip / 16) * 16 + 8, Qt::LeftButton);
        ASSERT_EQ(unit().selectedChip(), chip);
    }
    std::uint8_t mapByte(int room, int cell) const
    {
        return currentStage().map()[static_cast<std::size_t>(room * 64 + cell)];
    }
    std::vector<std::uint8_t> roomCells(int room) const
    {
        const auto& map = currentStage().map();
        return {map.begin() + room * 64, map.begin() + room * 64 + 64};
    }
    // A chip that differs from the cell's content and paints differently.
    int otherChip(int room, int cell) const
    {
        const IndexedBitmap& sheet = *form->chip32x32Edit()->chip32Sheet();
        const int held = mapByte(room, cell);
        for (int chip = 0; chip < 256; ++chip)
            if (chip != held &&
                sheet.pixel((chip % 16) * 32 + 5, (chip / 16) * 32 + 5) !=
                    sheet.pixel((held % 16) * 32 + 5, (held / 16) * 32 + 5))
                return chip;
        return -1;
    }
};

} // namespace

TEST_F(MapEditTest, ViewsShowTheRoomsAsTheToolDrawsThem)
{
    MapEdit& page = unit();
    const StageData& stage = currentStage();
    EXPECT_EQ(page.viewRoom(0), std::min<int>(stage.restartPoints(stage.defaultStartPoint()).startRoom(), 0x2A));
    EXPECT_EQ(page.viewRoom(1), page.viewRoom(0) + 1);
    EXPECT_EQ(find<QLabel>(u"LblEditedMapPage", 1)->text(),
              QString::fromStdString(formatHex(static_cast<unsigned>(page.viewRoom(1)), 2)));

    // The tool's picture of the same room: its own palette manager, sheets and room bitmap.
    PaletteManager palette(test::readBytes(dir.file("fcpalette.pal")), "fcpalette.pal");
    GraphicManager graphics(palette);
    StageSheets sheets;
    prepareStageSheets(graphics, stage, form->rom().imageBytes(), sheets, nullptr);
    for (int view = 0; view < 2; ++view) {
        auto expected = graphics.createDisplayBitmap(256, 256);
        graphics.drawRoom(*expected, *sheets.chip32Sheet,
                          std::span(stage.map()).subspan(static_cast<std::size_t>(page.viewRoom(view)) * 64, 64));
        const IndexedBitmap& shown = *viewControl(view)->bitmap();
        int differing = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                differing += shown.color(shown.pixel(x, y)) != expected->color(expected->pixel(x, y));
        EXPECT_EQ(differing, 0) << "view " << view;
    }
}

TEST_F(MapEditTest, PaintingWritesOneRecordAndTheSameChipAgainNone)
{
    MapEdit& page = unit();
    const int room = page.viewRoom(0), cell = 2 * 8 + 3;
    const int chip = otherChip(room, cell);
    ASSERT_GE(chip, 0);
    pickFromTable(chip);
    const Color before = shownColor(viewControl(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    onCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(mapByte(room, cell), chip);
    EXPECT_EQ(undoSteps(), 1);
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Map"));
    EXPECT_NE(shownColor(viewControl(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before);

    const std::uint64_t version = viewControl(0)->bitmap()->version();
    press(viewControl(0), cellPoint(cell).x(), cellPoint(cell).y(), Qt::LeftButton);
    EXPECT_EQ(undoSteps(), 1) << "the same chip again records nothing";
    EXPECT_EQ(viewControl(0)->bitmap()->version(), version) << "and redraws nothing";

    move(viewControl(0), cellPoint(cell + 8).x(), cellPoint(cell + 8).y(), Qt::NoModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(cellPoint(cell + 16)), QPointF(cellPoint(cell + 16)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewControl(0), &drag);
    EXPECT_EQ(undoSteps(), 1) << "dragging does not paint";

    form->commandUndo();
    EXPECT_NE(mapByte(room, cell), chip);
    EXPECT_EQ(shownColor(viewControl(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before) << "undo redraws at once";
}

TEST_F(MapEditTest, TheSameRoomInBothViewsUpdatesBoth)
{
    MapEdit& page = unit();
    roomBar(1)->setValue(page.viewRoom(0));
    ASSERT_EQ(page.viewRoom(1), page.viewRoom(0));
    const int cell = 5 * 8 + 6, chip = otherChip(page.viewRoom(0), cell);
    ASSERT_GE(chip, 0);
    pickFromTable(chip);
    const QPoint at((cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    const int shownBefore = viewControl(1)->bitmap()->pixel(at.x(), at.y());
    onCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(mapByte(page.viewRoom(0), cell), chip);
    EXPECT_NE(viewControl(1)->bitmap()->pixel(at.x(), at.y()), shownBefore) << "the other view shows the new chip";
    EXPECT_EQ(shownColor(viewControl(1), at.x(), at.y()), shownColor(viewControl(0), at.x(), at.y()));
    EXPECT_EQ(viewControl(1)->bitmap()->pixel(at.x(), at.y()), viewControl(0)->bitmap()->pixel(at.x(), at.y()));
}

TEST_F(MapEditTest, RightPicksCtrlRightCopiesAndCtrlLeftPastesIntoAnotherStage)
{
    MapEdit& page = unit();
    onCell(1, 9, Qt::RightButton);
    EXPECT_EQ(page.selectedChip(), mapByte(page.viewRoom(1), 9));
    EXPECT_EQ(find<QLabel>(u"LblSelected32x32ChipIndex")->text(),
              QString::fromStdString(formatHex(mapByte(page.viewRoom(1), 9), 2)));

    const auto copied = roomCells(page.viewRoom(1));
    onCell(1, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_TRUE(std::equal(copied.begin(), copied.end(), page.roomCopyBuffer().begin()));
    EXPECT_EQ(undoSteps(), 0);

    stageSelector()->setCurrentIndex(1);
    ASSERT_NE(roomCells(page.viewRoom(0)), copied);
    onCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(roomCells(page.viewRoom(0)), copied);
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Map(Paste)"));
    const int records = undoSteps();
    onCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(undoSteps(), records) << "the same room again records nothing";

    form->openImage(image);
    EXPECT_EQ(page.roomCopyBuffer(), (std::array<std::uint8_t, 64>{})) << "only Open clears the copy";
}

TEST_F(MapEditTest, PasteBeforeAnyCopyWritesAnEmptyRoom)
{
    MapEdit& page = unit();
    onCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(roomCells(page.viewRoom(0)), std::vector<std::uint8_t>(64, 0));
}

TEST_F(MapEditTest, ShiftLeftOpensTheGridAndOkWritesOneRecord)
{
    MapEdit& page = unit();
    auto* grid = find<MapGridDialog>(u"MapEditGridForm");
    auto* cells = control<QTableWidget>(grid, u"SGridMapEdit");
    auto* ok = control<QPushButton>(grid, u"BtnOK");
    auto* cancel = control<QPushButton>(grid, u"BtnCancel");
    const int room = page.viewRoom(0);
    const auto before = roomCells(room);
    ASSERT_NE(before[0], 0x07);
    QString caption;
    QTimer::singleShot(0, grid, [&] {
        caption = grid->windowTitle();
        QTest::keyClicks(cells, QStringLiteral("7"));
        ok->click();
    });
    onCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(caption,
              QStringLiteral("Edit Screen ") + QString::fromStdString(formatHex(static_cast<unsigned>(room), 2)));
    EXPECT_EQ(mapByte(room, 0), 0x07) << "cell (0, 0), typed 7";
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Map(Grid)"));
    form->commandUndo();
    EXPECT_EQ(roomCells(room), before);

    QTimer::singleShot(0, grid, [&] {
        QTest::keyClicks(cells, QStringLiteral("7"));
        cancel->click();
    });
    onCell(0, 20, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier); // Ctrl is ignored
    EXPECT_EQ(roomCells(room), before);
    EXPECT_EQ(undoSteps(), 0);

    QTimer::singleShot(0, grid, [&] { ok->click(); });
    onCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(undoSteps(), 0) << "OK without a change records nothing";
}

TEST_F(MapEditTest, StatusAndHintsFollowThePointerAndClearOutside)
{
    MapEdit& page = unit();
    const int room = page.viewRoom(0);
    move(viewControl(0), 40, 70); // cell 1 * 8 + 2
    const QString chip = QString::fromStdString(formatHex(mapByte(room, 10), 2));
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("32x32 Tile No:") + chip);
    EXPECT_EQ(viewControl(0)->toolTip(),
              QStringLiteral("Room %1, column 1, row 2: chip %2")
                  .arg(QString::fromStdString(formatHex(static_cast<unsigned>(room), 2)), chip));
    EXPECT_EQ(shownColor(viewControl(0), 32, 64), GraphicManager::CursorColor);
    page.selectChip(0x23);
    press(viewControl(0), 40, 70, Qt::LeftButton);
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("32x32 Tile No:23")) << "what the cell holds now";
    leave(viewControl(0));
    EXPECT_TRUE(statusPanel(1)->text().isEmpty());
    EXPECT_NE(shownColor(viewControl(0), 32, 64), GraphicManager::CursorColor);

    move(chipTable(), 16 * 3 + 2, 16 * 2 + 2); // chip 23
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("32x32 Tile No:23"));
    const IndexedBitmap& table = *chipTable()->bitmap();
    EXPECT_EQ(table.color(table.pixel(3 * 32, 2 * 32)), GraphicManager::CursorColor);
    EXPECT_EQ(table.color(table.pixel(3 * 32 + 1, 2 * 32 + 1)), GraphicManager::CursorColor) << "two pixels thick";
    leave(chipTable());
    EXPECT_TRUE(statusPanel(1)->text().isEmpty());
}

TEST_F(MapEditTest, ScrollBarsMoveTheViewsWithinTheirEnds)
{
    MapEdit& page = unit();
    roomBar(1)->setValue(0x03);
    roomBar(0)->setValue(0x08);
    EXPECT_EQ(bothBar()->value(), 0x08) << "view 0's bar moves the overall bar";
    bothBar()->setValue(0);
    EXPECT_EQ(page.viewRoom(0), 0x00);
    EXPECT_EQ(page.viewRoom(1), 0x01) << "view 1 stops at room 01";
    EXPECT_EQ(roomBar(1)->value(), 0x01);

    roomBar(0)->setValue(43);
    EXPECT_EQ(page.viewRoom(0), 0x2A);
    EXPECT_EQ(find<QLabel>(u"LblEditedMapPage", 0)->text(), QStringLiteral("2A"));
    roomBar(1)->setValue(43);
    EXPECT_EQ(page.viewRoom(1), 0x2B);
    bothBar()->setValue(0x20);
    EXPECT_EQ(page.viewRoom(0), 0x20);
    EXPECT_EQ(page.viewRoom(1), 0x21);
}

TEST_F(MapEditTest, ChipPagePicksAndStageChangeResetsThePaintingChip)
{
    MapEdit& page = unit();
    showPage(pg32x32ChipEdit);
    press(find<ImageView>(u"Img32x32ChipEditTable"), 5 * 32 + 3, 2 * 32 + 3, Qt::LeftButton);
    EXPECT_EQ(page.selectedChip(), 0x25) << "the chip page's plain pick paints on the map";

    stageSelector()->setCurrentIndex(9);
    EXPECT_EQ(page.selectedChip(), 0);
    const StageData& stage = currentStage();
    EXPECT_EQ(page.viewRoom(0), std::min<int>(stage.restartPoints(stage.defaultStartPoint()).startRoom(), 0x2A));
    EXPECT_EQ(bothBar()->value(), page.viewRoom(0));
}

TEST_F(MapEditTest, ASavedPaintChangesOnlyTheMapTable)
{
    MapEdit& page = unit();
    const int room = page.viewRoom(1), cell = 33;
    pickFromTable(otherChip(room, cell));
    onCell(1, cell, Qt::LeftButton);
    ASSERT_TRUE(form->commandSave());
    EXPECT_EQ(
        changedBytes(),
        std::vector<std::size_t>{static_cast<std::size_t>(currentStage().address(TableKey::Map) + room * 64 + cell)});
}

TEST_F(MapEditTest, ARightDragTakesAStampThatPaintsAcrossTheRoomEdgeAsOneStepAndTravelsAsText)
{
    MapEdit& page = unit();
    page.showRoom(4); // rooms 04 and 05 side by side
    // From room 04 column 6 row 2 to room 05 column 1 row 3; the drag leaves the first view.
    onCell(0, 6 * 8 + 2, Qt::RightButton);
    test::move(viewControl(0), 258 + 1 * 32 + 16, 3 * 32 + 16, Qt::NoModifier, Qt::RightButton);
    test::release(viewControl(0), 258 + 1 * 32 + 16, 3 * 32 + 16, Qt::RightButton);
    ASSERT_TRUE(page.stamp());
    EXPECT_EQ(page.stamp()->width, 4);
    EXPECT_EQ(page.stamp()->height, 2);
    const MapStamp stamp = *page.stamp();

    page.showRoom(20);
    onCell(0, 6 * 8 + 0, Qt::LeftButton);
    test::release(viewControl(0), 6 * 32 + 16, 16, Qt::LeftButton);
    EXPECT_EQ(mapByte(20, 6 * 8 + 0), stamp.at(0, 0));
    EXPECT_EQ(mapByte(21, 1 * 8 + 1), stamp.at(3, 1)) << "on into the room the right view shows";
    EXPECT_EQ(undoSteps(), 1);
    undoAction()->trigger();
    EXPECT_EQ(mapByte(21, 1 * 8 + 1),
              test::sampleBytes()[static_cast<std::size_t>(currentStage().address(TableKey::Map)) + 21 * 64 + 9]);
    EXPECT_EQ(undoSteps(), 0);

    // A stage chosen with the button still down ends the stroke on the stage it painted.
    onCell(0, 6 * 8 + 0, Qt::LeftButton);
    form->showStage(1);
    test::release(viewControl(0), 6 * 32 + 16, 16, Qt::LeftButton);
    form->showStage(0);
    EXPECT_EQ(undoSteps(), 1);
    ASSERT_TRUE(currentStage().setMapChip(3, static_cast<std::uint8_t>(mapByte(0, 3) + 1)));
    EXPECT_EQ(undoSteps(), 2) << "later edits reach the history again";

    // Ctrl+C gives the grid dialog's text; Ctrl+V of other text makes it the stamp. Keys
    // reach only the active window.
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(viewControl(0), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), stampText(stamp));
    QGuiApplication::clipboard()->setText(QStringLiteral("0A 0B\r\n0C 0D\r\n"));
    QTest::keyClick(viewControl(0), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(page.stamp());
    EXPECT_EQ(page.stamp()->chips, (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C, 0x0D}));
    QGuiApplication::clipboard()->setText(QStringLiteral("0A 0B\r\n0C\r\n"));
    QTest::keyClick(viewControl(0), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], QStringLiteral("The rows hold different numbers of chips."));

    QTest::keyClick(viewControl(0), Qt::Key_Escape);
    EXPECT_FALSE(page.stamp()) << "Escape: one chip again";
    EXPECT_TRUE(statusPanel(2)->text().isEmpty()) << "and the stamp's note goes";
}

TEST_F(MapEditTest, TheUsesWindowListsLeadsToACellAndReplacesAfterAsking)
{
    MapEdit& page = unit();
    const int chip = mapByte(5, 9);
    page.selectChip(chip);
    menuAction(u"MenuItemFindChipUses")->trigger();
    auto* window = form->findChild<QDialog*>(QStringLiteral("ChipUsesWindow"));
    ASSERT_TRUE(window && window->isVisible());
    auto* list = control<QListWidget>(window, u"ListChipUses");
    const std::vector<ChipUse> uses = chipUses(form->rom(), chip, form->rom().currentStageIndex());
    ASSERT_EQ(list->count(), static_cast<int>(uses.size()));
    const int row =
        static_cast<int>(std::ranges::find_if(uses, [](const ChipUse& use) { return use.room == 5; }) - uses.begin());
    emit list->itemActivated(list->item(row));
    EXPECT_EQ(pages()->currentIndex(), pgMapEdit);
    EXPECT_EQ(page.viewRoom(0), 5);

    control<QLineEdit>(window, u"EditChipUsesReplacement")->setText(QStringLiteral("FE"));
    prompts.yesNo.push_back(true);
    control<QPushButton>(window, u"BtnChipUsesReplace")->click();
    EXPECT_TRUE(prompts.yesNo.empty()) << "asked first";
    ASSERT_FALSE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.questions.back().endsWith(QStringLiteral(" (1 map)?"))) << "a count in the right number";
    EXPECT_EQ(mapByte(5, 9), 0xFE);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(undoSteps(), 1);
    window->hide();
}

TEST_F(MapEditTest, AClickOnTheOverviewShowsThatRoomInTheLeftViewOfEachPageWithTwo)
{
    MapEdit& page = unit();
    menuAction(u"MenuItemStageOverview")->trigger();
    auto* window = form->findChild<StageOverviewWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    const int side = 256 / window->reduction();
    // From room 0 on the left, room 16 brought just "into a view" would be in the right one.
    form->objectEdit()->showRoomAtLeft(0);
    form->scrollEdit()->showRoom(0);
    for (const Page shown : {pgMapEdit, pgObjectEdit, pgScrollEdit}) {
        pages()->setCurrentIndex(shown);
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(5 * side + side / 2, side + side / 2));
    }
    EXPECT_EQ(page.viewRoom(0), 16) << "row 1, column 5 of eleven";
    EXPECT_EQ(form->objectEdit()->shownRoom(0), 16);
    EXPECT_EQ(form->scrollEdit()->viewRoom(0), 16);
    window->hide();
}

TEST_F(MapEditTest, AReplaceInAllStagesIsOneUndoStepUntilOneOfThemIsEditedAgain)
{
    MapEdit& page = unit();
    const int chip = mapByte(5, 9);
    page.selectChip(chip);
    menuAction(u"MenuItemReplaceChip")->trigger();
    auto* window = form->findChild<QDialog*>(QStringLiteral("ChipUsesWindow"));
    control<QRadioButton>(window, u"RadioChipUsesAllStages")->setChecked(true);
    const std::vector<ChipUse> uses = chipUses(form->rom(), chip, -1);
    const QString inStages = QStringLiteral("%1 stages").arg(countUses(uses).maps);
    StageData &first = form->rom().stage(0), &other = form->rom().stage(uses.back().stage);
    const auto before = std::pair(first.map(), other.map());
    control<QLineEdit>(window, u"EditChipUsesReplacement")->setText(QStringLiteral("FE"));
    prompts.yesNo.push_back(true);
    control<QPushButton>(window, u"BtnChipUsesReplace")->click();
    EXPECT_TRUE(prompts.questions.value(0).contains(inStages) && statusPanel(2)->text().contains(inStages));
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo Replace in All Stages"));
    undoAction()->trigger();
    EXPECT_EQ(std::pair(first.map(), other.map()), before) << "every stage's part in one undo";
    form->updateEditMenu();
    EXPECT_EQ(redoAction()->text(), QStringLiteral("&Redo Replace in All Stages"));
    redoAction()->trigger();
    EXPECT_TRUE(chipUses(form->rom(), chip, -1).empty());

    other.setMapChip(0, static_cast<std::uint8_t>(other.map()[0] ^ 1)); // edited since: each part goes alone
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Map"));
    undoAction()->trigger();
    EXPECT_EQ(first.map(), before.first);
    EXPECT_GT(std::ranges::count(other.map(), 0xFE), 0);
    window->hide();
}
