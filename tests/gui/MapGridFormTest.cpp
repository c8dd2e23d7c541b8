#include "core/Language.h"
#include "gui/pages/VxMapEditGridForm.h"
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

class MapGridFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForceLanguage(Language::English);
        std::iota(room.begin(), room.end(), std::uint8_t{0x40});
        grid.LoadRoom(0x0A, room);
        grid.show();
        QApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        Menu()->hide();
        ForceLanguage(std::nullopt);
        EXPECT_EQ(prompts.unexpected, 0);
    }
    QTableWidget* Table() const { return test::Control<QTableWidget>(&grid, u"SGridMapEdit"); }
    QMenu* Menu() const { return test::Control<QMenu>(&grid, u"PopupMenuMapEditGrid"); }
    QAction* MenuItem(QAnyStringView name) const { return test::Control<QAction>(&grid, name); }
    QPushButton* Button(QAnyStringView name) const { return test::Control<QPushButton>(&grid, name); }
    QString Cell(int column, int row) const
    {
        const QTableWidgetItem* item = Table()->item(row, column);
        return item ? item->text() : QStringLiteral("(no cell)");
    }
    void Select(int left, int top, int right, int bottom)
    {
        QTableWidget* table = Table();
        table->clearSelection();
        table->selectionModel()->setCurrentIndex(table->model()->index(top, left), QItemSelectionModel::NoUpdate);
        table->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
    }
    void RightClick(int column, int row)
    {
        QTableWidget* table = Table();
        QTest::mousePress(table->viewport(), Qt::RightButton, Qt::NoModifier,
                          table->visualItemRect(table->item(row, column)).center());
    }

    test::ScriptedPrompts prompts;
    TMapEditGridForm grid{prompts};
    std::array<std::uint8_t, 64> room{};
};

} // namespace

TEST_F(MapGridFormTest, LoadShowsTheRoomColumnAfterColumnWithItsCaption)
{
    EXPECT_EQ(grid.windowTitle(), QStringLiteral("Edit Screen 0A"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("40"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("41")) << "byte 1 is column 0, row 1";
    EXPECT_EQ(Cell(1, 0), QStringLiteral("48"));
    EXPECT_EQ(Table()->currentRow(), 0);
    EXPECT_EQ(Table()->currentColumn(), 0);
    EXPECT_EQ(grid.size(), QSize(283, 325));
    ForceLanguage(Language::Japanese);
    grid.LoadRoom(0x0A, room);
    EXPECT_EQ(grid.windowTitle(), QString::fromUtf8("マップ(部屋番号0A)の編集"));
}

TEST_F(MapGridFormTest, TypingArrowsAndFocusLossNormalise)
{
    QTableWidget* table = Table();
    QTest::keyClicks(table, QStringLiteral("123"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("3")) << "the third digit starts over";
    QTest::keyClicks(table, QStringLiteral("xg"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("3"));
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("03"));
    EXPECT_EQ(table->currentRow(), 1);
    QTest::keyClicks(table, QStringLiteral("f"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("F"));
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(table, &out);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("0F"));

    Button(u"BtnOK")->click();
    EXPECT_EQ(grid.result(), QDialog::Accepted);
    EXPECT_EQ(grid.RoomData()[0], 0x03);
    EXPECT_EQ(grid.RoomData()[1], 0x0F);
    EXPECT_EQ(grid.RoomData()[63], 0x7F);
}

TEST_F(MapGridFormTest, CancelEscAndEnterLeaveTheRoomData)
{
    Button(u"BtnOK")->click();
    const auto kept = grid.RoomData();
    grid.LoadRoom(0x0A, std::array<std::uint8_t, 64>{});
    grid.show();
    QTest::keyClick(&grid, Qt::Key_Escape);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_TRUE(grid.isVisible()) << "neither key closes the dialog";
    Button(u"BtnCancel")->click();
    EXPECT_EQ(grid.result(), QDialog::Rejected);
    EXPECT_EQ(grid.RoomData(), kept);
}

TEST_F(MapGridFormTest, CopyPutsTheSelectionOnTheClipboardAndPasteReadsItBack)
{
    Select(1, 2, 2, 3);
    MenuItem(u"MenuItemCopyToClipBoard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("4A 52\r\n4B 53\r\n"));
    Select(0, 0, 0, 0);
    QTest::keyClick(Table(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("40\r\n"));

    QApplication::clipboard()->setText(QStringLiteral("1 2 3"));
    Select(6, 4, 6, 4);
    MenuItem(u"MenuItemPasteFromClipBoard")->trigger();
    EXPECT_EQ(Cell(6, 4), QStringLiteral("01"));
    EXPECT_EQ(Cell(7, 4), QStringLiteral("02"));
    EXPECT_EQ(Cell(0, 5), QStringLiteral("45")) << "the 3 falls outside and is dropped";

    QApplication::clipboard()->setText(QStringLiteral("ZZ 10"));
    Select(0, 0, 0, 0);
    QTest::keyClick(Table(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("40"));
    EXPECT_EQ(Cell(1, 0), QStringLiteral("10"));

    QApplication::clipboard()->setText(QString(257, QLatin1Char('1')));
    MenuItem(u"MenuItemPasteFromClipBoard")->trigger();
    EXPECT_EQ(Cell(0, 0), QStringLiteral("40")) << "257 characters paste nothing";
}

TEST_F(MapGridFormTest, RightClickMovesASingleSelectionAndEnablesPasteOnlyWithText)
{
    QTableWidget* table = Table();
    RightClick(3, 5);
    EXPECT_EQ(table->currentColumn(), 3);
    EXPECT_EQ(table->currentRow(), 5);
    EXPECT_TRUE(Menu()->isVisible());
    EXPECT_FALSE(MenuItem(u"MenuItemPasteFromClipBoard")->isEnabled()) << "an empty clipboard";
    Menu()->hide();

    Select(1, 1, 2, 2);
    QApplication::clipboard()->setText(QStringLiteral("00"));
    RightClick(6, 6);
    EXPECT_EQ(table->selectedRanges().value(0).leftColumn(), 1) << "a larger selection stays";
    EXPECT_EQ(table->selectedRanges().value(0).bottomRow(), 2);
    EXPECT_TRUE(MenuItem(u"MenuItemPasteFromClipBoard")->isEnabled());
}

TEST_F(MapGridFormTest, FillAsksForAHexByte)
{
    Select(2, 2, 3, 3);
    prompts.inputs = {QStringLiteral("a"), QStringLiteral("100"), QStringLiteral("xyz"), std::nullopt};
    MenuItem(u"MenuItemFillCells")->trigger();
    EXPECT_EQ(prompts.questions.value(0), QStringLiteral("Input a Value for Initialization(00-FF)"));
    EXPECT_EQ(Cell(2, 2), QStringLiteral("0A"));
    EXPECT_EQ(Cell(3, 3), QStringLiteral("0A"));
    EXPECT_EQ(Cell(4, 3), QStringLiteral("63"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        Select(0, 0, 0, 0);
        MenuItem(u"MenuItemFillCells")->trigger();
        EXPECT_EQ(Cell(0, 0), QStringLiteral("40")) << "100, xyz and a cancelled dialog change nothing";
    }
}
