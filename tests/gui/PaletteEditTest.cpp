#include "gui/pages/PaletteEdit.h"
#include "core/base/HexText.h"
#include "core/model/RomImage.h"
#include "gui/pages/TileEdit.h"
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
    PaletteEdit& unit()
    {
        showPage(pgPaletteEdit);
        return *form->paletteEdit();
    }
    ImageView* entryView(int entry) const { return find<ImageView>(u"ImgPaletteEdit", entry); }
    QLineEdit* entryBox(int entry) const { return find<QLineEdit>(u"EditPaletteEdit", entry); }
    ImageView* colorTable() const { return find<ImageView>(u"ImgColorTable"); }
    ImageView* animeCells() const { return find<ImageView>(u"ImgPaletteAnimeEdit"); }
    QComboBox* frameCount() const { return find<QComboBox>(u"ComboBoxPaletteAnimeFrameCount"); }
    QLineEdit* frameTimer() const { return find<QLineEdit>(u"EditPaletteAnimeFrameTimer"); }
    Color rgb(int colorIndex) const { return form->graphics().getRGB(colorIndex); }
    // A click in the middle of a 24x24 cell of a 16 x 4 grid.
    static void pressCell(ImageView* grid, int cell, Qt::MouseButton button = Qt::LeftButton)
    {
        press(grid, (cell % 16) * 24 + 12, (cell / 16) * 24 + 12, button);
    }
    int visibleArrow() const
    {
        int shown = -1;
        for (int i = 0; i < 4; ++i)
            if (!find<QLabel>(u"LblCurrentAnimePaletteArrow", i)->isHidden()) {
                EXPECT_EQ(shown, -1) << "two arrows at once";
                shown = i;
            }
        return shown;
    }
};

} // namespace

TEST_F(PaletteEditTest, ColourThenEntryWritesTheEntryAndUndoRedoFollow)
{
    PaletteEdit& page = unit();
    const std::uint8_t before = currentStage().bgPalette()[3];
    ASSERT_NE(before, 0x16);
    pressCell(colorTable(), 0x16);
    EXPECT_EQ(page.selectedColor(), 0x16);
    EXPECT_EQ(find<QLabel>(u"LblSelectedColorIndex")->text(), QStringLiteral("16"));
    EXPECT_EQ(find<QFrame>(u"PnlSelectedColor")->palette().color(QPalette::Window).rgb() & 0xFFFFFF,
              QColor(rgb(0x16) & 0xFF, (rgb(0x16) >> 8) & 0xFF, rgb(0x16) >> 16).rgb() & 0xFFFFFF);

    press(entryView(3), 5, 5, Qt::LeftButton);
    EXPECT_EQ(currentStage().bgPalette()[3], 0x16);
    EXPECT_EQ(entryBox(3)->text(), QStringLiteral("16"));
    EXPECT_EQ(shownColor(entryView(3), 12, 12), rgb(0x16));
    EXPECT_EQ(form->graphics().stagePalette().color(3), rgb(0x16)) << "the renderer has the new colour";
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Palette"));

    undoAction()->trigger();
    EXPECT_EQ(currentStage().bgPalette()[3], before);
    EXPECT_EQ(entryBox(3)->text(), QString::fromStdString(formatHex(before, 2)));
    EXPECT_EQ(shownColor(entryView(3), 12, 12), rgb(before));
    EXPECT_EQ(form->graphics().stagePalette().color(3), rgb(before));
    redoAction()->trigger();
    EXPECT_EQ(currentStage().bgPalette()[3], 0x16);
    EXPECT_EQ(entryBox(3)->text(), QStringLiteral("16"));
}

TEST_F(PaletteEditTest, SameColourOnAnEntryRecordsNothing)
{
    unit();
    const std::uint8_t held = currentStage().bgPalette()[5];
    pressCell(colorTable(), held);
    press(entryView(5), 5, 5, Qt::LeftButton);
    EXPECT_EQ(undoSteps(), 0);
    EXPECT_TRUE(statusPanel(0)->text().isEmpty());
    EXPECT_FALSE(form->rom().isModified());
}

TEST_F(PaletteEditTest, TypedEntryTextFollowsTheHexRules)
{
    unit();
    QLineEdit* box = entryBox(1);
    const std::uint8_t before = currentStage().bgPalette()[1];

    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3"));
    EXPECT_EQ(undoSteps(), 0) << "one character does nothing";
    QTest::keyClicks(box, QStringLiteral("f"));
    EXPECT_EQ(currentStage().bgPalette()[1], 0x3F);
    EXPECT_EQ(box->text(), QStringLiteral("3F"));
    EXPECT_EQ(undoSteps(), 1);

    type(box, QStringLiteral("40"));
    EXPECT_EQ(box->text(), QStringLiteral("3F")) << "above 3F: the stored value again";
    EXPECT_EQ(undoSteps(), 1);
    type(box, QStringLiteral("zq"));
    EXPECT_EQ(box->text(), QStringLiteral("3F"));
    EXPECT_EQ(undoSteps(), 1);

    box->setText(QStringLiteral("123")); // pasted
    EXPECT_EQ(currentStage().bgPalette()[1], 0x23) << "only the low byte counts";
    EXPECT_EQ(box->text(), QStringLiteral("23"));
    EXPECT_NE(before, 0x23);
}

