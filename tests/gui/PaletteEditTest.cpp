#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/PatternTableEdit.h"
#include "gui/widgets/ImageView.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace vx;

namespace {

class PaletteEditTest : public test::EditorFixture {
protected:
    TPaletteEdit& Page()
    {
        ShowPage(pgPaletteEdit);
        return *form->PaletteEdit();
    }
    TImageView* Entry(int entry) const { return Find<TImageView>(u"ImgPaletteEdit", entry); }
    QLineEdit* EntryBox(int entry) const { return Find<QLineEdit>(u"EditPaletteEdit", entry); }
    TImageView* ColorTable() const { return Find<TImageView>(u"ImgColorTable"); }
    TImageView* AnimeCells() const { return Find<TImageView>(u"ImgPaletteAnimeEdit"); }
    QComboBox* FrameCount() const { return Find<QComboBox>(u"ComboBoxPaletteAnimeFrameCount"); }
    QLineEdit* FrameTimer() const { return Find<QLineEdit>(u"EditPaletteAnimeFrameTimer"); }
    TColor Rgb(int colorIndex) const { return form->Graphics().GetRGB(colorIndex); }
    // A click in the middle of a 24x24 cell of a 16 x 4 grid.
    static void PressCell(TImageView* grid, int cell, Qt::MouseButton button = Qt::LeftButton)
    {
        Press(grid, (cell % 16) * 24 + 12, (cell / 16) * 24 + 12, button);
    }
    int VisibleArrow() const
    {
        int shown = -1;
        for (int i = 0; i < 4; ++i)
            if (!Find<QLabel>(u"LblCurrentAnimePaletteArrow", i)->isHidden()) {
                EXPECT_EQ(shown, -1) << "two arrows at once";
                shown = i;
            }
        return shown;
    }
};

} // namespace

TEST_F(PaletteEditTest, ColourThenEntryWritesTheEntryAndUndoRedoFollow)
{
    TPaletteEdit& page = Page();
    const std::uint8_t before = Stage().BGPalette()[3];
    ASSERT_NE(before, 0x16);
    PressCell(ColorTable(), 0x16);
    EXPECT_EQ(page.SelectedColor(), 0x16);
    EXPECT_EQ(Find<QLabel>(u"LblSelectedColorIndex")->text(), QStringLiteral("16"));
    EXPECT_EQ(Find<QFrame>(u"PnlSelectedColor")->palette().color(QPalette::Window).rgb() & 0xFFFFFF,
              QColor(Rgb(0x16) & 0xFF, (Rgb(0x16) >> 8) & 0xFF, Rgb(0x16) >> 16).rgb() & 0xFFFFFF);

    Press(Entry(3), 5, 5, Qt::LeftButton);
    EXPECT_EQ(Stage().BGPalette()[3], 0x16);
    EXPECT_EQ(EntryBox(3)->text(), QStringLiteral("16"));
    EXPECT_EQ(ShownColor(Entry(3), 12, 12), Rgb(0x16));
    EXPECT_EQ(form->Graphics().StagePalette().Color(3), Rgb(0x16)) << "the renderer has the new colour";
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Palette"));

    UndoAction()->trigger();
    EXPECT_EQ(Stage().BGPalette()[3], before);
    EXPECT_EQ(EntryBox(3)->text(), QString::fromStdString(FormatHex(before, 2)));
    EXPECT_EQ(ShownColor(Entry(3), 12, 12), Rgb(before));
    EXPECT_EQ(form->Graphics().StagePalette().Color(3), Rgb(before));
    RedoAction()->trigger();
    EXPECT_EQ(Stage().BGPalette()[3], 0x16);
    EXPECT_EQ(EntryBox(3)->text(), QStringLiteral("16"));
}

TEST_F(PaletteEditTest, SameColourOnAnEntryRecordsNothing)
{
    Page();
    const std::uint8_t held = Stage().BGPalette()[5];
    PressCell(ColorTable(), held);
    Press(Entry(5), 5, 5, Qt::LeftButton);
    EXPECT_EQ(UndoCount(), 0);
    EXPECT_TRUE(StatusPanel(0)->text().isEmpty());
    EXPECT_FALSE(form->Rom().IsModified());
}

TEST_F(PaletteEditTest, TypedEntryTextFollowsTheHexRules)
{
    Page();
    QLineEdit* box = EntryBox(1);
    const std::uint8_t before = Stage().BGPalette()[1];

    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3"));
    EXPECT_EQ(UndoCount(), 0) << "one character does nothing";
    QTest::keyClicks(box, QStringLiteral("f"));
    EXPECT_EQ(Stage().BGPalette()[1], 0x3F);
    EXPECT_EQ(box->text(), QStringLiteral("3F"));
    EXPECT_EQ(UndoCount(), 1);

    Type(box, QStringLiteral("40"));
    EXPECT_EQ(box->text(), QStringLiteral("3F")) << "above 3F: the stored value again";
    EXPECT_EQ(UndoCount(), 1);
    Type(box, QStringLiteral("zq"));
    EXPECT_EQ(box->text(), QStringLiteral("3F"));
    EXPECT_EQ(UndoCount(), 1);

    box->setText(QStringLiteral("123")); // pasted
    EXPECT_EQ(Stage().BGPalette()[1], 0x23) << "only the low byte counts";
    EXPECT_EQ(box->text(), QStringLiteral("23"));
    EXPECT_NE(before, 0x23);
}

