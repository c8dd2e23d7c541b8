#include "core/model/RomImage.h"
#include "gui/pages/TileEdit.h"
#include "gui/widgets/ImageView.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace vx;

namespace {

class ShellTest : public test::EditorFixture {
protected:
    void edit(int stage = 0) { ASSERT_TRUE(form->rom().stage(stage).setMapChip(3, 0x77)); }
    // The image state's controls: the file commands that need an image, the Edit menu, the
    // stage selector, the pages and the animation timer.
    bool showsImage(bool shown) const
    {
        for (const char16_t* name : {u"MenuItemSave", u"MenuItemSaveAs", u"MenuItemClose"})
            if (menuAction(name)->isEnabled() != shown)
                return false;
        return stageSelector()->isHidden() != shown && pages()->isHidden() != shown &&
            test::control<QMenu>(form.get(), u"MenuEdit")->menuAction()->isVisible() == shown &&
            animationTimer()->isActive() == shown &&
            (shown || form->windowTitle() == QStringLiteral("VEXALON 2 EDITOR"));
    }
    bool showsImage() const { return showsImage(true); }
    bool showsNoImage() const { return showsImage(false); }
};

} // namespace

TEST_F(ShellTest, StartsWithoutAnImageAndOpensIntoTheImageState)
{
    MainForm& window = mainForm();
    ASSERT_FALSE(window.failed());
    EXPECT_TRUE(showsNoImage());
    EXPECT_EQ(pages()->count(), 7);
    EXPECT_EQ(pages()->tabText(pgTileEdit), QString::fromUtf8("タイル")) << "the last tab";
    EXPECT_EQ(pages()->tabText(pgMapEdit), QString::fromUtf8("マップ"));
    EXPECT_EQ(statusPanel(2)->width(), 330);

    ASSERT_TRUE(window.openImage(image));
    EXPECT_TRUE(showsImage());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
    EXPECT_EQ(pages()->currentIndex(), pgObjectEdit) << "the object page comes first";
    EXPECT_EQ(animationTimer()->interval(), 16);
    ASSERT_EQ(stageSelector()->count(), 14);
    EXPECT_EQ(stageSelector()->itemText(0), QStringLiteral("00 Meadow"));
    EXPECT_TRUE(stageSelector()->itemText(13).startsWith(QStringLiteral("0D ")));
    EXPECT_TRUE(find<ImageView>(u"ImgBGPatternTableView")->hasBitmap());
}

TEST_F(ShellTest, StageSelectionRebuildsThePatternDataOfTheNewStage)
{
    MainForm& window = opened();
    const auto stage0 = window.tileEdit()->patternData();
    stageSelector()->setCurrentIndex(3);
    EXPECT_EQ(window.rom().currentStageIndex(), 3);
    EXPECT_NE(window.tileEdit()->patternData(), stage0) << "each stage has its own tiles";
    EXPECT_EQ(window.graphics().patternData(), window.tileEdit()->patternData().data());
    EXPECT_TRUE(animationTimer()->isActive());
}

TEST_F(ShellTest, EditMenuCaptionsFollowTheCurrentStageAndLanguage)
{
    MainForm& window = opened();
    forceLanguage(Language::Japanese);
    window.updateEditMenu();
    EXPECT_FALSE(undoAction()->isEnabled());
    EXPECT_EQ(undoAction()->text(), QString::fromUtf8("元に戻す(&U)"));
    EXPECT_EQ(redoAction()->text(), QString::fromUtf8("やり直し(&R)"));
    forceLanguage(Language::English);

    edit(0);
    stageSelector()->setCurrentIndex(1);
    window.updateEditMenu();
    EXPECT_FALSE(undoAction()->isEnabled()) << "history is per stage";
    stageSelector()->setCurrentIndex(0);
    window.updateEditMenu();
    EXPECT_TRUE(undoAction()->isEnabled());
    EXPECT_EQ(undoAction()->text(), QStringLiteral("&Undo - Edit Map"));

    undoAction()->trigger();
    EXPECT_EQ(window.rom().stage(0).map()[3], test::sampleBytes()[0x510 + 3]);
    window.updateEditMenu();
    EXPECT_EQ(redoAction()->text(), QStringLiteral("&Redo - Edit Map"));
    EXPECT_EQ(undoAction()->text(), QStringLiteral("&Undo"));
}