TEST_F(PaletteEditTest, RightClicksPickColoursAndAColourAboveTheTableBecomesZero)
{
    PaletteEdit& page = unit();
    ASSERT_TRUE(currentStage().setPaletteColor(2, 0x4F));
    page.refresh();
    EXPECT_EQ(shownColor(entryView(2), 12, 12), PaletteManager::InvalidColor) << "shown grey";
    pressCell(colorTable(), 0x21);
    press(entryView(2), 5, 5, Qt::RightButton);
    EXPECT_EQ(page.selectedColor(), 0x00);
    EXPECT_EQ(find<QLabel>(u"LblSelectedColorIndex")->text(), QStringLiteral("00"));

    pressCell(animeCells(), 16 + 13, Qt::RightButton);
    EXPECT_EQ(page.selectedColor(), currentStage().paletteAnimePalette()[16 + 13]);
}

TEST_F(PaletteEditTest, HoverFramesMarkTheCellUnderThePointer)
{
    unit();
    enter(entryView(7));
    EXPECT_EQ(shownColor(entryView(7), 0, 0), GraphicManager::CursorColor);
    EXPECT_NE(shownColor(entryView(7), 12, 12), GraphicManager::CursorColor);
    leave(entryView(7));
    EXPECT_NE(shownColor(entryView(7), 0, 0), GraphicManager::CursorColor);

    move(colorTable(), 24 * 2 + 3, 24 + 3);
    EXPECT_EQ(shownColor(colorTable(), 48, 24), GraphicManager::CursorColor);
    EXPECT_EQ(shownColor(colorTable(), 48 + 23, 24 + 23), GraphicManager::CursorColor);
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("Color No:12"));
    leave(colorTable());
    EXPECT_EQ(shownColor(colorTable(), 48, 24), rgb(0x12));
    EXPECT_TRUE(statusPanel(1)->text().isEmpty());
}

TEST_F(PaletteEditTest, FrameCountTwoWithTimer0FAlternatesTheArrows)
{
    unit();
    EXPECT_EQ(visibleArrow(), -1) << "stage 00 has no animation";
    frameCount()->setCurrentIndex(2);
    type(frameTimer(), QStringLiteral("0f"));
    EXPECT_EQ(currentStage().paletteAnimeFrameCount(), 2);
    EXPECT_EQ(currentStage().paletteAnimeFrameTimer(), 0x0F);
    EXPECT_EQ(frameTimer()->text(), QStringLiteral("0F"));
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit PalAnime"));

    // The sample's frames differ in entries 13 to 15.
    const Color frame0 = rgb(currentStage().paletteAnimePalette()[13]),
                frame1 = rgb(currentStage().paletteAnimePalette()[16 + 13]);
    ASSERT_NE(frame0, frame1);
    std::vector<int> arrows;
    std::vector<Color> views;
    for (int tick = 0; tick < 45; ++tick) {
        form->onTimer();
        arrows.push_back(visibleArrow());
        views.push_back(shownColor(find<ImageView>(u"ImgPaletteAnimeView"), 13 * 24 + 12, 12));
    }
    for (int tick = 0; tick < 45; ++tick) {
        const int frame = (tick / 15) % 2;
        EXPECT_EQ(arrows[static_cast<std::size_t>(tick)], frame) << "tick " << tick;
        EXPECT_EQ(views[static_cast<std::size_t>(tick)], frame ? frame1 : frame0) << "tick " << tick;
    }
    EXPECT_EQ(shownColor(entryView(13), 12, 12), rgb(currentStage().bgPalette()[13]))
        << "entries keep the stored palette while the view animates";

    frameCount()->setCurrentIndex(0);
    EXPECT_EQ(visibleArrow(), -1);
    EXPECT_FALSE(form->paletteManager().isAnimated());
}

TEST_F(PaletteEditTest, TimerZeroKeepsTheAnimationOff)
{
    unit();
    frameCount()->setCurrentIndex(3);
    type(frameTimer(), QStringLiteral("00"));
    for (int tick = 0; tick < 5; ++tick)
        form->onTimer();
    EXPECT_EQ(visibleArrow(), -1);
    EXPECT_FALSE(form->paletteManager().isAnimated());
}

