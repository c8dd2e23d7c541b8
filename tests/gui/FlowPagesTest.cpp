// The scroll page and the restart-point page.
#include "core/HexText.h"
#include "core/MidPoint.h"
#include "core/RomImgManager.h"
#include "gui/pages/MidPointEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/widgets/UpDown.h"
#include "tests/gui/EditorFixture.h"

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
        if (!form)
            Opened();
        form->PageControl()->setCurrentIndex(pgScrollEdit);
        return *form->ScrollEdit();
    }
    TMidPointEdit& PointPage()
    {
        if (!form)
            Opened();
        form->PageControl()->setCurrentIndex(pgMidPointEdit);
        return *form->MidPointEdit();
    }
    TMidPoint& StartPoint() const { return Stage().MidPoints(Stage().DefaultStartPoint()); }
    static void Type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
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
    page.LBScrollData()->setCurrentRow(line);
    const std::uint8_t before = Stage().Scroll()[line];
    ASSERT_FALSE(before & 0x40);
    const int last = page.Path().segmentLeftRoom[line] + (before & 0x0F); // the entry's last room
    page.ScrollBarScrollEdit()->setValue(last);
    ASSERT_EQ(page.ViewRoom(0), last);
    EXPECT_FALSE(MarkAt(page.ImgScrollEdit(0), 130, 212)) << "no down arrow yet";

    page.CheckDown()->click();
    EXPECT_EQ(Stage().Scroll()[line], before | 0x40);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Scroll"));
    EXPECT_TRUE(page.LBScrollData()->item(line)->text().contains(QStringLiteral("Right&Down")));
    EXPECT_EQ(page.LBScrollData()->currentRow(), line);
    EXPECT_EQ(page.EditScrollData()->text(), QString::fromStdString(FormatHex(before | 0x40, 2)));
    EXPECT_TRUE(MarkAt(page.ImgScrollEdit(0), 130, 212)) << "the down arrow";

    form->CommandUndo();
    EXPECT_EQ(Stage().Scroll()[line], before);
    EXPECT_FALSE(page.LBScrollData()->item(line)->text().contains(QStringLiteral("Down")));
    EXPECT_EQ(page.LBScrollData()->currentRow(), line) << "the same line stays selected";
    EXPECT_FALSE(page.CheckDown()->isChecked());
    EXPECT_FALSE(MarkAt(page.ImgScrollEdit(0), 130, 212));
}

TEST_F(FlowPagesTest, DirectInputWaitsForTwoDigitsAndKeepsAnyByte)
{
    TScrollEdit& page = ScrollPage();
    page.LBScrollData()->setCurrentRow(5);
    QLineEdit* box = page.EditScrollData();
    const QString stored = box->text();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3"));
    EXPECT_EQ(UndoCount(), 0);
    QTest::keyClicks(box, QStringLiteral("5"));
    EXPECT_EQ(Stage().Scroll()[5], 0x35);
    EXPECT_TRUE(page.LBScrollData()->item(5)->text().endsWith(QStringLiteral("(????\x29")));
    EXPECT_EQ(page.LBScrollData()->currentRow(), 5);

    page.CheckRight()->click(); // the boxes rewrite it without bit 4
    EXPECT_EQ(Stage().Scroll()[5], 0x05);
    Type(box, QStringLiteral("zq"));
    EXPECT_EQ(box->text(), QStringLiteral("05")) << "the stored value again";
    EXPECT_EQ(UndoCount(), 2);
    EXPECT_NE(stored, QString());
}

TEST_F(FlowPagesTest, SelectingALineMovesTheViewsToItsLeftRoom)
{
    TScrollEdit& page = ScrollPage();
    page.LBScrollData()->setCurrentRow(2);
    const int left = std::min(page.Path().segmentLeftRoom[2], 0x2A);
    EXPECT_EQ(page.ViewRoom(0), left);
    EXPECT_EQ(page.ViewRoom(1), left + 1);
    EXPECT_EQ(page.ScrollBarScrollEdit()->value(), left);
    EXPECT_EQ(page.LblSelectedScrollIndex()->text(), QStringLiteral("02"));
    EXPECT_EQ(page.LblScrollEditPages()->text(), QString::fromStdString(FormatHex(static_cast<unsigned>(left), 2) + "-" +
                                                                        FormatHex(static_cast<unsigned>(left + 1), 2)));
}

