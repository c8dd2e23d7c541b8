// The stage check window: its findings as the user sees them, and where a double click leads.
#include "core/base/HexText.h"
#include "core/model/RestartPoint.h"
#include "core/model/RomImage.h"
#include "core/model/StageCheck.h"
#include "core/model/StageObjects.h"
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
    QDialog* openCheck()
    {
        menuAction(u"MenuItemCheckStage")->trigger();
        QDialog* window = find<QDialog>(u"StageCheckWindow");
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }
    QTreeWidget* list() const { return find<QTreeWidget>(u"ListStageCheck"); }
    QString status() const { return find<QLabel>(u"LblStageCheckStatus")->text(); }
    int columnNamed(const QString& header) const
    {
        for (int c = 0; c < list()->columnCount(); ++c)
            if (list()->headerItem()->text(c) == header)
                return c;
        ADD_FAILURE() << "no column " << header.toStdString();
        return 0;
    }
    // The finding listed for a place ("restart point 2"), or null.
    QTreeWidgetItem* rowAt(const QString& place) const
    {
        const int column = columnNamed(QStringLiteral("Place"));
        for (int r = 0; r < list()->topLevelItemCount(); ++r)
            if (list()->topLevelItem(r)->text(column) == place)
                return list()->topLevelItem(r);
        return nullptr;
    }
    // As the system delivers one: a click, then the double click.
    void doubleClick(QTreeWidgetItem* row) const
    {
        list()->scrollToItem(row);
        const QPoint at = list()->visualItemRect(row).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
    static QString hex(int value) { return QString::fromStdString(formatHex(static_cast<std::uint32_t>(value), 2)); }
};

} // namespace

TEST_F(StageCheckWindowTest, TheToolsMenuAndTheWindowLiveWithTheImage)
{
    mainForm();
    QMenu* tools = find<QMenu>(u"MenuTools");
    EXPECT_FALSE(tools->menuAction()->isVisible());
    EXPECT_FALSE(menuAction(u"MenuItemCheckStage")->isEnabled());
    opened();
    EXPECT_TRUE(tools->menuAction()->isVisible());
    EXPECT_EQ(menuAction(u"MenuItemCheckStage")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));

    QDialog* window = openCheck();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Stage Check - ") + stageSelector()->itemText(0));
    const auto expected = checkStage(form->rom(), 0);
    ASSERT_FALSE(expected.empty()) << "the sample has notes: shared tables, unused chips";
    ASSERT_TRUE(std::ranges::all_of(expected, [](const Finding& f) { return f.severity == Severity::Note; }));
    EXPECT_EQ(list()->topLevelItemCount(), static_cast<int>(expected.size()));
    EXPECT_TRUE(list()->isColumnHidden(columnNamed(QStringLiteral("Stage"))));
    EXPECT_EQ(status(), QStringLiteral("%1 notes").arg(expected.size()));

    form->commandClose(); // nothing edited: no question
    EXPECT_FALSE(window->isVisible()) << "the findings were the closed image's";
    EXPECT_FALSE(tools->menuAction()->isVisible());
}

TEST_F(StageCheckWindowTest, AWrongRestartPointLeadsToItsPointAndGoesOnceFixed)
{
    showPage(pgMapEdit);
    const auto derived = currentStage().restartPoints(2).clone();
    derived->recalc();
    currentStage().setRestartPointField(2, mfEnemyIndex, static_cast<std::uint8_t>(derived->enemyIndex + 1));

    openCheck();
    const RestartPoint& point = currentStage().restartPoints(2);
    QTreeWidgetItem* row = rowAt(QStringLiteral("restart point 2"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(columnNamed(QStringLiteral("Severity"))), QStringLiteral("warning"));
    EXPECT_TRUE(row->text(columnNamed(QStringLiteral("Finding"))).startsWith(QStringLiteral("EnemyIndex ")));
    EXPECT_TRUE(status().startsWith(QStringLiteral("1 warning, "))) << status().toStdString();

    doubleClick(row);
    EXPECT_EQ(pages()->currentIndex(), pgRestartPointEdit);
    EXPECT_EQ(find<QComboBox>(u"ComboBoxMidPointSelect")->currentIndex(), 2);
    QLineEdit* box = find<QLineEdit>(u"EditMidPointEnemyIndex");
    EXPECT_EQ(box->text(), hex(point.enemyIndex));

    // Mended on the page with the window still open: the list follows shortly after.
    type(box, hex(derived->enemyIndex));
    ASSERT_EQ(point.enemyIndex, derived->enemyIndex);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowAt(QStringLiteral("restart point 2")) == nullptr; }, 2000));
    EXPECT_FALSE(status().contains(QStringLiteral("warning")));
}

