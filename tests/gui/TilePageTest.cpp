#include "core/model/TileSheet.h"
#include "gui/pages/TileEdit.h"
#include "tests/gui/support/EditorFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace vx;

namespace {

class TilePage : public test::EditorFixture {
protected:
    ImageView* editor() const { return find<ImageView>(u"ImgTileEditView"); }
    // The pixel of the selected chip's first tile the editor shows at its top-left block.
    int firstPixel() const
    {
        const std::uint8_t* tile =
            form->tileEdit()->patternData().data() + TileTableLength + TileLength * (form->tileEdit()->tile() & ~3);
        return (tile[0] >> 7) | ((tile[8] >> 7) << 1);
    }
};

} // namespace

TEST_F(TilePage, AStrokeIsOneStepThatTheOtherPagesDrawAndUndoTakesBack)
{
    showPage(pgTileEdit);
    EXPECT_EQ(pages()->tabText(pgTileEdit), QString::fromUtf8("タイル"));
    const auto before = form->tileEdit()->patternData();
    const int colour = firstPixel() == 3 ? 1 : 3;
    press(find<ImageView>(u"ImgTileColours"), colour * 48 + 4, 4, Qt::LeftButton);
    press(editor(), 4, 4, Qt::LeftButton);
    drag(editor(), 20, 4);
    drag(editor(), 36, 20);
    test::release(editor(), 36, 20, Qt::LeftButton);
    EXPECT_EQ(firstPixel(), colour);
    EXPECT_EQ(undoSteps(), 1) << "the stroke is one step";
    EXPECT_EQ(undoCaption(), QStringLiteral("&Undo - Edit Tiles"));
    EXPECT_TRUE(statusPanel(1)->text().startsWith(QStringLiteral("BG 00 (2,1) 0x")))
        << statusPanel(1)->text().toStdString();

    // Right click takes the colour under the pointer.
    press(editor(), 200, 200, Qt::RightButton);
    EXPECT_EQ(form->tileEdit()->colour(),
              tilePixel(std::span<const std::uint8_t, TileLength>(
                            form->tileEdit()->patternData().data() + TileTableLength + 3 * TileLength, TileLength),
                        12 % 8, 12 % 8));

    showPage(pgMapEdit);
    EXPECT_EQ(form->graphics().patternData(), form->tileEdit()->patternData().data())
        << "one pattern data for all pages";
    undoAction()->trigger();
    EXPECT_EQ(form->tileEdit()->patternData(), before);
    EXPECT_FALSE(form->rom().differsFromFile());
}

TEST_F(TilePage, APictureGoesOutAndComesBackAsOneStepAndReloadAsksFirst)
{
    showPage(pgTileEdit);
    const QString picture = QString::fromStdString(dir.file("stage-01-tiles.png"));
    stageSelector()->setCurrentIndex(1);
    prompts.saveFiles.push_back(picture);
    menuAction(u"MenuItemExportTiles")->trigger();
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Wrote stage-01-tiles.png")));

    stageSelector()->setCurrentIndex(0);
    prompts.openFiles.push_back(picture);
    menuAction(u"MenuItemImportTiles")->trigger();
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Imported "))) << statusPanel(2)->text().toStdString();
    EXPECT_EQ(undoSteps(), 1);
    const auto imported = form->tileEdit()->patternData();

    prompts.yesNo.push_back(false);
    find<QPushButton>(u"BtnReload")->click();
    EXPECT_EQ(prompts.yesNo.size(), 0u) << "asked before reading the file again";
    EXPECT_EQ(form->tileEdit()->patternData(), imported);

    test::writeFile(picture.toStdString(), std::string("not a picture"));
    prompts.openFiles.push_back(picture);
    menuAction(u"MenuItemImportTiles")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("This is not a PNG file.")))
        << prompts.messages[0].toStdString();
    EXPECT_EQ(undoSteps(), 1) << "nothing changed";
}

TEST_F(TilePage, TheChipLayoutIsChosenPerTableKeptAndNamedInTheStatusBar)
{
    showPage(pgTileEdit);
    const auto chipsChecked = [&] {
        emit find<QMenu>(u"MenuFile")->aboutToShow();
        return menuAction(u"MenuItemTileChipLayout")->isChecked();
    };
    ASSERT_FALSE(chipsChecked()) << "the tile order by default";
    menuAction(u"MenuItemTileChipLayout")->trigger();
    prompts.saveFiles.push_back(QString::fromStdString(dir.file("chips.png")));
    menuAction(u"MenuItemExportTiles")->trigger();
    EXPECT_TRUE(statusPanel(2)->text().endsWith(QStringLiteral("; 16x16 chip layout")));
    prompts.openFiles.push_back(QString::fromStdString(dir.file("chips.png")));
    menuAction(u"MenuItemImportTiles")->trigger();
    EXPECT_TRUE(statusPanel(2)->text().endsWith(QStringLiteral("there are now (16x16 chip layout).")));
    press(find<ImageView>(u"ImgSpritePatternTableView"), 10, 10, Qt::LeftButton);
    EXPECT_FALSE(chipsChecked()) << "the sprite table keeps its own";
    form.reset();
    showPage(pgTileEdit);
    EXPECT_TRUE(chipsChecked()) << "kept for the next start";
}

TEST_F(TilePage, AChosenColourFileIsCheckedKeptAndUsedFromTheNextStart)
{
    opened();
    const std::string bad = dir.file("short.pal"), good = dir.file("mine.pal");
    test::writeFile(bad, std::vector<std::uint8_t>(100, 0));
    std::vector<std::uint8_t> colours(192, 0x20);
    colours[0x0F * 3] = 0x12;
    test::writeFile(good, colours);
    prompts.openFiles.push_back(QString::fromStdString(bad));
    menuAction(u"MenuItemConsoleColours")->trigger();
    prompts.openFiles.push_back(QString::fromStdString(good));
    menuAction(u"MenuItemConsoleColours")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("stays as it was"))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("next start")));
    EXPECT_NE(form->paletteManager().getRGB(0x0F), 0x202012u);

    form.reset();
    EXPECT_EQ(mainForm().paletteManager().getRGB(0x0F), 0x202012u);
}
