// The stage check window: its findings as the user sees them, and where a double click leads.
#include "core/HexText.h"
#include "core/MidPoint.h"
#include "core/RomImgManager.h"
#include "core/StageCheck.h"
#include "core/VxObject.h"
#include "tests/gui/support/EditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTreeWidget>

using namespace vx;

namespace {

class StageCheckWindowTest : public test::EditorFixture {
protected:
    // Tools > Check Stage; the window is active once the call returns, so a later check
    // comes from what the test does.
    QDialog* OpenCheck()
    {
        Command(u"MenuItemCheckStage")->trigger();
        QDialog* window = Find<QDialog>(u"StageCheckWindow");
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }
    QTreeWidget* List() const { return Find<QTreeWidget>(u"ListStageCheck"); }
    QString Status() const { return Find<QLabel>(u"LblStageCheckStatus")->text(); }
    int Column(const QString& header) const
    {
        for (int c = 0; c < List()->columnCount(); ++c)
            if (List()->headerItem()->text(c) == header)
                return c;
        ADD_FAILURE() << "no column " << header.toStdString();
        return 0;
    }
    // The finding listed for a place ("restart point 2"), or null.
    QTreeWidgetItem* Row(const QString& place) const
    {
        const int column = Column(QStringLiteral("Place"));
        for (int r = 0; r < List()->topLevelItemCount(); ++r)
            if (List()->topLevelItem(r)->text(column) == place)
                return List()->topLevelItem(r);
        return nullptr;
    }
    // As the system delivers one: a click, then the double click.
    void DoubleClick(QTreeWidgetItem* row) const
    {
        List()->scrollToItem(row);
        const QPoint at = List()->visualItemRect(row).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
    }
    static QString Hex(int value) { return QString::fromStdString(FormatHex(static_cast<std::uint32_t>(value), 2)); }
};

} // namespace

TEST_F(StageCheckWindowTest, TheToolsMenuAndTheWindowLiveWithTheImage)
{
    Form();
    QMenu* tools = Find<QMenu>(u"MenuTools");
    EXPECT_FALSE(tools->menuAction()->isVisible());
    EXPECT_FALSE(Command(u"MenuItemCheckStage")->isEnabled());
    Opened();
    EXPECT_TRUE(tools->menuAction()->isVisible());
    EXPECT_EQ(Command(u"MenuItemCheckStage")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));

    QDialog* window = OpenCheck();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Stage Check"));
    const auto expected = CheckStage(form->Rom(), 0);
    ASSERT_FALSE(expected.empty()) << "the sample has notes: shared tables, unused chips";
    ASSERT_TRUE(std::ranges::all_of(expected, [](const TFinding& f) { return f.severity == TSeverity::Note; }));
    EXPECT_EQ(List()->topLevelItemCount(), static_cast<int>(expected.size()));
    EXPECT_TRUE(List()->isColumnHidden(Column(QStringLiteral("Stage"))));
    EXPECT_EQ(Status(), QStringLiteral("%1 notes").arg(expected.size()));

    form->CommandClose(); // nothing edited: no question
    EXPECT_FALSE(window->isVisible()) << "the findings were the closed image's";
    EXPECT_FALSE(tools->menuAction()->isVisible());
}

TEST_F(StageCheckWindowTest, AWrongRestartPointLeadsToItsPointAndGoesOnceFixed)
{
    ShowPage(pgMapEdit);
    TMidPoint& point = Stage().MidPoints(2);
    const auto derived = point.Clone();
    derived->Recalc();
    point.EnemyIndex = static_cast<std::uint8_t>(derived->EnemyIndex + 1);
    Stage().MarkEdited(efMidPoint);

    OpenCheck();
    QTreeWidgetItem* row = Row(QStringLiteral("restart point 2"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Column(QStringLiteral("Severity"))), QStringLiteral("warning"));
    EXPECT_TRUE(row->text(Column(QStringLiteral("Finding"))).startsWith(QStringLiteral("EnemyIndex ")));
    EXPECT_TRUE(Status().startsWith(QStringLiteral("1 warning, "))) << Status().toStdString();

    DoubleClick(row);
    EXPECT_EQ(Pages()->currentIndex(), pgMidPointEdit);
    EXPECT_EQ(Find<QComboBox>(u"ComboBoxMidPointSelect")->currentIndex(), 2);
    QLineEdit* box = Find<QLineEdit>(u"EditMidPointEnemyIndex");
    EXPECT_EQ(box->text(), Hex(point.EnemyIndex));

    // Mended on the page with the window still open: the list follows shortly after.
    Type(box, Hex(derived->EnemyIndex));
    ASSERT_EQ(point.EnemyIndex, derived->EnemyIndex);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Row(QStringLiteral("restart point 2")) == nullptr; }, 2000));
    EXPECT_FALSE(Status().contains(QStringLiteral("warning")));
}