TEST_F(StageCheckWindowTest, AScrollEntryAndARoomLeadToTheirLineAndRoom)
{
    opened();
    const int entry = currentStage().restartPoints(currentStage().defaultStartPoint()).startScroll;
    ASSERT_TRUE(currentStage().setScrollData(entry, static_cast<std::uint8_t>(currentStage().scroll()[entry] | 0x10)));
    openCheck();
    QTreeWidgetItem* line = rowAt(QStringLiteral("scroll entry ") + hex(entry));
    ASSERT_NE(line, nullptr);
    doubleClick(line);
    EXPECT_EQ(pages()->currentIndex(), pgScrollEdit);
    EXPECT_EQ(find<QListWidget>(u"LBScrollData")->currentRow(), entry);

    // Restart points that walk nowhere leave every room with objects off the paths.
    for (int p = 0; p < RestartPointCount; ++p)
        currentStage().setRestartPointStartRoom(p, RoomCount);
    int room = 0; // the group's first
    while (room < LastRoom &&
           currentStage().enemyObjects().lists(room).count() + currentStage().itemObjects().lists(room).count() == 0)
        ++room;
    QTreeWidgetItem* roomRow = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (roomRow = rowAt(QStringLiteral("rooms"))) != nullptr; }, 2000))
        << "the edit shows in the open window";
    QScrollBar* rooms = find<QScrollBar>(u"ScrollBarObjectEdit");
    rooms->setValue(rooms->maximum()); // the page stands elsewhere
    doubleClick(roomRow);
    EXPECT_EQ(pages()->currentIndex(), pgObjectEdit);
    const int left = rooms->value();
    EXPECT_TRUE(left == room || left + 1 == room) << "room " << room << " beside left room " << left;
}

TEST_F(StageCheckWindowTest, AllStagesListsOtherStagesAndLeadsToTheirStage)
{
    MainForm& window = opened();
    ASSERT_TRUE(window.rom().stage(3).setPaletteColor(5, 0x45));
    openCheck();
    EXPECT_EQ(rowAt(QStringLiteral("palette entry 05")), nullptr) << "stage 00 is shown";

    find<QCheckBox>(u"CheckStageCheckAll")->click();
    EXPECT_FALSE(list()->isColumnHidden(columnNamed(QStringLiteral("Stage"))));
    QTreeWidgetItem* row = rowAt(QStringLiteral("palette entry 05"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(columnNamed(QStringLiteral("Stage"))), QStringLiteral("03 Foundry"));
    EXPECT_EQ(list()->topLevelItemCount(), static_cast<int>(checkAllStages(window.rom()).size()));

    doubleClick(row);
    EXPECT_EQ(stageSelector()->currentIndex(), 3);
    EXPECT_EQ(window.rom().currentStageIndex(), 3);
    EXPECT_EQ(pages()->currentIndex(), pgPaletteEdit);
    QLineEdit* box = find<QLineEdit>(u"EditPaletteEdit5");
    EXPECT_EQ(box->selectedText(), QStringLiteral("45")) << "ready to be typed over";

    undoAction()->trigger();
    EXPECT_EQ(rowAt(QStringLiteral("palette entry 05")), nullptr) << "undo checks again at once";
}

TEST_F(StageCheckWindowTest, ItNamesItsStageSortsBySeverityHidesNotesAndReadsANewStageFromTheTop)
{
    MainForm& window = opened();
    ASSERT_TRUE(window.rom().stage(1).setPaletteColor(5, 0x45));
    QDialog* dialog = openCheck();
    EXPECT_EQ(find<QLabel>(u"LblStageCheckStage")->text(), QStringLiteral("&Stage: ") + stageSelector()->itemText(0));
    list()->setCurrentItem(list()->topLevelItem(2));
    stageSelector()->setCurrentIndex(1);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Stage Check - ") + stageSelector()->itemText(1));
    const int severity = columnNamed(QStringLiteral("Severity"));
    ASSERT_NE(list()->currentItem(), nullptr);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0)) << "a new stage is read from the top";
    EXPECT_EQ(list()->currentItem()->text(severity), QStringLiteral("warning"));

    list()->sortByColumn(severity, Qt::DescendingOrder);
    EXPECT_EQ(list()->topLevelItem(0)->text(severity), QStringLiteral("note")) << "by weight, not by word";
    QCheckBox* hide = find<QCheckBox>(u"CheckStageCheckHideNotes");
    EXPECT_EQ(hide->text(), QStringLiteral("&Hide notes"));
    hide->click();
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_TRUE(status().endsWith(QStringLiteral("(notes hidden)"))) << status().toStdString();
    doubleClick(list()->topLevelItem(0));
    EXPECT_EQ(find<QLineEdit>(u"EditPaletteEdit5")->selectedText(), QStringLiteral("45")) << "the row's own finding";
}

TEST_F(StageCheckWindowTest, EveryWindowBesideTheEditorGoesWithTheImageAndComesBackWithTheNext)
{
    MainForm& window = opened();
    const auto shown = [this] {
        std::vector<bool> visible;
        for (const auto* name : {u"StageCheckWindow", u"ChipUsesWindow", u"StageOverviewWindow"})
            visible.push_back(find<QDialog>(name)->isVisible());
        return visible;
    };
    const auto openAll = [this] {
        for (const auto* item : {u"MenuItemCheckStage", u"MenuItemFindChipUses", u"MenuItemStageOverview"})
            menuAction(item)->trigger();
    };
    openAll();
    EXPECT_EQ(shown(), std::vector<bool>(3, true));
    window.commandClose();
    EXPECT_EQ(shown(), std::vector<bool>(3, false)) << "each showed the closed image";
    opened();
    openAll();
    EXPECT_EQ(shown(), std::vector<bool>(3, true));
    EXPECT_EQ(window.findChildren<QDialog*>(QStringLiteral("ChipUsesWindow")).size(), 1) << "made once";
}
