#include "core/RomImgManager.h"
#include "gui/pages/PatternTableEdit.h"
#include "gui/widgets/ImageView.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace vx;

namespace {

class ShellTest : public test::EditorFixture {
protected:
    void Edit(int stage = 0) { ASSERT_TRUE(form->Rom().Stage(stage).SetMapChip(3, 0x77)); }
    // The image state's controls: the file commands that need an image, the Edit menu, the
    // stage selector, the pages and the animation timer.
    bool ShowsImage(bool shown) const
    {
        for (const char16_t* name : {u"MenuItemSave", u"MenuItemSaveAs", u"MenuItemClose"})
            if (Command(name)->isEnabled() != shown)
                return false;
        return StageSelector()->isHidden() != shown && Pages()->isHidden() != shown &&
               test::Control<QMenu>(form.get(), u"MenuEdit")->menuAction()->isVisible() == shown &&
               AnimationTimer()->isActive() == shown &&
               (shown || form->windowTitle() == QStringLiteral("VEXALON 2 EDITOR"));
    }
    bool ShowsImage() const { return ShowsImage(true); }
    bool ShowsNoImage() const { return ShowsImage(false); }
};

} // namespace

TEST_F(ShellTest, StartsWithoutAnImageAndOpensIntoTheImageState)
{
    TMainForm& window = Form();
    ASSERT_FALSE(window.Failed());
    EXPECT_TRUE(ShowsNoImage());
    EXPECT_EQ(Pages()->count(), 8);
    EXPECT_FALSE(Pages()->tabBar()->isTabVisible(pgPatternTableEdit));
    EXPECT_FALSE(Pages()->tabBar()->isTabVisible(pgSpriteBankEdit));
    EXPECT_EQ(Pages()->tabText(pgMapEdit), QString::fromUtf8("マップ"));
    EXPECT_EQ(StatusPanel(2)->width(), 330);

    ASSERT_TRUE(window.OpenImage(image));
    EXPECT_TRUE(ShowsImage());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
    EXPECT_EQ(Pages()->currentIndex(), pgObjectEdit) << "the object page comes first";
    EXPECT_EQ(AnimationTimer()->interval(), 16);
    ASSERT_EQ(StageSelector()->count(), 14);
    EXPECT_EQ(StageSelector()->itemText(0), QStringLiteral("00 Meadow"));
    EXPECT_TRUE(StageSelector()->itemText(13).startsWith(QStringLiteral("0D ")));
    EXPECT_TRUE(Find<TImageView>(u"ImgBGPatternTableView")->HasBitmap());
}

TEST_F(ShellTest, StageSelectionRebuildsThePatternDataOfTheNewStage)
{
    TMainForm& window = Opened();
    const auto stage0 = window.PatternTableEdit()->PatternData();
    StageSelector()->setCurrentIndex(3);
    EXPECT_EQ(window.Rom().CurrentStageIndex(), 3);
    EXPECT_NE(window.PatternTableEdit()->PatternData(), stage0) << "each stage has its own tiles";
    EXPECT_EQ(window.Graphics().PatternData(), window.PatternTableEdit()->PatternData().data());
    EXPECT_TRUE(AnimationTimer()->isActive());
}

TEST_F(ShellTest, EditMenuCaptionsFollowTheCurrentStageAndLanguage)
{
    TMainForm& window = Opened();
    ForceLanguage(Language::Japanese);
    window.UpdateEditMenu();
    EXPECT_FALSE(UndoAction()->isEnabled());
    EXPECT_EQ(UndoAction()->text(), QString::fromUtf8("元に戻す(&U)"));
    EXPECT_EQ(RedoAction()->text(), QString::fromUtf8("やり直し(&R)"));
    ForceLanguage(Language::English);

    Edit(0);
    StageSelector()->setCurrentIndex(1);
    window.UpdateEditMenu();
    EXPECT_FALSE(UndoAction()->isEnabled()) << "history is per stage";
    StageSelector()->setCurrentIndex(0);
    window.UpdateEditMenu();
    EXPECT_TRUE(UndoAction()->isEnabled());
    EXPECT_EQ(UndoAction()->text(), QStringLiteral("Undo(&U) - Edit Map"));

    UndoAction()->trigger();
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], test::SampleBytes()[0x510 + 3]);
    window.UpdateEditMenu();
    EXPECT_EQ(RedoAction()->text(), QStringLiteral("Redo(&R) - Edit Map"));
    EXPECT_EQ(UndoAction()->text(), QStringLiteral("Undo(&U)"));
}

