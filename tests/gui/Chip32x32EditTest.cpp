#include "core/RomImgManager.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/VxSubForm.h"
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
#include <QTimer>
#include <QTest>
#include <QToolButton>
#include <algorithm>

using namespace vx;
using test::Control;

namespace {

class Chip32x32EditTest : public test::EditorFixture {
protected:
    TChip32x32Edit& Page()
    {
        ShowPage(pg32x32ChipEdit);
        return *form->Chip32x32Edit();
    }
    TImageView* ChipTable() const { return Find<TImageView>(u"Img32x32ChipEditTable"); }
    TImageView* EditedChip() const { return Find<TImageView>(u"ImgEdited32x32Chip"); }
    TUpDown* PageSwitch() const { return Find<TUpDown>(u"UpDown32x32ChipEditTableSwitch"); }
    QString Label(QAnyStringView name) const { return Find<QLabel>(name)->text(); }
    TClickLabel* EntryLabel(int quarter) const { return Find<TClickLabel>(u"LblEdited32x32Chip16x16Chip", quarter); }
    TClickLabel* AttributeLabel(int quarter) const
    {
        return Find<TClickLabel>(u"LblEdited32x32Chip16x16ChipProperty", quarter);
    }
    // Picks the 16x16 entry from its table, as a left click does.
    void Pick(std::uint8_t entry)
    {
        Page();
        TImageView* table = Find<TImageView>(u"Img16x16ChipTable", entry >> 6);
        Press(table, (entry % 8) * 16 + 8, ((entry / 8) % 8) * 16 + 8, Qt::LeftButton);
        ASSERT_EQ(Page().SelectedEntry(), entry);
    }
    // The middle of a quarter of a chip of the page shown in the chip table.
    static QPoint QuarterPoint(int chip, int quarter)
    {
        return {(chip % 16) * 32 + (quarter / 2) * 16 + 8, ((chip / 16) % 8) * 32 + (quarter % 2) * 16 + 8};
    }
    void OnTable(int chip, int quarter, Qt::MouseButton button, Qt::KeyboardModifiers keys)
    {
        Page();
        const QPoint at = QuarterPoint(chip, quarter);
        Move(ChipTable(), at.x(), at.y(), keys);
        Press(ChipTable(), at.x(), at.y(), button, keys);
    }
    std::uint8_t Entry(int chip, int quarter) const
    {
        return Stage().Chip32x32()[static_cast<std::size_t>(4 * chip + quarter)];
    }
    std::uint8_t Attribute(int chip, int quarter) const
    {
        return Stage().Chip32x32Attribute()[static_cast<std::size_t>(4 * chip + quarter)];
    }
    // The heading and text the information window shows for a button, closed with OK.
    std::pair<QString, QString> ListWindow(QAnyStringView buttonName)
    {
        auto* window = Find<TSubForm>(u"SubForm");
        auto* ok = Control<QPushButton>(window, u"BtnOK");
        auto* cancel = Control<QPushButton>(window, u"BtnCancel");
        auto* heading = Control<QLabel>(window, u"LblInformation");
        auto* text = Control<QPlainTextEdit>(window, u"MemoInformation");
        std::pair<QString, QString> shown;
        bool modal = false, cancelHidden = false;
        QTimer::singleShot(0, window, [&] {
            modal = window->isModal() && window->isVisible();
            cancelHidden = cancel->isHidden() && !ok->isHidden();
            shown = {heading->text(), text->toPlainText()};
            ok->click();
        });
        Find<QPushButton>(buttonName)->click();
        EXPECT_TRUE(modal);
        EXPECT_TRUE(cancelHidden);
        EXPECT_FALSE(window->isVisible());
        return shown;
    }
    // Every pixel of a 16x16 square of the chip sheet equals one of the 32x32 sheet.
    bool SheetsAgree(std::uint8_t entry, int chip, int quarter) const
    {
        const TNkDIB& small = *form->Chip32x32Edit()->ChipSheet();
        const TNkDIB& large = *form->Chip32x32Edit()->Chip32Sheet();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (small.Pixel((entry % 8) * 16 + x, (entry / 8) * 16 + y) !=
                    large.Pixel((chip % 16) * 32 + (quarter / 2) * 16 + x, (chip / 16) * 32 + (quarter % 2) * 16 + y))
                    return false;
        return true;
    }
};

} // namespace

