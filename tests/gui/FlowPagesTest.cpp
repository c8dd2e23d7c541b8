// The scroll page and the restart-point page.
#include "core/base/HexText.h"
#include "core/model/RestartPoint.h"
#include "core/model/RomImage.h"
#include "gui/pages/RestartPointEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/widgets/UpDown.h"
#include "tests/gui/support/EditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace vx;

namespace {

class FlowPagesTest : public test::EditorFixture {
protected:
    ScrollEdit& scrollPage()
    {
        showPage(pgScrollEdit);
        return *form->scrollEdit();
    }
    RestartPointEdit& pointPage()
    {
        showPage(pgRestartPointEdit);
        return *form->restartPointEdit();
    }
    QListWidget* scrollLines() const { return find<QListWidget>(u"LBScrollData"); }
    ImageView* scrollView(int view) const { return find<ImageView>(u"ImgScrollEdit", view); }
    QLineEdit* boxNamed(QAnyStringView name) const { return find<QLineEdit>(name); }
    ImageView* startRoomView() const { return find<ImageView>(u"ImgMidPointStartRoom"); }
    void stepStartY(bool up) const
    {
        UpDown* arrows = find<UpDown>(u"UpDownMidPointStartY");
        (up ? arrows->upButton() : arrows->downButton())->click();
    }
    const RestartPoint& startPoint() const { return currentStage().restartPoints(currentStage().defaultStartPoint()); }
    void setStartY(std::uint8_t y) const
    {
        currentStage().setRestartPointField(currentStage().defaultStartPoint(), mfStartY, y);
    }
    // Whether the mark's text cell (white on black) covers the point.
    static bool markAt(const ImageView* view, int x, int y)
    {
        const Color color = shownColor(view, x, y);
        return color == RGB(0, 0, 0) || color == RGB(255, 255, 255);
    }
};

} // namespace

TEST_F(FlowPagesTest, TickingDownEditsTheEntryItsLineAndItsRoomAndUndoRestoresThem)
{
    ScrollEdit& page = scrollPage();
    const int line = 0;
    scrollLines()->setCurrentRow(line);
    const std::uint8_t before = currentStage().scroll()[line];
    ASSERT_FALSE(before & 0x40);
    const int last = page.path().segmentLeftRoom[line] + (before & 0x0F); // the entry's last room
    find<QScrollBar>(u"ScrollBarScrollEdit")->setValue(last);
    ASSERT_EQ(page.viewRoom(0), last);
    EXPECT_FALSE(markAt(scrollView(0), 130, 212)) << "no down arrow yet";

    find<QCheckBox>(u"CheckDown")->click();
    EXPECT_EQ(currentStage().scroll()[line], before | 0x40);
    EXPECT_EQ(undoSteps(), 1);
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Scroll"));
    EXPECT_TRUE(scrollLines()->item(line)->text().contains(QStringLiteral("Right&Down")));
    EXPECT_EQ(scrollLines()->currentRow(), line);
    EXPECT_EQ(boxNamed(u"EditScrollData")->text(), QString::fromStdString(formatHex(before | 0x40, 2)));
    EXPECT_TRUE(markAt(scrollView(0), 130, 212)) << "the down arrow";

    form->commandUndo();
    EXPECT_EQ(currentStage().scroll()[line], before);
    EXPECT_FALSE(scrollLines()->item(line)->text().contains(QStringLiteral("Down")));
    EXPECT_EQ(scrollLines()->currentRow(), line) << "the same line stays selected";
    EXPECT_FALSE(find<QCheckBox>(u"CheckDown")->isChecked());
    EXPECT_FALSE(markAt(scrollView(0), 130, 212));
}

TEST_F(FlowPagesTest, DirectInputWaitsForTwoDigitsAndKeepsAnyByte)
{
    scrollPage();
    scrollLines()->setCurrentRow(5);
    QLineEdit* box = boxNamed(u"EditScrollData");
    const QString stored = box->text();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3"));
    EXPECT_EQ(undoSteps(), 0);
    QTest::keyClicks(box, QStringLiteral("5"));
    EXPECT_EQ(currentStage().scroll()[5], 0x35);
    EXPECT_TRUE(scrollLines()->item(5)->text().endsWith(QStringLiteral("(????\x29")));
    EXPECT_EQ(scrollLines()->currentRow(), 5);

    find<QCheckBox>(u"CheckRight")->click(); // the boxes rewrite it without bit 4
    EXPECT_EQ(currentStage().scroll()[5], 0x05);
    type(box, QStringLiteral("zq"));
    EXPECT_EQ(box->text(), QStringLiteral("05")) << "the stored value again";
    EXPECT_EQ(undoSteps(), 2);
    EXPECT_NE(stored, QString());
}

TEST_F(FlowPagesTest, SelectingALineMovesTheViewsToItsLeftRoom)
{
    ScrollEdit& page = scrollPage();
    scrollLines()->setCurrentRow(2);
    const int left = std::min(page.path().segmentLeftRoom[2], 0x2A);
    EXPECT_EQ(page.viewRoom(0), left);
    EXPECT_EQ(page.viewRoom(1), left + 1);
    EXPECT_EQ(find<QScrollBar>(u"ScrollBarScrollEdit")->value(), left);
    EXPECT_EQ(find<QLabel>(u"LblSelectedScrollIndex")->text(), QStringLiteral("02"));
    EXPECT_EQ(find<QLabel>(u"LblScrollEditPages")->text(),
              QString::fromStdString(formatHex(static_cast<unsigned>(left), 2) + "-" +
                                     formatHex(static_cast<unsigned>(left + 1), 2)));
}