TEST_F(ShellTest, SaveClearsModifiedButKeepsTheHistory)
{
    TMainForm& window = Opened();
    Edit();
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));
    ASSERT_TRUE(window.CommandSave());
    EXPECT_TRUE(StatusPanel(0)->text().isEmpty());
    EXPECT_FALSE(window.Rom().IsModified());
    EXPECT_EQ(test::ReadBytes(image.toStdString())[0x510 + 3], 0x77);
    window.UpdateEditMenu();
    EXPECT_TRUE(UndoAction()->isEnabled());
}

TEST_F(ShellTest, CloseWithEditsYesThenCancelledSaveKeepsEverything)
{
    TMainForm& window = Opened();
    Edit();
    prompts.answers = {TAnswer::Yes};
    prompts.saveFiles = {std::nullopt};
    window.CommandClose();
    EXPECT_EQ(prompts.questions.value(0), QStringLiteral("Do you want to save the changes of ") + image + QStringLiteral("?"));
    EXPECT_TRUE(ShowsImage());
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], 0x77);
}

TEST_F(ShellTest, CloseWithEditsNoWritesNothing)
{
    TMainForm& window = Opened();
    Edit();
    prompts.answers = {TAnswer::No};
    window.CommandClose();
    EXPECT_TRUE(ShowsNoImage());
    EXPECT_FALSE(window.Rom().IsLoaded());
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes());
    EXPECT_TRUE(StatusPanel(0)->text().isEmpty());
}

TEST_F(ShellTest, ExitWithEditsCancelKeepsRunningAndYesWritesTheChosenFile)
{
    TMainForm& window = Opened();
    window.show();
    Edit();
    prompts.answers = {TAnswer::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(ShowsImage());

    const QString other = QString::fromStdString(dir.File("edited.nes"));
    prompts.answers = {TAnswer::Yes};
    prompts.saveFiles = {other};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(test::ReadBytes(other.toStdString())[0x510 + 3], 0x77);
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes());
}

TEST_F(ShellTest, OpeningOverUnsavedEditsAsksFirst)
{
    TMainForm& window = Opened();
    Edit();
    prompts.answers = {TAnswer::Cancel};
    window.CommandOpen();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], 0x77) << "cancel keeps the edits";

    prompts.answers = {TAnswer::Yes};
    prompts.saveFiles = {std::nullopt};
    window.CommandOpen();
    EXPECT_TRUE(window.Rom().IsModified()) << "a cancelled save cancels the open";

    prompts.answers = {TAnswer::No};
    prompts.openFiles = {image};
    window.CommandOpen();
    EXPECT_FALSE(window.Rom().IsModified());
    EXPECT_TRUE(StatusPanel(0)->text().isEmpty());
}

TEST_F(ShellTest, RefusedFileSaysWhyAndTheOpenImageStays)
{
    TMainForm& window = Opened();
    Edit();
    const std::string bad = dir.File("bad.nes");
    test::WriteFile(bad, std::string(1000, 'x'));
    EXPECT_FALSE(window.OpenImage(QString::fromStdString(bad)));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("out of range"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
    EXPECT_TRUE(window.Rom().IsModified());
}

TEST_F(ShellTest, FailedSaveShowsTheReasonOffersSaveAsAndStaysModified)
{
    TMainForm& window = Opened();
    Edit();
    // A folder that is gone, and a folder where a file should be.
    prompts.saveFiles = {QString::fromStdString(dir.File("gone/game.nes")), QString::fromStdString(dir.Path())};
    prompts.yesNo = {true, false};
    EXPECT_FALSE(window.CommandSaveAs());
    ASSERT_EQ(prompts.questions.size(), 2);
    for (const QString& question : prompts.questions) {
        EXPECT_TRUE(question.contains(QStringLiteral("Cannot write file"))) << question.toStdString();
        EXPECT_TRUE(question.contains(QStringLiteral("another name"))) << question.toStdString();
    }
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + image + QStringLiteral("[*]"));
}

