#include "core/model/TileSheet.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/pages/TileEdit.h"
#include "gui/widgets/PageControls.h"
#include "tests/gui/support/EditorFixture.h"

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace vx;

namespace {

class Renumber : public test::EditorFixture {
protected:
    // Runs a menu item with these answers to its number prompt and its question.
    void run(const char* item, const char* typed, bool yes = true)
    {
        prompts.inputs.emplace_back(QString::fromLatin1(typed));
        prompts.yesNo.push_back(yes);
        menuAction(QString::fromLatin1(item))->trigger();
    }
    // One undo brings every byte of the image back.
    void expectOneUndoRestores(const std::vector<std::uint8_t>& before)
    {
        EXPECT_NE(form->rom().editedImage(), before);
        EXPECT_FALSE(statusPanel(2)->text().isEmpty()) << "the renumbering says what it changed";
        undoAction()->trigger();
        EXPECT_EQ(form->rom().editedImage(), before);
        EXPECT_TRUE(statusPanel(2)->text().isEmpty()) << "and the undo takes that back";
    }
    // A refusal says why and changes nothing.
    void expectRefused(const char* item, const char* typed, const char* said)
    {
        const auto before = form->rom().editedImage();
        prompts.inputs.emplace_back(QString::fromLatin1(typed));
        menuAction(QString::fromLatin1(item))->trigger();
        ASSERT_FALSE(prompts.messages.isEmpty());
        EXPECT_TRUE(prompts.messages.back().contains(QString::fromLatin1(said)))
            << prompts.messages.back().toStdString();
        EXPECT_EQ(form->rom().editedImage(), before);
    }
};

} // namespace

TEST_F(Renumber, ChipsSwapMoveAndMergeAsOneUndoableStepAfterAskingWhatChanges)
{
    showPage(pg32x32ChipEdit);
    form->chip32x32Edit()->selectChip(0x05);
    auto before = form->rom().editedImage();
    const auto chips = currentStage().chip32x32();
    run("MenuItemSwapChip", "3A");
    EXPECT_TRUE(prompts.questions.back().startsWith(QStringLiteral("Swap chips 05 and 3A: ")));
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral(" cells in ")))
        << prompts.questions.back().toStdString();
    EXPECT_TRUE(
        std::equal(chips.begin() + 4 * 0x05, chips.begin() + 4 * 0x06, currentStage().chip32x32().begin() + 4 * 0x3A));
    EXPECT_EQ(form->chip32x32Edit()->editedChip(), 0x3A) << "the edited chip follows";
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Swapped chips 05 and 3A")));
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Swap 32x32Tiles"));
    expectOneUndoRestores(before);

    // Declined, nothing changes; onto a used chip, refused.
    form->chip32x32Edit()->selectChip(0x05);
    run("MenuItemSwapChip", "3A", false);
    EXPECT_EQ(form->rom().editedImage(), before);
    const auto used = std::ranges::find_if(currentStage().map(), [](std::uint8_t chip) { return chip != 0x05; });
    expectRefused("MenuItemMoveChip", hex2Text(*used).toLatin1().constData(), "is used by");
    expectRefused("MenuItemSwapChip", "100", "00 to FF");
    expectRefused("MenuItemSwapChip", "x", "hex");

    // A copy of chip 05 at FF named by one cell: the merge points it back at 05 and frees FF.
    StageData& stage = currentStage();
    std::array<std::uint8_t, 8> copy{};
    for (std::size_t i = 0; i < 4; ++i)
        copy[i] = stage.chip32x32()[20 + i], copy[i + 4] = stage.chip32x32Attribute()[20 + i];
    stage.setChip(0xFF * 4, copy);
    stage.setMapChip(static_cast<int>(std::ranges::find(stage.map(), 0x05) - stage.map().begin()), 0xFF);
    before = form->rom().editedImage();
    prompts.yesNo.push_back(true);
    menuAction(u"MenuItemMergeChips")->trigger();
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral("Set free: FF")))
        << prompts.questions.back().toStdString();
    EXPECT_LE(prompts.questions.back().count(QLatin1Char('\n')), 14) << "the question fits a small screen";
    EXPECT_EQ(std::ranges::count(stage.map(), 0xFF), 0);
    const auto merged = form->rom().editedImage();
    expectOneUndoRestores(before);

    // The duplicated-chip list's window runs the same merge, offered while there is one to run.
    auto* window = find<InfoListDialog>(u"SubForm");
    auto* merge = test::control<QPushButton>(window, u"BtnSubFormMerge");
    EXPECT_EQ(merge->accessibleName(), QString::fromUtf8("統合"));
    std::vector<bool> offered; // as each list shows, and after its merge
    const auto open = [&](QAnyStringView button, bool merging) {
        QTimer::singleShot(0, window, [&, merging] {
            offered.push_back(merge->isVisible());
            if (merging)
                prompts.yesNo.push_back(true), merge->click(), offered.push_back(merge->isVisible());
            test::control<QPushButton>(window, u"BtnOK")->click();
        });
        find<QPushButton>(button)->click();
    };
    open(u"BtnOverlapped32x32ChipView", true);
    EXPECT_TRUE(prompts.questions.back().startsWith(QStringLiteral("Point each group of equal chips")));
    EXPECT_EQ(form->rom().editedImage(), merged);
    undoAction()->trigger();
    open(u"BtnUnused32x32ChipView", false);
    EXPECT_EQ(offered, (std::vector<bool>{true, false, false})) << "offered; merged, not again; not the unused";
}

