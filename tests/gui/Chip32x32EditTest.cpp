#include "gui/pages/Chip32x32Edit.h"
#include "core/model/RomImage.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/widgets/ClickLabel.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/UpDown.h"
#include "render/GraphicManager.h"
#include "tests/gui/support/EditorFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

using namespace vx;
using test::control;

namespace {

class Chip32x32EditTest : public test::EditorFixture {
protected:
    Chip32x32Edit& unit()
    {
        showPage(pg32x32ChipEdit);
        return *form->chip32x32Edit();
    }
    ImageView* chipTable() const { return find<ImageView>(u"Img32x32ChipEditTable"); }
    ImageView* editedChip() const { return find<ImageView>(u"ImgEdited32x32Chip"); }
    UpDown* pageSwitch() const { return find<UpDown>(u"UpDown32x32ChipEditTableSwitch"); }
    QString label(QAnyStringView name) const { return find<QLabel>(name)->text(); }
    ClickLabel* entryLabel(int quarter) const { return find<ClickLabel>(u"LblEdited32x32Chip16x16Chip", quarter); }
    ClickLabel* attributeLabel(int quarter) const
    {
        return find<ClickLabel>(u"LblEdited32x32Chip16x16ChipProperty", quarter);
    }
    // Picks the 16x16 entry from its table, as a left click does.
    void pick(std::uint8_t entry)
    {
        unit();
        ImageView* table = find<ImageView>(u"Img16x16ChipTable", entry >> 6);
        press(table, (entry % 8) * 16 + 8, ((entry / 8) % 8) * 16 + 8, Qt::LeftButton);
        ASSERT_EQ(unit().selectedEntry(), entry);
    }
    // The middle of a quarter of a chip of the page shown in the chip table.
    static QPoint quarterPoint(int chip, int quarter)
    {
        return {(chip % 16) * 32 + (quarter / 2) * 16 + 8, ((chip / 16) % 8) * 32 + (quarter % 2) * 16 + 8};
    }
    void onTable(int chip, int quarter, Qt::MouseButton button, Qt::KeyboardModifiers keys)
    {
        unit();
        const QPoint at = quarterPoint(chip, quarter);
        move(chipTable(), at.x(), at.y(), keys);
        press(chipTable(), at.x(), at.y(), button, keys);
    }
    std::uint8_t chipEntryAt(int chip, int quarter) const
    {
        return currentStage().chip32x32()[static_cast<std::size_t>(4 * chip + quarter)];
    }
    std::uint8_t attribute(int chip, int quarter) const
    {
        return currentStage().chip32x32Attribute()[static_cast<std::size_t>(4 * chip + quarter)];
    }
    // The heading and text the information window shows for a button, closed with OK.
    std::pair<QString, QString> listWindow(QAnyStringView buttonName)
    {
        auto* window = find<InfoListDialog>(u"SubForm");
        auto* ok = control<QPushButton>(window, u"BtnOK");
        auto* cancel = control<QPushButton>(window, u"BtnCancel");
        auto* heading = control<QLabel>(window, u"LblInformation");
        auto* text = control<QPlainTextEdit>(window, u"MemoInformation");
        std::pair<QString, QString> shown;
        bool modal = false, cancelHidden = false;
        QTimer::singleShot(0, window, [&] {
            modal = window->isModal() && window->isVisible();
            cancelHidden = cancel->isHidden() && !ok->isHidden();
            shown = {heading->text(), text->toPlainText()};
            ok->click();
        });
        find<QPushButton>(buttonName)->click();
        EXPECT_TRUE(modal);
        EXPECT_TRUE(cancelHidden);
        EXPECT_FALSE(window->isVisible());
        return shown;
    }
    // Every pixel of a 16x16 square of the chip sheet equals one of the 32x32 sheet.
    bool sheetsAgree(std::uint8_t entry, int chip, int quarter) const
    {
        const IndexedBitmap& small = *form->chip32x32Edit()->chipSheet();
        const IndexedBitmap& large = *form->chip32x32Edit()->chip32Sheet();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (small.pixel((entry % 8) * 16 + x, (entry / 8) * 16 + y) !=
                    large.pixel((chip % 16) * 32 + (quarter / 2) * 16 + x, (chip / 16) * 32 + (quarter % 2) * 16 + y))
                    return false;
        return true;
    }
};

} // namespace