TEST_F(FlowPagesTest, TypedStartRoomMovesTheViewAndTheScrollPageFollows)
{
    TMidPointEdit& page = PointPage();
    QLineEdit* room = page.EditMidPointData(mfStartRoom);
    const std::uint8_t before = StartPoint().StartRoom();
    Type(room, QStringLiteral("2C"));
    EXPECT_EQ(room->text(), QString::fromStdString(FormatHex(before, 2))) << "2C is refused at once";
    EXPECT_FALSE(form->Rom().IsModified());

    Type(room, QStringLiteral("2b"));
    EXPECT_EQ(StartPoint().StartRoom(), 0x2B);
    EXPECT_EQ(StartPoint().LeftRoom, 0x2B);
    EXPECT_EQ(page.EditMidPointData(mfLeftRoom)->text(), QStringLiteral("2B"));
    EXPECT_EQ(page.ScrollBarMidPointStartRoom()->value(), 0x2B);
    EXPECT_EQ(page.LblMidPointStartRoom()->text(), QStringLiteral("2B"));
    EXPECT_TRUE(form->Rom().IsModified());
    EXPECT_EQ(UndoCount(), 0) << "restart points keep out of the history";

    TScrollEdit& scroll = ScrollPage();
    EXPECT_EQ(scroll.Path().segmentLeftRoom[StartPoint().StartScroll], 0x2B) << "the walk starts at the new room";
}

TEST_F(FlowPagesTest, LandingHeightArrowsMoveTheMarkerByARow)
{
    TMidPointEdit& page = PointPage();
    StartPoint().StartY = 0xB7;
    page.Refresh();
    page.UpDownMidPointStartY()->UpButton()->click();
    EXPECT_EQ(StartPoint().StartY, 0xA4);
    EXPECT_EQ(page.LblMidPointStartY()->text(), QStringLiteral("A4"));
    EXPECT_EQ(ShownColor(page.ImgMidPointStartRoom(), 120, 0xA4), RGB(255, 255, 255)) << "the marker's left side";
    EXPECT_EQ(ShownColor(page.ImgMidPointStartRoom(), 127, 0xA4 - 12), RGB(255, 255, 255)) << "its top";
    page.UpDownMidPointStartY()->DownButton()->click();
    page.UpDownMidPointStartY()->DownButton()->click();
    EXPECT_EQ(StartPoint().StartY, 0xC4);

    StartPoint().StartY = 0xF4;
    page.Refresh();
    const std::uint64_t version = page.ImgMidPointStartRoom()->Bitmap()->Version();
    page.UpDownMidPointStartY()->DownButton()->click();
    EXPECT_EQ(StartPoint().StartY, 0xF4);
    EXPECT_EQ(page.ImgMidPointStartRoom()->Bitmap()->Version(), version) << "nothing changed, nothing redrawn";
}

TEST_F(FlowPagesTest, AddressBoxWaitsForFourDigitsAndRecalculationTouchesEveryPoint)
{
    TMidPointEdit& page = PointPage();
    QLineEdit* address = page.EditMidPointData(mfMapBackAddr);
    Type(address, QStringLiteral("123"));
    EXPECT_EQ(StartPoint().MapBackAddr, 0x84E0) << "three digits wait";
    QTest::keyClicks(address, QStringLiteral("4"));
    EXPECT_EQ(StartPoint().MapBackAddr, 0x1234);

    TMidPoint& other = Stage().MidPoints((Stage().DefaultStartPoint() + 1) % MidPointCount);
    other.MapForwardAddr = 0x0001;
    page.BtnMidPointAllRecalc()->click();
    EXPECT_NE(other.MapForwardAddr, 0x0001) << "points not shown are recalculated too";
    EXPECT_EQ(address->text(), QString::fromStdString(FormatHex(StartPoint().MapBackAddr, 2)));
    EXPECT_NE(StartPoint().MapBackAddr, 0x1234);

    form->CommandUndo(); // nothing to undo: restart points have no history
    EXPECT_NE(StartPoint().MapBackAddr, 0x1234);
}

TEST_F(FlowPagesTest, SavedEditsChangeOnlyTheirTables)
{
    ScrollPage().CheckUp()->click(); // entry 0
    TMidPointEdit& page = PointPage();
    page.UpDownMidPointStartY()->UpButton()->click();
    ASSERT_TRUE(form->CommandSave());
    const auto saved = test::ReadBytes(image.toStdString());
    const auto& original = test::SampleBytes();
    const auto scroll = static_cast<std::size_t>(Stage().Address(TableKey::Scroll));
    const auto startY = static_cast<std::size_t>(Stage().Address(TableKey::MidPointStartY) + Stage().DefaultStartPoint());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i])
            changed.push_back(i);
    std::vector<std::size_t> expected{scroll, startY};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changed, expected);
}

TEST_F(FlowPagesTest, ClickingTheSelectedLineAgainBringsTheViewsBack)
{
    TScrollEdit& page = ScrollPage();
    page.LBScrollData()->setCurrentRow(1);
    const int left = page.ViewRoom(0);
    page.ScrollBarScrollEdit()->setValue(left == 0 ? 20 : 0);
    ASSERT_NE(page.ViewRoom(0), left);
    QListWidget* list = page.LBScrollData();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(page.ViewRoom(0), left);
}
