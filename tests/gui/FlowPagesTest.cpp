// The scroll page and the restart-point page.
#include "core/HexText.h"
#include "core/MidPoint.h"
#include "core/RomImgManager.h"
#include "gui/pages/MidPointEdit.h"
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
    TScrollEdit& ScrollPage()
    {
        ShowPage(pgScrollEdit);
        return *form->ScrollEdit();
    }
    TMidPointEdit& PointPage()
    {
        ShowPage(pgMidPointEdit);
        return *form->MidPointEdit();
    }
    QListWidget* Lines() const { return Find<QListWidget>(u"LBScrollData"); }
    TImageView* ScrollView(int view) const { return Find<TImageView>(u"ImgScrollEdit", view); }
    QLineEdit* Box(QAnyStringView name) const { return Find<QLineEdit>(name); }
    TImageView* StartRoomView() const { return Find<TImageView>(u"ImgMidPointStartRoom"); }
    void StepStartY(bool up) const
    {
        TUpDown* arrows = Find<TUpDown>(u"UpDownMidPointStartY");
        (up ? arrows->UpButton() : arrows->DownButton())->click();
    }
    TMidPoint& StartPoint() const { return Stage().MidPoints(Stage().DefaultStartPoint()); }
    // Whether the mark's text cell (white on black) covers the point.
    static bool MarkAt(const TImageView* view, int x, int y)
    {
        const TColor color = ShownColor(view, x, y);
        return color == RGB(0, 0, 0) || color == RGB(255, 255, 255);
    }
};

} // namespace

TEST_F(FlowPagesTest, TickingDownEditsTheEntryItsLineAndItsRoomAndUndoRestoresThem)
{
    TScrollEdit& page = ScrollPage();
    const int line = 0;
    Lines()->setCurrentRow(line);
    const std::uint8_t before = Stage().Scroll()[line];
    ASSERT_FALSE(before & 0x40);
    const int last = page.Path().segmentLeftRoom[line] + (before & 0x0F); // the entry's last room
    Find<QScrollBar>(u"ScrollBarScrollEdit")->setValue(last);
    ASSERT_EQ(page.ViewRoom(0), last);
    EXPECT_FALSE(MarkAt(ScrollView(0), 130, 212)) << "no down arrow yet";

    Find<QCheckBox>(u"CheckDown")->click();
    EXPECT_EQ(Stage().Scroll()[line], before | 0x40);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Scroll"));
    EXPECT_TRUE(Lines()->item(line)->text().contains(QStringLiteral("Right&Down")));
    EXPECT_EQ(Lines()->currentRow(), line);
    EXPECT_EQ(Box(u"EditScrollData")->text(), QString::fromStdString(FormatHex(before | 0x40, 2)));
    EXPECT_TRUE(MarkAt(ScrollView(0), 130, 212)) << "the down arrow";

    form->CommandUndo();
    EXPECT_EQ(Stage().Scroll()[line], before);
    EXPECT_FALSE(Lines()->item(line)->text().contains(QStringLiteral("Down")));
    EXPECT_EQ(Lines()->currentRow(), line) << "the same line stays selected";
    EXPECT_FALSE(Find<QCheckBox>(u"CheckDown")->isChecked());
    EXPECT_FALSE(MarkAt(ScrollView(0), 130, 212));
}

TEST_F(FlowPagesTest, DirectInputWaitsForTwoDigitsAndKeepsAnyByte)
{
    ScrollPage();
    Lines()->setCurrentRow(5);
    QLineEdit* box = Box(u"EditScrollData");
    const QString stored = box->text();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3"));
    EXPECT_EQ(UndoCount(), 0);
    QTest::keyClicks(box, QStringLiteral("5"));
    EXPECT_EQ(Stage().Scroll()[5], 0x35);
    EXPECT_TRUE(Lines()->item(5)->text().endsWith(QStringLiteral("(????\x29")));
    EXPECT_EQ(Lines()->currentRow(), 5);

    Find<QCheckBox>(u"CheckRight")->click(); // the boxes rewrite it without bit 4
    EXPECT_EQ(Stage().Scroll()[5], 0x05);
    Type(box, QStringLiteral("zq"));
    EXPECT_EQ(box->text(), QStringLiteral("05")) << "the stored value again";
    EXPECT_EQ(UndoCount(), 2);
    EXPECT_NE(stored, QString());
}

TEST_F(FlowPagesTest, SelectingALineMovesTheViewsToItsLeftRoom)
{
    TScrollEdit& page = ScrollPage();
    Lines()->setCurrentRow(2);
    const int left = std::min(page.Path().segmentLeftRoom[2], 0x2A);
    EXPECT_EQ(page.ViewRoom(0), left);
    EXPECT_EQ(page.ViewRoom(1), left + 1);
    EXPECT_EQ(Find<QScrollBar>(u"ScrollBarScrollEdit")->value(), left);
    EXPECT_EQ(Find<QLabel>(u"LblSelectedScrollIndex")->text(), QStringLiteral("02"));
    EXPECT_EQ(Find<QLabel>(u"LblScrollEditPages")->text(), QString::fromStdString(FormatHex(static_cast<unsigned>(left), 2) + "-" +
                                                                        FormatHex(static_cast<unsigned>(left + 1), 2)));
}