TEST_F(ShellTest, SaveClearsModifiedButKeepsTheHistory)
{
    MainForm& window = opened();
    edit();
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    ASSERT_TRUE(window.commandSave());
    EXPECT_TRUE(statusPanel(0)->text().isEmpty());
    EXPECT_FALSE(window.rom().isModified());
    EXPECT_EQ(test::readBytes(image.toStdString())[0x510 + 3], 0x77);
    window.updateEditMenu();
    EXPECT_TRUE(undoAction()->isEnabled());
}

TEST_F(ShellTest, CloseWithEditsYesThenCancelledSaveKeepsEverything)
{
    MainForm& window = opened();
    edit();
    prompts.answers = {Answer::Yes};
    prompts.saveFiles = {std::nullopt};
    window.commandClose();
    EXPECT_EQ(prompts.questions.value(0),
              QStringLiteral("Do you want to save the changes to ") + image + QStringLiteral("?"));
    EXPECT_EQ(prompts.suggestions.value(0), QFileInfo(image).absoluteFilePath()) << "Save As starts on the image";
    EXPECT_TRUE(showsImage());
    EXPECT_EQ(window.rom().stage(0).map()[3], 0x77);
}

TEST_F(ShellTest, CloseWithEditsNoWritesNothing)
{
    MainForm& window = opened();
    edit();
    prompts.answers = {Answer::No};
    window.commandClose();
    EXPECT_TRUE(showsNoImage());
    EXPECT_FALSE(window.rom().isLoaded());
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes());
    EXPECT_TRUE(statusPanel(0)->text().isEmpty());
}

TEST_F(ShellTest, ExitWithEditsCancelKeepsRunningAndYesWritesTheChosenFile)
{
    MainForm& window = opened();
    window.show();
    edit();
    prompts.answers = {Answer::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(showsImage());

    const QString other = QString::fromStdString(dir.file("edited.nes"));
    prompts.answers = {Answer::Yes};
    prompts.saveFiles = {other};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(test::readBytes(other.toStdString())[0x510 + 3], 0x77);
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes());
}

TEST_F(ShellTest, OpeningOverUnsavedEditsAsksFirst)
{
    MainForm& window = opened();
    edit();
    prompts.answers = {Answer::Cancel};
    window.commandOpen();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(window.rom().stage(0).map()[3], 0x77) << "cancel keeps the edits";

    prompts.answers = {Answer::Yes};
    prompts.saveFiles = {std::nullopt};
    window.commandOpen();
    EXPECT_TRUE(window.rom().isModified()) << "a cancelled save cancels the open";

    prompts.answers = {Answer::No};
    prompts.openFiles = {image};
    window.commandOpen();
    EXPECT_FALSE(window.rom().isModified());
    EXPECT_TRUE(statusPanel(0)->text().isEmpty());
}