TEST_F(Renumber, TilesSwapInTheBackgroundTableAndNameTheStagesDrawingThem)
{
    showPage(pgTileEdit);
    const auto before = form->rom().editedImage();
    const auto patterns = form->tileEdit()->patternData();
    run("MenuItemSwapTiles", "0A");
    EXPECT_TRUE(prompts.questions.back().startsWith(QStringLiteral("Swap 16x16 chip 00 and 0A: ")));
    const auto swapped = form->tileEdit()->patternData();
    EXPECT_TRUE(std::equal(patterns.begin() + TileTableLength + 10 * 64, patterns.begin() + TileTableLength + 11 * 64,
                           swapped.begin() + TileTableLength))
        << "the page shows the swapped bytes at once";
    expectOneUndoRestores(before);
    EXPECT_EQ(form->tileEdit()->patternData(), patterns);

    find<QRadioButton>(u"RadioTileEditTile")->click();
    expectRefused("MenuItemSwapTiles", "100", "00 to FF");
    expectRefused("MenuItemSwapTiles", "00", "itself");

    // A right click on the background table selects the chip there and offers its swap.
    find<QRadioButton>(u"RadioTileEditChip")->click();
    press(find<ImageView>(u"ImgBGPatternTableView"), 100, 100, Qt::RightButton);
    ASSERT_TRUE(form->tileEdit()->tableMenu()->isVisible());
    EXPECT_NE(form->tileEdit()->tile(), 0);
    prompts.inputs.emplace_back(std::nullopt);
    form->tileEdit()->tableMenu()->actions().front()->trigger();
    EXPECT_EQ(prompts.questions.back(),
              QStringLiteral("Swap 16x16 chip %1 with (00-3F, in hex):").arg(hex2Text(form->tileEdit()->tile() / 4)));
    form->tileEdit()->tableMenu()->hide();
}

TEST_F(Renumber, ColourUsesListTheChipsAndRoomsAndUnusedEntriesAreCrossedOut)
{
    showPage(pgPaletteEdit);
    auto* window = find<InfoListDialog>(u"ColourUsesForm");
    QString heading, text;
    QTimer::singleShot(0, window, [&] {
        heading = test::control<QLabel>(window, u"LblInformation")->text();
        text = test::control<QPlainTextEdit>(window, u"MemoInformation")->toPlainText();
        test::control<QPushButton>(window, u"BtnOK")->click();
    });
    prompts.inputs.emplace_back(QStringLiteral("05"));
    menuAction(u"MenuItemFindColourUses")->trigger();
    EXPECT_EQ(heading, QStringLiteral("Entry 05 (sub-palette 1, colour 1)"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Rooms: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("chip quarters"))) << text.toStdString();
    expectRefused("MenuItemFindColourUses", "10", "00-0F");

    // Entry 04 never shows: crossed out while the item is checked, and only then.
    const auto* entry4 = find<ImageView>(u"ImgPaletteEdit4");
    const Color plain = shownColor(entry4, 3, 3);
    menuAction(u"MenuItemShowUnusedColours")->trigger();
    EXPECT_EQ(shownColor(entry4, 3, 3), GraphicManager::CursorColor);
    EXPECT_TRUE(statusPanel(2)->text().contains(QStringLiteral("04"))) << statusPanel(2)->text().toStdString();
    menuAction(u"MenuItemShowUnusedColours")->trigger();
    EXPECT_EQ(shownColor(entry4, 3, 3), plain);
}
