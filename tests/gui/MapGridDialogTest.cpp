#include "gui/pages/MapGridDialog.h"
#include "core/base/Language.h"
#include "tests/gui/support/Controls.h"
#include "tests/gui/support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

using namespace vx;

namespace {

class MapGridDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        forceLanguage(Language::English);
        std::iota(room.begin(), room.end(), std::uint8_t{0x40});
        grid.loadRoom(0x0A, room);
        grid.show();
        QApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        menu()->hide();
        forceLanguage(std::nullopt);
        EXPECT_EQ(prompts.unexpected, 0);
    }
    QTableWidget* gridTable() const { return test::control<QTableWidget>(&grid, u"SGridMapEdit"); }
    QMenu* menu() const { return test::control<QMenu>(&grid, u"PopupMenuMapEditGrid"); }
    QAction* menuItem(QAnyStringView name) const { return test::control<QAction>(&grid, name); }
    QPushButton* button(QAnyStringView name) const { return test::control<QPushButton>(&grid, name); }
    QString cell(int column, int row) const
    {
        const QTableWidgetItem* item = gridTable()->item(row, column);
        return item ? item->text() : QStringLiteral("(no cell)");
    }
    void select(int left, int top, int right, int bottom)
    {
        QTableWidget* table = gridTable();
        table->clearSelection();
        table->selectionModel()->setCurrentIndex(table->model()->index(top, left), QItemSelectionModel::NoUpdate);
        table->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
    }
    void rightClick(int column, int row)
    {
        QTableWidget* table = gridTable();
        QTest::mousePress(table->viewport(), Qt::RightButton, Qt::NoModifier,
                          table->visualItemRect(table->item(row, column)).center());
    }

    test::ScriptedPrompts prompts;
    MapGridDialog grid{prompts};
    std::array<std::uint8_t, 64> room{};
};

} // namespace

TEST_F(MapGridDialogTest, LoadShowsTheRoomColumnAfterColumnWithItsCaption)
{
    EXPECT_EQ(grid.windowTitle(), QStringLiteral("Edit Screen 0A"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("40"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("41")) << "byte 1 is column 0, row 1";
    EXPECT_EQ(cell(1, 0), QStringLiteral("48"));
    EXPECT_EQ(gridTable()->currentRow(), 0);
    EXPECT_EQ(gridTable()->currentColumn(), 0);
    EXPECT_EQ(grid.size(), QSize(283, 325));
    forceLanguage(Language::Japanese);
    grid.loadRoom(0x0A, room);
    EXPECT_EQ(grid.windowTitle(), QString::fromUtf8("マップ(部屋番号0A)の編集"));
}

TEST_F(MapGridDialogTest, TypingArrowsAndFocusLossNormalise)
{
    QTableWidget* table = gridTable();
    QTest::keyClicks(table, QStringLiteral("123"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("3")) << "the third digit starts over";
    QTest::keyClicks(table, QStringLiteral("xg"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("3"));
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(cell(0, 0), QStringLiteral("03"));
    EXPECT_EQ(table->currentRow(), 1);
    QTest::keyClicks(table, QStringLiteral("f"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("F"));
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(table, &out);
    EXPECT_EQ(cell(0, 1), QStringLiteral("0F"));

    button(u"BtnOK")->click();
    EXPECT_EQ(grid.result(), QDialog::Accepted);
    EXPECT_EQ(grid.roomData()[0], 0x03);
    EXPECT_EQ(grid.roomData()[1], 0x0F);
    EXPECT_EQ(grid.roomData()[63], 0x7F);
}

TEST_F(MapGridDialogTest, CancelEscAndEnterLeaveTheRoomData)
{
    button(u"BtnOK")->click();
    const auto kept = grid.roomData();
    grid.loadRoom(0x0A, std::array<std::uint8_t, 64>{});
    grid.show();
    QTest::keyClick(&grid, Qt::Key_Escape);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_TRUE(grid.isVisible()) << "neither key closes the dialog";
    button(u"BtnCancel")->click();
    EXPECT_EQ(grid.result(), QDialog::Rejected);
    EXPECT_EQ(grid.roomData(), kept);
}

TEST_F(MapGridDialogTest, CopyPutsTheSelectionOnTheClipboardAndPasteReadsItBack)
{
    select(1, 2, 2, 3);
    menuItem(u"MenuItemCopyToClipBoard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("4A 52\r\n4B 53\r\n"));
    select(0, 0, 0, 0);
    QTest::keyClick(gridTable(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("40\r\n"));

    QApplication::clipboard()->setText(QStringLiteral("1 2 3"));
    select(6, 4, 6, 4);
    menuItem(u"MenuItemPasteFromClipBoard")->trigger();
    EXPECT_EQ(cell(6, 4), QStringLiteral("01"));
    EXPECT_EQ(cell(7, 4), QStringLiteral("02"));
    EXPECT_EQ(cell(0, 5), QStringLiteral("45")) << "the 3 falls outside and is dropped";

    QApplication::clipboard()->setText(QStringLiteral("ZZ 10"));
    select(0, 0, 0, 0);
    QTest::keyClick(gridTable(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell(0, 0), QStringLiteral("40"));
    EXPECT_EQ(cell(1, 0), QStringLiteral("10"));

    QApplication::clipboard()->setText(QString(257, QLatin1Char('1')));
    menuItem(u"MenuItemPasteFromClipBoard")->trigger();
    EXPECT_EQ(cell(0, 0), QStringLiteral("40")) << "257 characters paste nothing";
}

TEST_F(MapGridDialogTest, RightClickMovesASingleSelectionAndEnablesPasteOnlyWithText)
{
    QTableWidget* table = gridTable();
    rightClick(3, 5);
    EXPECT_EQ(table->currentColumn(), 3);
    EXPECT_EQ(table->currentRow(), 5);
    EXPECT_TRUE(menu()->isVisible());
    EXPECT_FALSE(menuItem(u"MenuItemPasteFromClipBoard")->isEnabled()) << "an empty clipboard";
    menu()->hide();

    select(1, 1, 2, 2);
    QApplication::clipboard()->setText(QStringLiteral("00"));
    rightClick(6, 6);
    EXPECT_EQ(table->selectedRanges().value(0).leftColumn(), 1) << "a larger selection stays";
    EXPECT_EQ(table->selectedRanges().value(0).bottomRow(), 2);
    EXPECT_TRUE(menuItem(u"MenuItemPasteFromClipBoard")->isEnabled());
}

TEST_F(MapGridDialogTest, FillAsksForAHexByte)
{
    select(2, 2, 3, 3);
    prompts.inputs = {QStringLiteral("a"), QStringLiteral("100"), QStringLiteral("xyz"), std::nullopt};
    menuItem(u"MenuItemFillCells")->trigger();
    EXPECT_EQ(prompts.questions.value(0), QStringLiteral("Input a Value for Initialization(00-FF)"));
    EXPECT_EQ(cell(2, 2), QStringLiteral("0A"));
    EXPECT_EQ(cell(3, 3), QStringLiteral("0A"));
    EXPECT_EQ(cell(4, 3), QStringLiteral("63"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        select(0, 0, 0, 0);
        menuItem(u"MenuItemFillCells")->trigger();
        EXPECT_EQ(cell(0, 0), QStringLiteral("40")) << "100, xyz and a cancelled dialog change nothing";
    }
}