TEST_F(Chip32x32EditTest, ShiftLeftWritesTheSelectedChipIntoTheHoveredQuarter)
{
    Chip32x32Edit& page = unit();
    const std::uint8_t entry = 0x80 + 8 + 5;
    ASSERT_NE(chipEntryAt(0x11, 2), entry);
    pick(entry);
    EXPECT_EQ(label(u"LblSelected16x16ChipIndex"), QStringLiteral("0D"));
    EXPECT_EQ(label(u"LblSelected16x16ChipPalette"), QStringLiteral("02"));

    onTable(0x11, 2, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(chipEntryAt(0x11, 2), entry);
    EXPECT_EQ(undoSteps(), 1);
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit 32x32Tile"));
    EXPECT_TRUE(sheetsAgree(entry, 0x11, 2)) << "the shared sheet every page draws from shows it";
    const QPoint at = quarterPoint(0x11, 2);
    EXPECT_EQ(
        shownColor(chipTable(), at.x(), at.y()),
        form->graphics().stagePalette().color(page.chipSheet()->pixel((entry % 8) * 16 + 8, (entry / 8) * 16 + 8)));

    onTable(0x11, 2, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(undoSteps(), 1) << "the same entry again records nothing";

    undoAction()->trigger();
    EXPECT_NE(chipEntryAt(0x11, 2), entry);
    EXPECT_TRUE(sheetsAgree(chipEntryAt(0x11, 2), 0x11, 2)) << "undo refreshes the page";
}

TEST_F(Chip32x32EditTest, ShiftFrameFollowsTheShiftKeyAtTheNextMove)
{
    unit();
    ImageView* table = chipTable();
    const QPoint at = quarterPoint(0x23, 3); // quarter frame at (+16, +16) of (96, 64)
    move(table, at.x(), at.y());
    EXPECT_EQ(shownColor(table, 96, 64), GraphicManager::CursorColor);
    EXPECT_NE(shownColor(table, 112, 80), GraphicManager::CursorColor);
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("32x32 Tile No:23"));
    move(table, at.x() + 1, at.y(), Qt::ShiftModifier);
    EXPECT_EQ(shownColor(table, 112, 80), GraphicManager::CursorColor);
    move(table, at.x() + 2, at.y());
    EXPECT_NE(shownColor(table, 112, 80), GraphicManager::CursorColor);
    leave(table);
    EXPECT_NE(shownColor(table, 96, 64), GraphicManager::CursorColor);
    EXPECT_TRUE(statusPanel(1)->text().isEmpty());
}

TEST_F(Chip32x32EditTest, CtrlLeftBeforeAnyCopyPastesEightZeroBytes)
{
    unit();
    int chip = 0;
    while (chipEntryAt(chip, 0) == 0 && chipEntryAt(chip, 1) == 0)
        ++chip;
    onTable(chip, 0, Qt::LeftButton, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(chipEntryAt(chip, q), 0);
        EXPECT_EQ(attribute(chip, q), 0);
    }
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit 32x32Tile(Paste)"));
}

TEST_F(Chip32x32EditTest, CopiedChipPastesIntoAnotherStageAndOpenClearsTheClipboard)
{
    Chip32x32Edit& page = unit();
    ASSERT_TRUE(currentStage().setChipAttribute(4 * 0x05 + 1, 2));
    onTable(0x05, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(page.chipClipboard()[5], 2);
    EXPECT_EQ(page.selectedEntry(), 0) << "Ctrl+right copies and picks nothing";

    stageSelector()->setCurrentIndex(1); // the stages have chip tables of their own
    const std::array<std::uint8_t, 8> copied = page.chipClipboard();
    onTable(0x40, 0, Qt::LeftButton, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(chipEntryAt(0x40, q), copied[static_cast<std::size_t>(q)]);
        EXPECT_EQ(attribute(0x40, q), copied[static_cast<std::size_t>(4 + q)]);
    }
    const int before = undoSteps();
    onTable(0x40, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(undoSteps(), before) << "a chip equal to the clipboard records nothing";

    form->openImage(image);
    EXPECT_EQ(page.chipClipboard(), (std::array<std::uint8_t, 8>{}));
}

TEST_F(Chip32x32EditTest, RightClicksPickTheQuarterUnderThePointer)
{
    Chip32x32Edit& page = unit();
    onTable(0x12, 3, Qt::RightButton, Qt::NoModifier);
    EXPECT_EQ(page.selectedEntry(), chipEntryAt(0x12, 3));
    press(editedChip(), 10, 40, Qt::RightButton); // quarter 1 of chip 00
    EXPECT_EQ(page.selectedEntry(), chipEntryAt(0x00, 1));
}

TEST_F(Chip32x32EditTest, PlainLeftClickChoosesTheEditedChipOnThePageShown)
{
    Chip32x32Edit& page = unit();
    pageSwitch()->downButton()->click();
    EXPECT_EQ(page.editPage(), 1);
    EXPECT_EQ(label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("80-FF"));
    EXPECT_EQ(page.editedChip(), 0x00) << "switching pages keeps the edited chip";
    onTable(0x80, 0, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(page.editedChip(), 0x80);
    EXPECT_EQ(label(u"LblEdited32x32ChipIndex"), QStringLiteral("80"));
    pageSwitch()->upButton()->click();
    EXPECT_EQ(page.editPage(), 0);
    EXPECT_EQ(label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("00-7F"));
    EXPECT_EQ(page.editedChip(), 0x80);
    EXPECT_EQ(undoSteps(), 0);
}

TEST_F(Chip32x32EditTest, LabelClicksStepSubPaletteAndAttributeWithUndo)
{
    Chip32x32Edit& page = unit();
    ASSERT_TRUE(currentStage().setChipEntry(2, 0x7A)); // chip 00, quarter 2
    page.refresh();
    EXPECT_EQ(entryLabel(2)->text(), QStringLiteral("3A(01)"));
    QTest::mouseClick(entryLabel(2), Qt::LeftButton);
    EXPECT_EQ(chipEntryAt(0, 2), 0xBA);
    EXPECT_EQ(entryLabel(2)->text(), QStringLiteral("3A(02)"));
    EXPECT_TRUE(sheetsAgree(0xBA, 0, 2));
    QTest::mouseClick(entryLabel(2), Qt::RightButton);
    QTest::mouseClick(entryLabel(2), Qt::RightButton);
    EXPECT_EQ(chipEntryAt(0, 2), 0x3A);

    ASSERT_EQ(attribute(0, 3), 0);
    QTest::mouseClick(attributeLabel(3), Qt::RightButton);
    EXPECT_EQ(attribute(0, 3), 3);
    EXPECT_EQ(attributeLabel(3)->text(), QStringLiteral("Spikes")) << "stage 00's names";
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit 32x32Tile(Attr)"));
    undoAction()->trigger();
    EXPECT_EQ(attribute(0, 3), 0);
    EXPECT_EQ(attributeLabel(3)->text(), QStringLiteral("Background"));
}

TEST_F(Chip32x32EditTest, WritingTheEditedChipFromItsViewUsesTheHoveredQuarter)
{
    unit();
    pick(0xC7);
    move(editedChip(), 40, 40);
    EXPECT_EQ(shownColor(editedChip(), 32, 32), GraphicManager::CursorColor);
    press(editedChip(), 40, 40, Qt::LeftButton);
    EXPECT_EQ(chipEntryAt(0, 3), 0xC7);
    EXPECT_EQ(entryLabel(3)->text(), QStringLiteral("07(03)"));
    leave(editedChip());
    press(editedChip(), 40, 40, Qt::LeftButton);
    EXPECT_EQ(undoSteps(), 1);
}

TEST_F(Chip32x32EditTest, StageChangeResetsTheEditedChipByTheStagesDefaultPage)
{
    Chip32x32Edit& page = unit();
    onTable(0x33, 0, Qt::LeftButton, Qt::NoModifier);
    pick(0x41);
    stageSelector()->setCurrentIndex(8);
    EXPECT_EQ(currentStage().default32x32ChipEditPage(), 1);
    EXPECT_EQ(page.editPage(), 1);
    EXPECT_EQ(page.editedChip(), 0x80);
    EXPECT_EQ(page.selectedEntry(), 0);
    EXPECT_EQ(label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("80-FF"));
    EXPECT_EQ(label(u"LblEdited32x32ChipIndex"), QStringLiteral("80"));
    stageSelector()->setCurrentIndex(2);
    EXPECT_EQ(page.editedChip(), 0x00);
    EXPECT_EQ(label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("00-7F"));
}

TEST_F(Chip32x32EditTest, ListWindowsShowTheListsInBothLanguages)
{
    unit();
    const auto unused = listWindow(u"BtnUnused32x32ChipView");
    EXPECT_EQ(unused.first, QStringLiteral("Unused 32x32 Tile List"));
    EXPECT_TRUE(unused.second.startsWith(QStringLiteral("0C 0D 0E 0F \n10 11 "))) << unused.second.toStdString();
    EXPECT_EQ(find<InfoListDialog>(u"SubForm")->size(), QSize(311, 340));

    forceLanguage(Language::Japanese);
    const auto duplicated = listWindow(u"BtnOverlapped32x32ChipView");
    EXPECT_EQ(duplicated.first, QString::fromUtf8("重複定義されている32x32チップ番号"));
    EXPECT_TRUE(duplicated.second.startsWith(QStringLiteral("0C D8\n0D D9\n"))) << duplicated.second.toStdString();
    const auto again = listWindow(u"BtnUnused32x32ChipView");
    EXPECT_EQ(again.first, QString::fromUtf8("マップに使用されていない32x32チップ番号"));
    EXPECT_EQ(again.second, unused.second) << "the window is reused with its whole text replaced";
}

TEST_F(Chip32x32EditTest, AnimationRecoloursThePageOnlyOnANewFrame)
{
    Chip32x32Edit& page = unit();
    stageSelector()->setCurrentIndex(1); // animated, frames differ in entries 13 to 15
    // A pixel of the table drawn with entry 13, 14 or 15.
    const IndexedBitmap& sheet = *page.chip32Sheet();
    int px = -1, py = -1;
    for (int y = 0; y < 256 && px < 0; ++y)
        for (int x = 0; x < 512; ++x)
            if (sheet.pixel(x, y) >= 13 && sheet.pixel(x, y) <= 15) {
                px = x;
                py = y;
                break;
            }
    ASSERT_GE(px, 0);
    const std::uint64_t version = chipTable()->bitmap()->version();
    form->onTimer(); // frame 0 begins
    const Color first = shownColor(chipTable(), px, py);
    const std::uint64_t afterFirst = chipTable()->bitmap()->version();
    EXPECT_NE(afterFirst, version);
    form->onTimer(); // the same frame: nothing redraws
    EXPECT_EQ(chipTable()->bitmap()->version(), afterFirst);
    bool changed = false;
    for (int tick = 0; tick < 40 && !changed; ++tick) {
        form->onTimer();
        changed = shownColor(chipTable(), px, py) != first;
    }
    EXPECT_TRUE(changed);
}

TEST_F(Chip32x32EditTest, ASavedChipEditChangesOnlyItsTables)
{
    unit();
    QTest::mouseClick(entryLabel(0), Qt::LeftButton);     // sub-palette
    QTest::mouseClick(attributeLabel(1), Qt::LeftButton); // attribute
    ASSERT_TRUE(form->commandSave());
    const auto chips = static_cast<std::size_t>(currentStage().address(TableKey::Chip32x32));
    const auto palettes = static_cast<std::size_t>(currentStage().address(TableKey::Chip32x32Palette));
    std::vector<std::size_t> expected{chips + 1, palettes};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changedBytes(), expected) << "the attribute of quarter 1 and the palette byte of chip 00";
}

TEST_F(Chip32x32EditTest, PageSwitchForgetsTheHoveredChipOfTheOtherPage)
{
    unit();
    const QPoint at = quarterPoint(0x05, 0);
    move(chipTable(), at.x(), at.y());
    pageSwitch()->downButton()->click(); // by keyboard, the pointer resting
    press(chipTable(), at.x(), at.y(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(undoSteps(), 0) << "no paste into chip 05, which is not shown";
    move(chipTable(), at.x() + 1, at.y());
    EXPECT_EQ(statusPanel(1)->text(), QStringLiteral("32x32 Tile No:85"));
}