TEST_F(ShellTest, SaveOntoAReadOnlyImageSaysSoAndOffersSaveAs)
{
    TMainForm& window = Opened();
    Edit();
    std::filesystem::permissions(image.toStdString(), std::filesystem::perms(0444));
    const QString other = QString::fromStdString(dir.File("other.nes"));
    prompts.yesNo = {false, true};
    prompts.saveFiles = {other};
    EXPECT_FALSE(window.CommandSave()) << "declined: nothing saved";
    EXPECT_TRUE(window.Rom().IsModified());
    EXPECT_TRUE(window.CommandSave());
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_TRUE(prompts.questions[1].contains(QStringLiteral("read-only"))) << prompts.questions[1].toStdString();
    EXPECT_TRUE(prompts.questions[1].contains(QStringLiteral("another name")));
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes()) << "the read-only file stays";
    EXPECT_EQ(test::ReadBytes(other.toStdString())[0x510 + 3], 0x77);
    EXPECT_FALSE(window.Rom().IsModified());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEXALON 2 EDITOR - ") + other + QStringLiteral("[*]"));
}

TEST_F(ShellTest, ASettingsFileThatIsTooLargeOrNoSettingsEndsTheStartWithAMessage)
{
    const std::string settings = dir.File("vexalon2editor.ini");
    struct Case { std::function<void()> make; const char* reason; };
    const Case cases[] = {
        {[&] { test::WriteFile(settings, test::SampleBytes()); }, "not a settings file but an iNES image"},
        {[&] { std::filesystem::resize_file(settings, std::uintmax_t{10} << 30); }, "10,737,418,240 bytes"},
        {[&] { std::filesystem::remove(settings), std::filesystem::create_directory(settings); }, "is a directory"}};
    for (const Case& c : cases) {
        c.make();
        prompts.messages.clear();
        prompts.questions.clear();
        prompts.yesNo = {false}; // the image as settings offers the defaults: declined
        EXPECT_TRUE(Form().Failed());
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
    test::WriteFile(settings, nul);
    prompts.yesNo = {true};
    EXPECT_FALSE(Form().Failed());
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral("vexalon2editor.ini.bad")));
    EXPECT_EQ(test::ReadText(settings + ".bad"), nul);
    form.reset();
    EXPECT_NE(test::ReadText(settings).find("\nMap[0]=510\n"), std::string::npos);
}

TEST_F(ShellTest, AReadOnlySettingsFileStaysAndTheEndSaysSo)
{
    const std::string settings = dir.File("vexalon2editor.ini");
    test::WriteFile(settings, std::string("[LevelDataAddress]\nMap[0]=510\n"));
    std::filesystem::permissions(settings, std::filesystem::perms(0444));
    Form();
    form.reset();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("read-only"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(test::ReadText(settings), "[LevelDataAddress]\nMap[0]=510\n");
}

TEST_F(ShellTest, TheSettingsFileIsWrittenAtTheEnd)
{
    Form();
    form.reset();
    const std::string settings = test::ReadText(dir.File("vexalon2editor.ini"));
    EXPECT_NE(settings.find("\nMap[9]=4510\n"), std::string::npos);
    EXPECT_NE(settings.find("\nDefaultStartPoint[13]=3\n"), std::string::npos);
}

TEST_F(ShellTest, MissingColourFileEndsTheStartWithItsMessage)
{
    std::filesystem::remove(dir.File("fcpalette.pal"));
    EXPECT_TRUE(Form().Failed());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("fcpalette.pal")));
}

TEST_F(ShellTest, OverflowingPatternSettingsWarnWithTheAddress)
{
    auto bytes = test::SampleBytes();
    bytes[0x3C10] = 3; // a third entry of 16 pages runs past 8192 bytes
    bytes[0x3C10 + 7] = 0x80;
    bytes[0x3C10 + 8] = 16;
    bytes[0x3C10 + 9] = 8;
    test::WriteFile(image.toStdString(), bytes);
    Opened();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].endsWith(QStringLiteral("Confirm Data in Address 3C10")));
}

TEST_F(ShellTest, CtrlZAndCtrlYWorkWithoutOpeningTheEditMenu)
{
    TMainForm& window = Opened();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    Edit();
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], test::SampleBytes()[0x510 + 3]);
    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], 0x77);

    window.UpdateEditMenu(); // the menu opens: states follow the history
    EXPECT_FALSE(RedoAction()->isEnabled());
    window.EnableHistoryKeys(); // and closes
    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], 0x77) << "no step: nothing happens";
}