TEST_F(ShellTest, RefusedFileSaysWhyAndTheOpenImageStays)
{
    MainForm& window = opened();
    edit();
    const std::string bad = dir.file("bad.nes");
    test::writeFile(bad, std::string(1000, 'x'));
    EXPECT_FALSE(window.openImage(QString::fromStdString(bad)));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("out of range"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
    EXPECT_TRUE(window.rom().isModified());
}

TEST_F(ShellTest, FailedSaveShowsTheReasonOffersSaveAsAndStaysModified)
{
    MainForm& window = opened();
    edit();
    // A folder that is gone, and a folder where a file should be.
    prompts.saveFiles = {QString::fromStdString(dir.file("gone/game.nes")), QString::fromStdString(dir.path())};
    prompts.yesNo = {true, false};
    EXPECT_FALSE(window.commandSaveAs());
    ASSERT_EQ(prompts.questions.size(), 2);
    for (const QString& question : prompts.questions) {
        EXPECT_TRUE(question.contains(QStringLiteral("Cannot write file"))) << question.toStdString();
        EXPECT_TRUE(question.contains(QStringLiteral("another name"))) << question.toStdString();
    }
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
}

TEST_F(ShellTest, SaveOntoAReadOnlyImageSaysSoAndOffersSaveAs)
{
    MainForm& window = opened();
    edit();
    std::filesystem::permissions(image.toStdString(), std::filesystem::perms(0444));
    const QString other = QString::fromStdString(dir.file("other.nes"));
    prompts.yesNo = {false, true};
    prompts.saveFiles = {other};
    EXPECT_FALSE(window.commandSave()) << "declined: nothing saved";
    EXPECT_TRUE(window.rom().isModified());
    EXPECT_TRUE(window.commandSave());
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_TRUE(prompts.questions[1].contains(QStringLiteral("read-only"))) << prompts.questions[1].toStdString();
    EXPECT_TRUE(prompts.questions[1].contains(QStringLiteral("another name")));
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes()) << "the read-only file stays";
    EXPECT_EQ(test::readBytes(other.toStdString())[0x510 + 3], 0x77);
    EXPECT_FALSE(window.rom().isModified());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + other + QStringLiteral("[*]"));
}

TEST_F(ShellTest, ASettingsFileThatIsTooLargeOrNoSettingsEndsTheStartWithAMessage)
{
    const std::string settings = dir.file("vexalon2editor.ini");
    struct Case {
        std::function<void()> make;
        const char* reason;
    };
    const Case cases[] = {
        {[&] { test::writeFile(settings, test::sampleBytes()); }, "not a settings file but an iNES image"},
        {[&] { std::filesystem::resize_file(settings, std::uintmax_t{10} << 30); }, "10,737,418,240 bytes"},
        {[&] { std::filesystem::remove(settings), std::filesystem::create_directory(settings); }, "is a directory"}};
    for (const Case& c : cases) {
        c.make();
        prompts.messages.clear();
        prompts.questions.clear();
        prompts.yesNo = {false}; // the image as settings offers the defaults: declined
        EXPECT_TRUE(mainForm().failed());
        form.reset(); // nothing is written at the end of a failed start
        const QStringList said = prompts.messages + prompts.questions;
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said[0].contains(QString::fromStdString(settings))) << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(QString::fromUtf8(c.reason))) << said[0].toStdString();
        prompts.yesNo.clear();
    }
    // Accepted: the file is kept aside whole and the editor starts with the defaults.
    std::filesystem::remove(settings);
    const std::string nul = std::string("[LevelDataAddress]\nMap[0]=5") + '\0';
    test::writeFile(settings, nul);
    prompts.yesNo = {true};
    EXPECT_FALSE(mainForm().failed());
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral("vexalon2editor.ini.bad")));
    EXPECT_EQ(test::readText(settings + ".bad"), nul);
    form.reset();
    EXPECT_NE(test::readText(settings).find("\nMap[0]=510\n"), std::string::npos);
}

TEST_F(ShellTest, AReadOnlySettingsFileStaysTheStartSaysSoOnceAndNeitherEndAsks)
{
    const std::string settings = dir.file("vexalon2editor.ini");
    test::writeFile(settings, std::string("[LevelDataAddress]\nMap[0]=510\n"));
    std::filesystem::permissions(settings, std::filesystem::perms(0444)); // by its bits, even to root
    mainForm();
    EXPECT_TRUE(statusPanel(2)->text().contains(QStringLiteral("read-only"))) << statusPanel(2)->text().toStdString();
    form->keepWorkForNextStart(); // as on a signal
    form.reset();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(u'\n').toStdString();
    EXPECT_EQ(test::readText(settings), "[LevelDataAddress]\nMap[0]=510\n");
}