TEST_F(Chip32x32EditTest, ShiftLeftWritesTheSelectedChipIntoTheHoveredQuarter)
{
    TChip32x32Edit& page = Page();
    const std::uint8_t entry = 0x80 + 8 + 5;
    ASSERT_NE(Entry(0x11, 2), entry);
    Pick(entry);
    EXPECT_EQ(Label(u"LblSelected16x16ChipIndex"), QStringLiteral("0D"));
    EXPECT_EQ(Label(u"LblSelected16x16ChipPalette"), QStringLiteral("02"));

    OnTable(0x11, 2, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Entry(0x11, 2), entry);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit 32x32Tile"));
    EXPECT_TRUE(SheetsAgree(entry, 0x11, 2)) << "the shared sheet every page draws from shows it";
    const QPoint at = QuarterPoint(0x11, 2);
    EXPECT_EQ(ShownColor(ChipTable(), at.x(), at.y()),
              form->Graphics().StagePalette().Color(page.ChipSheet()->Pixel((entry % 8) * 16 + 8, (entry / 8) * 16 + 8)));

    OnTable(0x11, 2, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(UndoCount(), 1) << "the same entry again records nothing";

    UndoAction()->trigger();
    EXPECT_NE(Entry(0x11, 2), entry);
    EXPECT_TRUE(SheetsAgree(Entry(0x11, 2), 0x11, 2)) << "undo refreshes the page";
}

TEST_F(Chip32x32EditTest, ShiftFrameFollowsTheShiftKeyAtTheNextMove)
{
    Page();
    TImageView* table = ChipTable();
    const QPoint at = QuarterPoint(0x23, 3); // quarter frame at (+16, +16) of (96, 64)
    Move(table, at.x(), at.y());
    EXPECT_EQ(ShownColor(table, 96, 64), TGraphicManager::CursorColor);
    EXPECT_NE(ShownColor(table, 112, 80), TGraphicManager::CursorColor);
    EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:23"));
    Move(table, at.x() + 1, at.y(), Qt::ShiftModifier);
    EXPECT_EQ(ShownColor(table, 112, 80), TGraphicManager::CursorColor);
    Move(table, at.x() + 2, at.y());
    EXPECT_NE(ShownColor(table, 112, 80), TGraphicManager::CursorColor);
    Leave(table);
    EXPECT_NE(ShownColor(table, 96, 64), TGraphicManager::CursorColor);
    EXPECT_TRUE(StatusPanel(1)->text().isEmpty());
}

TEST_F(Chip32x32EditTest, CtrlLeftBeforeAnyCopyPastesEightZeroBytes)
{
    Page();
    int chip = 0;
    while (Entry(chip, 0) == 0 && Entry(chip, 1) == 0)
        ++chip;
    OnTable(chip, 0, Qt::LeftButton, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(Entry(chip, q), 0);
        EXPECT_EQ(Attribute(chip, q), 0);
    }
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit 32x32Tile(Paste)"));
}

TEST_F(Chip32x32EditTest, CopiedChipPastesIntoAnotherStageAndOpenClearsTheClipboard)
{
    TChip32x32Edit& page = Page();
    ASSERT_TRUE(Stage().SetChipAttribute(4 * 0x05 + 1, 2));
    OnTable(0x05, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(page.ChipClipboard()[5], 2);
    EXPECT_EQ(page.SelectedEntry(), 0) << "Ctrl+right copies and picks nothing";

    StageSelector()->setCurrentIndex(1); // the stages have chip tables of their own
    const std::array<std::uint8_t, 8> copied = page.ChipClipboard();
    OnTable(0x40, 0, Qt::LeftButton, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(Entry(0x40, q), copied[static_cast<std::size_t>(q)]);
        EXPECT_EQ(Attribute(0x40, q), copied[static_cast<std::size_t>(4 + q)]);
    }
    const int before = UndoCount();
    OnTable(0x40, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(UndoCount(), before) << "a chip equal to the clipboard records nothing";

    form->OpenImage(image);
    EXPECT_EQ(page.ChipClipboard(), (std::array<std::uint8_t, 8>{}));
}

TEST_F(Chip32x32EditTest, RightClicksPickTheQuarterUnderThePointer)
{
    TChip32x32Edit& page = Page();
    OnTable(0x12, 3, Qt::RightButton, Qt::NoModifier);
    EXPECT_EQ(page.SelectedEntry(), Entry(0x12, 3));
    Press(EditedChip(), 10, 40, Qt::RightButton); // quarter 1 of chip 00
    EXPECT_EQ(page.SelectedEntry(), Entry(0x00, 1));
}

TEST_F(Chip32x32EditTest, PlainLeftClickChoosesTheEditedChipOnThePageShown)
{
    TChip32x32Edit& page = Page();
    PageSwitch()->DownButton()->click();
    EXPECT_EQ(page.EditPage(), 1);
    EXPECT_EQ(Label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("80-FF"));
    EXPECT_EQ(page.EditedChip(), 0x00) << "switching pages keeps the edited chip";
    OnTable(0x80, 0, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(page.EditedChip(), 0x80);
    EXPECT_EQ(Label(u"LblEdited32x32ChipIndex"), QStringLiteral("80"));
    PageSwitch()->UpButton()->click();
    EXPECT_EQ(page.EditPage(), 0);
    EXPECT_EQ(Label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("00-7F"));
    EXPECT_EQ(page.EditedChip(), 0x80);
    EXPECT_EQ(UndoCount(), 0);
}

TEST_F(Chip32x32EditTest, LabelClicksStepSubPaletteAndAttributeWithUndo)
{
    TChip32x32Edit& page = Page();
    ASSERT_TRUE(Stage().SetChipEntry(2, 0x7A)); // chip 00, quarter 2
    page.Refresh();
    EXPECT_EQ(EntryLabel(2)->text(), QStringLiteral("3A(01)"));
    QTest::mouseClick(EntryLabel(2), Qt::LeftButton);
    EXPECT_EQ(Entry(0, 2), 0xBA);
    EXPECT_EQ(EntryLabel(2)->text(), QStringLiteral("3A(02)"));
    EXPECT_TRUE(SheetsAgree(0xBA, 0, 2));
    QTest::mouseClick(EntryLabel(2), Qt::RightButton);
    QTest::mouseClick(EntryLabel(2), Qt::RightButton);
    EXPECT_EQ(Entry(0, 2), 0x3A);

    ASSERT_EQ(Attribute(0, 3), 0);
    QTest::mouseClick(AttributeLabel(3), Qt::RightButton);
    EXPECT_EQ(Attribute(0, 3), 3);
    EXPECT_EQ(AttributeLabel(3)->text(), QStringLiteral("Spikes")) << "stage 00's names";
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit 32x32Tile(Attr)"));
    UndoAction()->trigger();
    EXPECT_EQ(Attribute(0, 3), 0);
    EXPECT_EQ(AttributeLabel(3)->text(), QStringLiteral("Background"));
}

TEST_F(Chip32x32EditTest, WritingTheEditedChipFromItsViewUsesTheHoveredQuarter)
{
    Page();
    Pick(0xC7);
    Move(EditedChip(), 40, 40);
    EXPECT_EQ(ShownColor(EditedChip(), 32, 32), TGraphicManager::CursorColor);
    Press(EditedChip(), 40, 40, Qt::LeftButton);
    EXPECT_EQ(Entry(0, 3), 0xC7);
    EXPECT_EQ(EntryLabel(3)->text(), QStringLiteral("07(03)"));
    Leave(EditedChip());
    Press(EditedChip(), 40, 40, Qt::LeftButton);
    EXPECT_EQ(UndoCount(), 1);
}

TEST_F(Chip32x32EditTest, StageChangeResetsTheEditedChipByTheStagesDefaultPage)
{
    TChip32x32Edit& page = Page();
    OnTable(0x33, 0, Qt::LeftButton, Qt::NoModifier);
    Pick(0x41);
    StageSelector()->setCurrentIndex(8);
    EXPECT_EQ(Stage().Default32x32ChipEditPage(), 1);
    EXPECT_EQ(page.EditPage(), 1);
    EXPECT_EQ(page.EditedChip(), 0x80);
    EXPECT_EQ(page.SelectedEntry(), 0);
    EXPECT_EQ(Label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("80-FF"));
    EXPECT_EQ(Label(u"LblEdited32x32ChipIndex"), QStringLiteral("80"));
    StageSelector()->setCurrentIndex(2);
    EXPECT_EQ(page.EditedChip(), 0x00);
    EXPECT_EQ(Label(u"Lbl32x32ChipEditSelectedPage"), QStringLiteral("00-7F"));
}

TEST_F(Chip32x32EditTest, ListWindowsShowTheListsInBothLanguages)
{
    Page();
    const auto unused = ListWindow(u"BtnUnused32x32ChipView");
    EXPECT_EQ(unused.first, QStringLiteral("Unused 32x32 Tile List"));
    EXPECT_TRUE(unused.second.startsWith(QStringLiteral("0C 0D 0E 0F \n10 11 "))) << unused.second.toStdString();
    EXPECT_EQ(Find<TSubForm>(u"SubForm")->size(), QSize(311, 340));

    ForceLanguage(Language::Japanese);
    const auto duplicated = ListWindow(u"BtnOverlapped32x32ChipView");
    EXPECT_EQ(duplicated.first, QString::fromUtf8("重複定義されている32x32チップ番号"));
    EXPECT_TRUE(duplicated.second.startsWith(QStringLiteral("0C D8\n0D D9\n"))) << duplicated.second.toStdString();
    const auto again = ListWindow(u"BtnUnused32x32ChipView");
    EXPECT_EQ(again.first, QString::fromUtf8("マップに使用されていない32x32チップ番号"));
    EXPECT_EQ(again.second, unused.second) << "the window is reused with its whole text replaced";
}

TEST_F(Chip32x32EditTest, AnimationRecoloursThePageOnlyOnANewFrame)
{
    TChip32x32Edit& page = Page();
    StageSelector()->setCurrentIndex(1); // animated, frames differ in entries 13 to 15
    // A pixel of the table drawn with entry 13, 14 or 15.
    const TNkDIB& sheet = *page.Chip32Sheet();
    int px = -1, py = -1;
    for (int y = 0; y < 256 && px < 0; ++y)
        for (int x = 0; x < 512; ++x)
            if (sheet.Pixel(x, y) >= 13 && sheet.Pixel(x, y) <= 15) {
                px = x;
                py = y;
                break;
            }
    ASSERT_GE(px, 0);
    const std::uint64_t version = ChipTable()->Bitmap()->Version();
    form->OnTimer(); // frame 0 begins
    const TColor first = ShownColor(ChipTable(), px, py);
    const std::uint64_t afterFirst = ChipTable()->Bitmap()->Version();
    EXPECT_NE(afterFirst, version);
    form->OnTimer(); // the same frame: nothing redraws
    EXPECT_EQ(ChipTable()->Bitmap()->Version(), afterFirst);
    bool changed = false;
    for (int tick = 0; tick < 40 && !changed; ++tick) {
        form->OnTimer();
        changed = ShownColor(ChipTable(), px, py) != first;
    }
    EXPECT_TRUE(changed);
}

TEST_F(Chip32x32EditTest, ASavedChipEditChangesOnlyItsTables)
{
    Page();
    QTest::mouseClick(EntryLabel(0), Qt::LeftButton);        // sub-palette
    QTest::mouseClick(AttributeLabel(1), Qt::LeftButton); // attribute
    ASSERT_TRUE(form->CommandSave());
    const auto chips = static_cast<std::size_t>(Stage().Address(TableKey::Chip32x32));
    const auto palettes = static_cast<std::size_t>(Stage().Address(TableKey::Chip32x32Palette));
    std::vector<std::size_t> expected{chips + 1, palettes};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ChangedBytes(), expected) << "the attribute of quarter 1 and the palette byte of chip 00";
}

TEST_F(Chip32x32EditTest, PageSwitchForgetsTheHoveredChipOfTheOtherPage)
{
    Page();
    const QPoint at = QuarterPoint(0x05, 0);
    Move(ChipTable(), at.x(), at.y());
    PageSwitch()->DownButton()->click(); // by keyboard, the pointer resting
    Press(ChipTable(), at.x(), at.y(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(UndoCount(), 0) << "no paste into chip 05, which is not shown";
    Move(ChipTable(), at.x() + 1, at.y());
    EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:85"));
}