TEST_F(PaletteEditTest, RightClicksPickColoursAndAColourAboveTheTableBecomesZero)
{
    TPaletteEdit& page = Page();
    ASSERT_TRUE(Stage().SetPaletteColor(2, 0x4F));
    page.Refresh();
    EXPECT_EQ(ShownColor(Entry(2), 12, 12), TPaletteManager::InvalidColor) << "shown grey";
    PressCell(ColorTable(), 0x21);
    Press(Entry(2), 5, 5, Qt::RightButton);
    EXPECT_EQ(page.SelectedColor(), 0x00);
    EXPECT_EQ(Find<QLabel>(u"LblSelectedColorIndex")->text(), QStringLiteral("00"));

    PressCell(AnimeCells(), 16 + 13, Qt::RightButton);
    EXPECT_EQ(page.SelectedColor(), Stage().PaletteAnimePalette()[16 + 13]);
}

TEST_F(PaletteEditTest, HoverFramesMarkTheCellUnderThePointer)
{
    Page();
    Enter(Entry(7));
    EXPECT_EQ(ShownColor(Entry(7), 0, 0), TGraphicManager::CursorColor);
    EXPECT_NE(ShownColor(Entry(7), 12, 12), TGraphicManager::CursorColor);
    Leave(Entry(7));
    EXPECT_NE(ShownColor(Entry(7), 0, 0), TGraphicManager::CursorColor);

    Move(ColorTable(), 24 * 2 + 3, 24 + 3);
    EXPECT_EQ(ShownColor(ColorTable(), 48, 24), TGraphicManager::CursorColor);
    EXPECT_EQ(ShownColor(ColorTable(), 48 + 23, 24 + 23), TGraphicManager::CursorColor);
    EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("Color No:12"));
    Leave(ColorTable());
    EXPECT_EQ(ShownColor(ColorTable(), 48, 24), Rgb(0x12));
    EXPECT_TRUE(StatusPanel(1)->text().isEmpty());
}

TEST_F(PaletteEditTest, FrameCountTwoWithTimer0FAlternatesTheArrows)
{
    Page();
    EXPECT_EQ(VisibleArrow(), -1) << "stage 00 has no animation";
    FrameCount()->setCurrentIndex(2);
    Type(FrameTimer(), QStringLiteral("0f"));
    EXPECT_EQ(Stage().PaletteAnimeFrameCount(), 2);
    EXPECT_EQ(Stage().PaletteAnimeFrameTimer(), 0x0F);
    EXPECT_EQ(FrameTimer()->text(), QStringLiteral("0F"));
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit PalAnime"));

    // The sample's frames differ in entries 13 to 15.
    const TColor frame0 = Rgb(Stage().PaletteAnimePalette()[13]), frame1 = Rgb(Stage().PaletteAnimePalette()[16 + 13]);
    ASSERT_NE(frame0, frame1);
    std::vector<int> arrows;
    std::vector<TColor> views;
    for (int tick = 0; tick < 45; ++tick) {
        form->OnTimer();
        arrows.push_back(VisibleArrow());
        views.push_back(ShownColor(Find<TImageView>(u"ImgPaletteAnimeView"), 13 * 24 + 12, 12));
    }
    for (int tick = 0; tick < 45; ++tick) {
        const int frame = (tick / 15) % 2;
        EXPECT_EQ(arrows[static_cast<std::size_t>(tick)], frame) << "tick " << tick;
        EXPECT_EQ(views[static_cast<std::size_t>(tick)], frame ? frame1 : frame0) << "tick " << tick;
    }
    EXPECT_EQ(ShownColor(Entry(13), 12, 12), Rgb(Stage().BGPalette()[13]))
        << "entries keep the stored palette while the view animates";

    FrameCount()->setCurrentIndex(0);
    EXPECT_EQ(VisibleArrow(), -1);
    EXPECT_FALSE(form->PaletteManager().IsAnimated());
}

TEST_F(PaletteEditTest, TimerZeroKeepsTheAnimationOff)
{
    Page();
    FrameCount()->setCurrentIndex(3);
    Type(FrameTimer(), QStringLiteral("00"));
    for (int tick = 0; tick < 5; ++tick)
        form->OnTimer();
    EXPECT_EQ(VisibleArrow(), -1);
    EXPECT_FALSE(form->PaletteManager().IsAnimated());
}