TEST_F(FlowPagesTest, TypedStartRoomMovesTheViewAndTheScrollPageFollows)
{
    pointPage();
    QLineEdit* room = boxNamed(u"EditMidPointStartRoom");
    const std::uint8_t before = startPoint().startRoom();
    type(room, QStringLiteral("2C"));
    EXPECT_EQ(room->text(), QString::fromStdString(formatHex(before, 2))) << "2C is refused at once";
    EXPECT_FALSE(form->rom().isModified());

    type(room, QStringLiteral("2b"));
    EXPECT_EQ(startPoint().startRoom(), 0x2B);
    EXPECT_EQ(startPoint().leftRoom, 0x2B);
    EXPECT_EQ(boxNamed(u"EditMidPointLeftRoom")->text(), QStringLiteral("2B"));
    EXPECT_EQ(find<QScrollBar>(u"ScrollBarMidPointStartRoom")->value(), 0x2B);
    EXPECT_EQ(find<QLabel>(u"LblMidPointStartRoom")->text(), QStringLiteral("2B"));
    EXPECT_TRUE(form->rom().isModified());
    EXPECT_EQ(undoSteps(), 1) << "a typed restart point is one step of the history";

    ScrollEdit& scroll = scrollPage();
    EXPECT_EQ(scroll.path().segmentLeftRoom[startPoint().startScroll], 0x2B) << "the walk starts at the new room";
}

TEST_F(FlowPagesTest, LandingHeightArrowsMoveTheMarkerByARow)
{
    RestartPointEdit& page = pointPage();
    setStartY(0xB7);
    page.refresh();
    stepStartY(true);
    EXPECT_EQ(startPoint().startY, 0xA4);
    EXPECT_EQ(find<QLabel>(u"LblMidPointStartY")->text(), QStringLiteral("A4"));
    EXPECT_EQ(shownColor(startRoomView(), 120, 0xA4), RGB(255, 255, 255)) << "the marker's left side";
    EXPECT_EQ(shownColor(startRoomView(), 127, 0xA4 - 12), RGB(255, 255, 255)) << "its top";
    stepStartY(false);
    stepStartY(false);
    EXPECT_EQ(startPoint().startY, 0xC4);

    setStartY(0xF4);
    page.refresh();
    const std::uint64_t version = startRoomView()->bitmap()->version();
    stepStartY(false);
    EXPECT_EQ(startPoint().startY, 0xF4);
    EXPECT_EQ(startRoomView()->bitmap()->version(), version) << "nothing changed, nothing redrawn";
}

TEST_F(FlowPagesTest, AddressBoxWaitsForFourDigitsAndRecalculationTouchesEveryPoint)
{
    pointPage();
    QLineEdit* address = boxNamed(u"EditMidPointMapBackAddr");
    type(address, QStringLiteral("123"));
    EXPECT_EQ(startPoint().mapBackAddr, 0x84E0) << "three digits wait";
    QTest::keyClicks(address, QStringLiteral("4"));
    EXPECT_EQ(startPoint().mapBackAddr, 0x1234);

    const int otherIndex = (currentStage().defaultStartPoint() + 1) % RestartPointCount;
    const RestartPoint& other = currentStage().restartPoints(otherIndex);
    currentStage().setRestartPointField(otherIndex, mfMapForwardAddr, 0x0001);
    find<QPushButton>(u"BtnMidPointAllRecalc")->click();
    EXPECT_NE(other.mapForwardAddr, 0x0001) << "points not shown are recalculated too";
    EXPECT_EQ(address->text(), QString::fromStdString(formatHex(startPoint().mapBackAddr, 2)));
    EXPECT_NE(startPoint().mapBackAddr, 0x1234);

    form->commandUndo(); // the six recalculated points are one step
    EXPECT_EQ(startPoint().mapBackAddr, 0x1234);
}

TEST_F(FlowPagesTest, SavedEditsChangeOnlyTheirTables)
{
    scrollPage();
    find<QCheckBox>(u"CheckUp")->click(); // entry 0
    pointPage();
    stepStartY(true);
    ASSERT_TRUE(form->commandSave());
    const auto scroll = static_cast<std::size_t>(currentStage().address(TableKey::Scroll));
    const auto startY =
        static_cast<std::size_t>(currentStage().address(TableKey::MidPointStartY) + currentStage().defaultStartPoint());
    std::vector<std::size_t> expected{scroll, startY};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changedBytes(), expected);
}

TEST_F(FlowPagesTest, ClickingTheSelectedLineAgainBringsTheViewsBack)
{
    ScrollEdit& page = scrollPage();
    scrollLines()->setCurrentRow(1);
    const int left = page.viewRoom(0);
    find<QScrollBar>(u"ScrollBarScrollEdit")->setValue(left == 0 ? 20 : 0);
    ASSERT_NE(page.viewRoom(0), left);
    QListWidget* list = scrollLines();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(page.viewRoom(0), left);
}