TEST_F(ShellTest, TheSettingsFileIsWrittenAtTheEnd)
{
    mainForm();
    form.reset();
    const std::string settings = test::readText(dir.file("vexalon2editor.ini"));
    EXPECT_NE(settings.find("\nMap[9]=4510\n"), std::string::npos);
    EXPECT_NE(settings.find("\nDefaultStartPoint[13]=3\n"), std::string::npos);
}

TEST_F(ShellTest, MissingColourFileEndsTheStartWithItsMessage)
{
    std::filesystem::remove(dir.file("fcpalette.pal"));
    EXPECT_TRUE(mainForm().failed());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("fcpalette.pal")));
}

TEST_F(ShellTest, OverflowingPatternSettingsWarnWithTheAddress)
{
    auto bytes = test::sampleBytes();
    bytes[0x3C10] = 3; // a third entry of 16 pages runs past 8192 bytes
    bytes[0x3C10 + 7] = 0x80;
    bytes[0x3C10 + 8] = 16;
    bytes[0x3C10 + 9] = 8;
    test::writeFile(image.toStdString(), bytes);
    opened();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].endsWith(QStringLiteral("Confirm Data in Address 3C10")));
}

TEST_F(ShellTest, CtrlZAndCtrlYWorkWithoutOpeningTheEditMenu)
{
    MainForm& window = opened();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit();
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.rom().stage(0).map()[3], test::sampleBytes()[0x510 + 3]);
    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window.rom().stage(0).map()[3], 0x77);

    window.updateEditMenu(); // the menu opens: states follow the history
    EXPECT_FALSE(redoAction()->isEnabled());
    window.enableHistoryKeys(); // and closes
    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window.rom().stage(0).map()[3], 0x77) << "no step: nothing happens";
}

TEST_F(ShellTest, TheDefaultSizeShowsThePagesWholeAndASmallerWindowScrollsOnlyThePage)
{
    MainForm& window = opened();
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(pages()->geometry(), QRect(0, 27, 630, 625)) << "as the window always laid them out";
    QScrollArea* scroll = pageScroll(*pages(), pgObjectEdit);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());

    window.resize(630, 420); // less than a 1024x600 screen leaves under its panels
    QApplication::processEvents();
    ASSERT_TRUE(scroll->verticalScrollBar()->isVisible());
    QWidget* sheet = pageSheet(pgObjectEdit);
    EXPECT_TRUE(sheet->size().expandedTo(sheet->minimumSizeHint()) == sheet->size())
        << "the sheet keeps the size its controls need";
    EXPECT_TRUE(statusPanel(0)->isVisible()) << "the status bar stays in the window";
    const auto placeOf = [&window](QWidget* widget) { return widget->mapTo(&window, QPoint(0, 0)); };
    const QPoint selector = placeOf(stageSelector()), tabs = placeOf(pages()->tabBar());
    QWidget* lowest = find<QWidget>(u"CheckBoxObjectAutoSort");
    scroll->ensureWidgetVisible(lowest);
    QApplication::processEvents();
    EXPECT_EQ(scroll->verticalScrollBar()->value(), scroll->verticalScrollBar()->maximum());
    const QPoint shown = lowest->mapTo(scroll->viewport(), QPoint(0, 0));
    EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(shown, lowest->size()))) << "reached by scrolling";
    EXPECT_EQ(placeOf(stageSelector()), selector) << "the page scrolled alone";
    EXPECT_EQ(placeOf(pages()->tabBar()), tabs);
    EXPECT_EQ(window.childAt(placeOf(pages()->tabBar()) + QPoint(5, 5)), pages()->tabBar()) << "a click meets a tab";
}