TEST_F(StageCheckWindowTest, AScrollEntryAndARoomLeadToTheirLineAndRoom)
{
    Opened();
    const int entry = Stage().MidPoints(Stage().DefaultStartPoint()).StartScroll;
    ASSERT_TRUE(Stage().SetScrollData(entry, static_cast<std::uint8_t>(Stage().Scroll()[entry] | 0x10)));
    OpenCheck();
    QTreeWidgetItem* line = Row(QStringLiteral("scroll entry ") + Hex(entry));
    ASSERT_NE(line, nullptr);
    DoubleClick(line);
    EXPECT_EQ(Pages()->currentIndex(), pgScrollEdit);
    EXPECT_EQ(Find<QListWidget>(u"LBScrollData")->currentRow(), entry);

    // Restart points that walk nowhere leave every room with objects off the paths.
    for (int p = 0; p < MidPointCount; ++p)
        Stage().MidPoints(p).SetStartRoom(RoomCount);
    Stage().MarkEdited(efMidPoint);
    int room = LastRoom;
    while (room > 0 && Stage().EnemyObjects().Lists(room).Count() + Stage().ItemObjects().Lists(room).Count() == 0)
        --room;
    ASSERT_GT(room, 1) << "a room the object page does not show first";
    QTreeWidgetItem* roomRow = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (roomRow = Row(QStringLiteral("room ") + Hex(room))) != nullptr; }, 2000))
        << "the edit shows in the open window";
    DoubleClick(roomRow);
    EXPECT_EQ(Pages()->currentIndex(), pgObjectEdit);
    const int left = Find<QScrollBar>(u"ScrollBarObjectEdit")->value();
    EXPECT_TRUE(left == room || left + 1 == room) << "room " << room << " beside left room " << left;
}

TEST_F(StageCheckWindowTest, AllStagesListsOtherStagesAndLeadsToTheirStage)
{
    TMainForm& window = Opened();
    ASSERT_TRUE(window.Rom().Stage(3).SetPaletteColor(5, 0x45));
    OpenCheck();
    EXPECT_EQ(Row(QStringLiteral("palette entry 05")), nullptr) << "stage 00 is shown";

    Find<QCheckBox>(u"CheckStageCheckAll")->click();
    EXPECT_FALSE(List()->isColumnHidden(Column(QStringLiteral("Stage"))));
    QTreeWidgetItem* row = Row(QStringLiteral("palette entry 05"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(Column(QStringLiteral("Stage"))), QStringLiteral("03 Foundry"));
    EXPECT_EQ(List()->topLevelItemCount(), static_cast<int>(CheckAllStages(window.Rom()).size()));

    DoubleClick(row);
    EXPECT_EQ(StageSelector()->currentIndex(), 3);
    EXPECT_EQ(window.Rom().CurrentStageIndex(), 3);
    EXPECT_EQ(Pages()->currentIndex(), pgPaletteEdit);
    QLineEdit* box = Find<QLineEdit>(u"EditPaletteEdit5");
    EXPECT_EQ(box->selectedText(), QStringLiteral("45")) << "ready to be typed over";

    UndoAction()->trigger();
    EXPECT_EQ(Row(QStringLiteral("palette entry 05")), nullptr) << "undo checks again at once";
}