TEST_F(PaletteEditTest, ChangingAnAnimationCellRestartsAtFrameZero)
{
    Opened();
    StageSelector()->setCurrentIndex(1); // animated
    Page();
    for (int tick = 0; tick < 20; ++tick)
        form->OnTimer();
    ASSERT_GT(form->Graphics().GetAnimeFrame(), 0);
    PressCell(ColorTable(), 0x30);
    PressCell(AnimeCells(), 40);
    EXPECT_EQ(Stage().PaletteAnimePalette()[40], 0x30);
    EXPECT_EQ(form->Graphics().GetAnimeFrame(), 0);
    form->OnTimer();
    EXPECT_EQ(VisibleArrow(), 0);
}

TEST_F(PaletteEditTest, StageChangeHandsThePaletteToTheRendererOnEveryPage)
{
    Opened();
    ShowPage(pg32x32ChipEdit);
    StageSelector()->setCurrentIndex(3);
    const TStageData& stage = Stage();
    EXPECT_EQ(form->PaletteManager().FrameCount(), stage.PaletteAnimeFrameCount());
    EXPECT_EQ(form->PaletteManager().FrameTimer(), stage.PaletteAnimeFrameTimer());
    EXPECT_EQ(form->Graphics().StagePalette().Color(0), Rgb(stage.PaletteAnimePalette()[0])) << "frame 0 shown";
    EXPECT_EQ(FrameCount()->currentIndex(), stage.PaletteAnimeFrameCount());
    EXPECT_EQ(Find<TImageView>(u"ImgBGPatternTableView")->Bitmap()->Color(0), form->Graphics().StagePalette().Color(0))
        << "the hidden views show the stage's colours";
}

TEST_F(PaletteEditTest, ASavedPaletteEditChangesOnlyItsByte)
{
    Page();
    ASSERT_NE(Stage().BGPalette()[9], 0x2A);
    ASSERT_NE(Stage().PaletteAnimePalette()[63], 0x2A);
    PressCell(ColorTable(), 0x2A);
    Press(Entry(9), 5, 5, Qt::LeftButton);
    PressCell(AnimeCells(), 63);
    ASSERT_TRUE(form->CommandSave());
    const std::size_t entry = static_cast<std::size_t>(Stage().Address(TableKey::BGPalette)) + 9;
    const std::size_t cell = static_cast<std::size_t>(Stage().Address(TableKey::PaletteAnimePalette)) + 63;
    std::vector<std::size_t> expected{entry, cell};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ChangedBytes(), expected);
}

TEST_F(PaletteEditTest, CtrlZInABoxUndoesTheLastEditNotTheBoxText)
{
    Page();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QLineEdit* box = EntryBox(0);
    const std::uint8_t before = Stage().BGPalette()[0];
    box->setFocus();
    Type(box, QStringLiteral("3F"));
    ASSERT_EQ(Stage().BGPalette()[0], 0x3F);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Stage().BGPalette()[0], before);
    EXPECT_EQ(box->text(), QString::fromStdString(FormatHex(before, 2)));
    EXPECT_EQ(UndoCount(), 0) << "the box's own undo would have recorded a new edit";
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Stage().BGPalette()[0], 0x3F);
}

TEST_F(PaletteEditTest, UndoOfAnimationEditsRestoresThePageAndTheRenderer)
{
    Page();
    const std::uint8_t cell = Stage().PaletteAnimePalette()[20];
    FrameCount()->setCurrentIndex(4);
    Type(FrameTimer(), QStringLiteral("0A"));
    PressCell(ColorTable(), 0x3C);
    PressCell(AnimeCells(), 20);
    ASSERT_EQ(UndoCount(), 3);
    EXPECT_EQ(form->PaletteManager().FrameCount(), 4);

    form->CommandUndo();
    EXPECT_EQ(Stage().PaletteAnimePalette()[20], cell);
    EXPECT_EQ(ShownColor(AnimeCells(), 4 * 24 + 1, 24 + 20), Rgb(cell)) << "the cell below its number";
    form->CommandUndo();
    EXPECT_EQ(FrameTimer()->text(), QStringLiteral("00"));
    EXPECT_EQ(form->PaletteManager().FrameTimer(), 0);
    form->CommandUndo();
    EXPECT_EQ(FrameCount()->currentIndex(), 0);
    EXPECT_EQ(form->PaletteManager().FrameCount(), 0);
    EXPECT_EQ(UndoCount(), 0) << "restoring the boxes records nothing";

    form->CommandRedo();
    EXPECT_EQ(FrameCount()->currentIndex(), 4);
    EXPECT_FALSE(form->PaletteManager().IsAnimated()) << "the timer is still 00";
    form->CommandRedo();
    EXPECT_EQ(FrameTimer()->text(), QStringLiteral("0A"));
    EXPECT_EQ(form->PaletteManager().FrameCount(), 4);
}