TEST_F(PaletteEditTest, ChangingAnAnimationCellRestartsAtFrameZero)
{
    opened();
    stageSelector()->setCurrentIndex(1); // animated
    unit();
    for (int tick = 0; tick < 20; ++tick)
        form->onTimer();
    ASSERT_GT(form->graphics().getAnimeFrame(), 0);
    pressCell(colorTable(), 0x30);
    pressCell(animeCells(), 40);
    EXPECT_EQ(currentStage().paletteAnimePalette()[40], 0x30);
    EXPECT_EQ(form->graphics().getAnimeFrame(), 0);
    form->onTimer();
    EXPECT_EQ(visibleArrow(), 0);
}

TEST_F(PaletteEditTest, StageChangeHandsThePaletteToTheRendererOnEveryPage)
{
    opened();
    showPage(pg32x32ChipEdit);
    stageSelector()->setCurrentIndex(3);
    const StageData& stage = currentStage();
    EXPECT_EQ(form->paletteManager().frameCount(), stage.paletteAnimeFrameCount());
    EXPECT_EQ(form->paletteManager().frameTimer(), stage.paletteAnimeFrameTimer());
    EXPECT_EQ(form->graphics().stagePalette().color(0), rgb(stage.paletteAnimePalette()[0])) << "frame 0 shown";
    EXPECT_EQ(frameCount()->currentIndex(), stage.paletteAnimeFrameCount());
    EXPECT_EQ(find<ImageView>(u"ImgBGPatternTableView")->bitmap()->color(0), form->graphics().stagePalette().color(0))
        << "the hidden views show the stage's colours";
}

TEST_F(PaletteEditTest, ASavedPaletteEditChangesOnlyItsByte)
{
    unit();
    ASSERT_NE(currentStage().bgPalette()[9], 0x2A);
    ASSERT_NE(currentStage().paletteAnimePalette()[63], 0x2A);
    pressCell(colorTable(), 0x2A);
    press(entryView(9), 5, 5, Qt::LeftButton);
    pressCell(animeCells(), 63);
    ASSERT_TRUE(form->commandSave());
    const std::size_t entry = static_cast<std::size_t>(currentStage().address(TableKey::BGPalette)) + 9;
    const std::size_t cell = static_cast<std::size_t>(currentStage().address(TableKey::PaletteAnimePalette)) + 63;
    std::vector<std::size_t> expected{entry, cell};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changedBytes(), expected);
}

TEST_F(PaletteEditTest, CtrlZInABoxUndoesTheLastEditNotTheBoxText)
{
    unit();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QLineEdit* box = entryBox(0);
    const std::uint8_t before = currentStage().bgPalette()[0];
    box->setFocus();
    type(box, QStringLiteral("3F"));
    ASSERT_EQ(currentStage().bgPalette()[0], 0x3F);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(currentStage().bgPalette()[0], before);
    EXPECT_EQ(box->text(), QString::fromStdString(formatHex(before, 2)));
    EXPECT_EQ(undoSteps(), 0) << "the box's own undo would have recorded a new edit";
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(currentStage().bgPalette()[0], 0x3F);
}

TEST_F(PaletteEditTest, UndoOfAnimationEditsRestoresThePageAndTheRenderer)
{
    unit();
    const std::uint8_t cell = currentStage().paletteAnimePalette()[20];
    frameCount()->setCurrentIndex(4);
    type(frameTimer(), QStringLiteral("0A"));
    pressCell(colorTable(), 0x3C);
    pressCell(animeCells(), 20);
    ASSERT_EQ(undoSteps(), 3);
    EXPECT_EQ(form->paletteManager().frameCount(), 4);

    form->commandUndo();
    EXPECT_EQ(currentStage().paletteAnimePalette()[20], cell);
    EXPECT_EQ(shownColor(animeCells(), 4 * 24 + 1, 24 + 20), rgb(cell)) << "the cell below its number";
    form->commandUndo();
    EXPECT_EQ(frameTimer()->text(), QStringLiteral("00"));
    EXPECT_EQ(form->paletteManager().frameTimer(), 0);
    form->commandUndo();
    EXPECT_EQ(frameCount()->currentIndex(), 0);
    EXPECT_EQ(form->paletteManager().frameCount(), 0);
    EXPECT_EQ(undoSteps(), 0) << "restoring the boxes records nothing";

    form->commandRedo();
    EXPECT_EQ(frameCount()->currentIndex(), 4);
    EXPECT_FALSE(form->paletteManager().isAnimated()) << "the timer is still 00";
    form->commandRedo();
    EXPECT_EQ(frameTimer()->text(), QStringLiteral("0A"));
    EXPECT_EQ(form->paletteManager().frameCount(), 4);
}