TEST_F(FlowPagesTest, TypedStartRoomMovesTheViewAndTheScrollPageFollows)
{
    PointPage();
    QLineEdit* room = Box(u"EditMidPointStartRoom");
    const std::uint8_t before = StartPoint().StartRoom();
    Type(room, QStringLiteral("2C"));
    EXPECT_EQ(room->text(), QString::fromStdString(FormatHex(before, 2))) << "2C is refused at once";
    EXPECT_FALSE(form->Rom().IsModified());

    Type(room, QStringLiteral("2b"));
    EXPECT_EQ(StartPoint().StartRoom(), 0x2B);
    EXPECT_EQ(StartPoint().LeftRoom, 0x2B);
    EXPECT_EQ(Box(u"EditMidPointLeftRoom")->text(), QStringLiteral("2B"));
    EXPECT_EQ(Find<QScrollBar>(u"ScrollBarMidPointStartRoom")->value(), 0x2B);
    EXPECT_EQ(Find<QLabel>(u"LblMidPointStartRoom")->text(), QStringLiteral("2B"));
    EXPECT_TRUE(form->Rom().IsModified());
    EXPECT_EQ(UndoCount(), 1) << "a typed restart point is one step of the history";

    TScrollEdit& scroll = ScrollPage();
    EXPECT_EQ(scroll.Path().segmentLeftRoom[StartPoint().StartScroll], 0x2B) << "the walk starts at the new room";
}

TEST_F(FlowPagesTest, LandingHeightArrowsMoveTheMarkerByARow)
{
    TMidPointEdit& page = PointPage();
    StartPoint().StartY = 0xB7;
    page.Refresh();
    StepStartY(true);
    EXPECT_EQ(StartPoint().StartY, 0xA4);
    EXPECT_EQ(Find<QLabel>(u"LblMidPointStartY")->text(), QStringLiteral("A4"));
    EXPECT_EQ(ShownColor(StartRoomView(), 120, 0xA4), RGB(255, 255, 255)) << "the marker's left side";
    EXPECT_EQ(ShownColor(StartRoomView(), 127, 0xA4 - 12), RGB(255, 255, 255)) << "its top";
    StepStartY(false);
    StepStartY(false);
    EXPECT_EQ(StartPoint().StartY, 0xC4);

    StartPoint().StartY = 0xF4;
    page.Refresh();
    const std::uint64_t version = StartRoomView()->Bitmap()->Version();
    StepStartY(false);
    EXPECT_EQ(StartPoint().StartY, 0xF4);
    EXPECT_EQ(StartRoomView()->Bitmap()->Version(), version) << "nothing changed, nothing redrawn";
}

TEST_F(FlowPagesTest, AddressBoxWaitsForFourDigitsAndRecalculationTouchesEveryPoint)
{
    PointPage();
    QLineEdit* address = Box(u"EditMidPointMapBackAddr");
    Type(address, QStringLiteral("123"));
    EXPECT_EQ(StartPoint().MapBackAddr, 0x84E0) << "three digits wait";
    QTest::keyClicks(address, QStringLiteral("4"));
    EXPECT_EQ(StartPoint().MapBackAddr, 0x1234);

    TMidPoint& other = Stage().MidPoints((Stage().DefaultStartPoint() + 1) % MidPointCount);
    other.MapForwardAddr = 0x0001;
    Find<QPushButton>(u"BtnMidPointAllRecalc")->click();
    EXPECT_NE(other.MapForwardAddr, 0x0001) << "points not shown are recalculated too";
    EXPECT_EQ(address->text(), QString::fromStdString(FormatHex(StartPoint().MapBackAddr, 2)));
    EXPECT_NE(StartPoint().MapBackAddr, 0x1234);

    form->CommandUndo(); // the six recalculated points are one step
    EXPECT_EQ(StartPoint().MapBackAddr, 0x1234);
}

TEST_F(FlowPagesTest, SavedEditsChangeOnlyTheirTables)
{
    ScrollPage();
    Find<QCheckBox>(u"CheckUp")->click(); // entry 0
    PointPage();
    StepStartY(true);
    ASSERT_TRUE(form->CommandSave());
    const auto scroll = static_cast<std::size_t>(Stage().Address(TableKey::Scroll));
    const auto startY = static_cast<std::size_t>(Stage().Address(TableKey::MidPointStartY) + Stage().DefaultStartPoint());
    std::vector<std::size_t> expected{scroll, startY};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ChangedBytes(), expected);
}

TEST_F(FlowPagesTest, ClickingTheSelectedLineAgainBringsTheViewsBack)
{
    TScrollEdit& page = ScrollPage();
    Lines()->setCurrentRow(1);
    const int left = page.ViewRoom(0);
    Find<QScrollBar>(u"ScrollBarScrollEdit")->setValue(left == 0 ? 20 : 0);
    ASSERT_NE(page.ViewRoom(0), left);
    QListWidget* list = Lines();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(page.ViewRoom(0), left);
}
