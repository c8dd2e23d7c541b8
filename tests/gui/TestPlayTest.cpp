// Test play: the image as it stands goes to the user's emulator, which here is a shell script
// that copies the file it is given and writes down its arguments.
#include "gui/testplay/TestPlay.h"
#include "core/files/IniFile.h"
#include "gui/testplay/EmulatorCommand.h"
#include "gui/testplay/EmulatorRuns.h"
#include "gui/testplay/EmulatorSettingsDialog.h"
#include "gui/testplay/FceuxReload.h"
#include "tests/gui/support/EditorFixture.h"
#include "tests/gui/support/EditorProgram.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <csignal>
#include <filesystem>

using namespace vx;

namespace {

class TestPlayTest : public test::EditorFixture {
protected:
    TestPlayTest()
    {
        test::writeFile(emulator,
                        "#!/bin/sh\n"
                        "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" +
                            dir.file("played.args") +
                            "'\n"
                            "for word in \"$@\"; do last=$word; done\n"
                            "cp \"$last\" '" +
                            dir.file("played.tmp") + "' && mv '" + dir.file("played.tmp") + "' '" + played + "'\n");
        std::filesystem::permissions(emulator, std::filesystem::perms::owner_all);
    }
    void setCommand(const std::string& command)
    {
        test::writeFile(dir.file("preferences.ini"), "[TestPlay]\nCommand=" + command + "\n");
    }
    void activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // The emulator runs on its own; its copy appears when it is done.
    bool waitForPlay() const
    {
        QElapsedTimer clock;
        clock.start();
        while (!std::filesystem::exists(played) && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QTest::qSleep(20);
        }
        return std::filesystem::exists(played);
    }
    QStringList playedArguments() const
    {
        return QString::fromStdString(test::readText(dir.file("played.args")))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Runs `drive` on the settings dialog once it is open.
    void onDialog(std::function<void(QDialog*)> drive)
    {
        QTimer::singleShot(0, form.get(), [this, drive] {
            auto* dialog = form->findChild<QDialog*>(QStringLiteral("EmulatorSettingsDialog"));
            if (!dialog) {
                ADD_FAILURE() << "no settings dialog";
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
                return;
            }
            drive(dialog);
        });
    }

    // Events handled until `done` holds, for at most 5 s.
    static bool waitUntil(const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QTest::qSleep(20);
        }
        return done();
    }
    void writeEmulator(const std::string& body)
    {
        test::writeFile(emulator, "#!/bin/sh\n" + body);
        std::filesystem::permissions(emulator, std::filesystem::perms::owner_all);
        setCommand("\"" + emulator + "\" %f");
    }

    const std::string emulator = dir.file("my emu.sh");
    const std::string played = dir.file("played.nes");
};

} // namespace

TEST_F(TestPlayTest, F5PlaysTheImageAsItStandsAndLeavesTheOpenImageAlone)
{
    setCommand("\"" + emulator + "\" --flag \"two words\" %f");
    MainForm& window = opened();
    ASSERT_TRUE(currentStage().setMapChip(7, 0x31));
    const int undoCount = undoSteps();
    const std::vector<std::uint8_t> expected = window.rom().editedImage();
    ASSERT_NE(expected, test::sampleBytes());
    activate();
    QTest::keyClick(pages(), Qt::Key_F5);
    ASSERT_TRUE(waitForPlay());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(test::readBytes(played), expected) << "unsaved edits included";
    const QStringList arguments = playedArguments();
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments[0], QStringLiteral("--flag"));
    EXPECT_EQ(arguments[1], QStringLiteral("two words"));
    const std::filesystem::path copy = arguments[2].toStdString();
    EXPECT_EQ(copy.filename(), "game.nes") << "named after the image";
    EXPECT_NE(copy.parent_path(), std::filesystem::path(dir.path()));

    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes()) << "nothing saved";
    EXPECT_TRUE(window.rom().isModified());
    EXPECT_EQ(undoSteps(), undoCount);
    undoAction()->trigger();
    EXPECT_EQ(undoSteps(), undoCount - 1);

    form.reset();
    EXPECT_FALSE(std::filesystem::exists(copy.parent_path())) << "the temporary folder goes with the editor";
}

TEST_F(TestPlayTest, ShiftF5PlaysTheShownStageFromTheShownPointOrRoom)
{
    setCommand("\"" + emulator + "\" %f");
    MainForm& window = opened();
    window.showStage(0x0B);
    ASSERT_TRUE(currentStage().setMapChip(9, 0x22)); // unsaved edits go too
    window.selectEntry(PageNavigator::Entry::RestartPoint, 3);
    activate();
    QTest::keyClick(pages(), Qt::Key_F5, Qt::ShiftModifier);
    ASSERT_TRUE(waitForPlay());
    auto expected = makePlayCopy(window.rom().editedImage(), window.rom().addresses(), PlayStart::atPoint(0x0B, 3));
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(test::readBytes(played), expected.value().image);
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes()) << "nothing saved";

    std::filesystem::remove(played);
    window.showRoom(pgMapEdit, 0x12, true);
    menuAction(u"MenuItemTestPlayFromHere")->trigger();
    ASSERT_TRUE(waitForPlay());
    expected = makePlayCopy(window.rom().editedImage(), window.rom().addresses(), PlayStart::atRoom(0x0B, 0x12));
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(test::readBytes(played), expected.value().image);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();
}

// The real fceux under a display of its own: an edit and F5 reload the game it plays.
TEST_F(TestPlayTest, WithTheFceuxChoiceF5ReloadsTheRunningGame)
{
    if (!QFileInfo(FceuxReload::program()).isExecutable() || QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty())
        GTEST_SKIP() << "needs fceux and Xvfb (scripts/setup installs both)";
    const QString display = QStringLiteral(":%1").arg(90 + QCoreApplication::applicationPid() % 100);
    QProcess screen;
    screen.start(u"Xvfb"_qs, {display, u"-screen"_qs, u"0"_qs, u"640x480x24"_qs});
    ASSERT_TRUE(screen.waitForStarted());
    const QByteArray home = qgetenv("HOME");
    qputenv("DISPLAY", display.toUtf8());
    qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("HOME", QByteArray::fromStdString(dir.path())); // fceux's own settings
    test::writeFile(dir.file("preferences.ini"),
                    "[TestPlay]\nCommand=" + FceuxReload::program().toStdString() + "\nFceuxReload=1\n");
    opened();
    activate();
    QTest::keyClick(pages(), Qt::Key_F5);
    EXPECT_TRUE(statusPanel(2)->text().startsWith(u"Test play: started fceux"_qs))
        << statusPanel(2)->text().toStdString();
    QTest::qWait(3000); // fceux up and its script reading
    ASSERT_TRUE(currentStage().setMapChip(5, 0x21));
    QTest::keyClick(pages(), Qt::Key_F5);
    // Only the fceux already running reads the renewed stamp and logs the reload.
    const QString reloaded = u"The running fceux reloaded the image"_qs;
    EXPECT_TRUE(waitUntil([&] { return statusPanel(2)->text() == reloaded; })) << statusPanel(2)->text().toStdString();
    form.reset();
    qputenv("HOME", home);
    qunsetenv("DISPLAY");
    screen.terminate();
    screen.waitForFinished();
}

TEST_F(TestPlayTest, WithoutACommandTheSettingsComeFirstAndKeepIt)
{
    mainForm();
    EXPECT_FALSE(menuAction(u"MenuItemTestPlay")->isEnabled()) << "no image";
    opened();
    // Cancel: nothing runs, nothing is kept.
    onDialog([](QDialog* dialog) { dialog->reject(); });
    menuAction(u"MenuItemTestPlay")->trigger();
    EXPECT_FALSE(IniFile(dir.file("preferences.ini")).valueExists("TestPlay", "Command")) << "a cancel keeps nothing";
    EXPECT_FALSE(std::filesystem::exists(played)) << "and starts nothing";

    prompts.openFiles = {QString::fromStdString(emulator)};
    QString shown;
    onDialog([&shown](QDialog* dialog) {
        test::control<QPushButton>(dialog, u"BtnEmulatorBrowse")->click();
        shown = test::control<QLineEdit>(dialog, u"EditEmulatorCommand")->text();
        EXPECT_EQ(dialog->focusWidget(), test::control<QLineEdit>(dialog, u"EditEmulatorCommand"))
            << "the field it filled";
        dialog->accept();
    });
    menuAction(u"MenuItemTestPlay")->trigger();
    EXPECT_EQ(shown, QStringLiteral("'%1' %f").arg(QString::fromStdString(emulator))) << "quoted for its blank";
    ASSERT_TRUE(waitForPlay());
    EXPECT_EQ(playedArguments().size(), 1) << "only the file";
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Kept beside the recent list, neither dropping the other's keys.
    const IniFile preferences(dir.file("preferences.ini"));
    EXPECT_EQ(preferences.readString("TestPlay", "Command", ""), shown.toStdString());
    EXPECT_EQ(preferences.readString("RecentFiles", "File1", ""), image.toStdString());
}

TEST_F(TestPlayTest, ACommandThatCannotStartIsExplained)
{
    const std::string missing = dir.file("gone.sh");
    setCommand(missing + " %f");
    opened();
    menuAction(u"MenuItemTestPlay")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("not found"))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[0].contains(QString::fromStdString(missing + " %f"))) << "names the command";

    std::filesystem::permissions(emulator, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    prompts.keepAnyway = {true}; // OK finds the fault at once; kept, F5 finds it again
    onDialog([this](QDialog* dialog) {
        test::control<QLineEdit>(dialog, u"EditEmulatorCommand")
            ->setText(QStringLiteral("\"%1\"").arg(QString::fromStdString(emulator)));
        dialog->accept();
    });
    menuAction(u"MenuItemEmulatorSettings")->trigger();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains(QStringLiteral("not executable"))) << prompts.questions[0].toStdString();
    menuAction(u"MenuItemTestPlay")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("not executable"))) << prompts.messages[1].toStdString();
}

TEST_F(TestPlayTest, AnEmulatorThatFailsAtOnceIsToldWithItsErrorOutput)
{
    writeEmulator("echo 'loading' ; echo 'bad header in' \"$1\" >&2; exit 3\n");
    opened();
    menuAction(u"MenuItemTestPlay")->trigger();
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Test play: started my emu.sh")));
    ASSERT_TRUE(waitUntil([this] { return !prompts.messages.isEmpty(); }));
    const QString& text = prompts.messages[0];
    EXPECT_TRUE(text.contains(QStringLiteral("exit status 3"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("bad header in /"))) << "its own words, the copy named";
    EXPECT_FALSE(text.contains(QStringLiteral("loading"))) << "standard output is not an error";
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Test play: my emu.sh ended at once")))
        << "no longer \"started\"";
}

TEST_F(TestPlayTest, F5AgainEndsTheRunningEmulatorFirst)
{
    writeEmulator("echo $$ >> '" + dir.file("pids") + "'\nexec sleep 30\n");
    opened();
    const auto pids = [this] {
        return QString::fromStdString(std::filesystem::exists(dir.file("pids")) ? test::readText(dir.file("pids")) : "")
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    menuAction(u"MenuItemTestPlay")->trigger();
    ASSERT_TRUE(waitUntil([&] { return pids().size() == 1; }));
    menuAction(u"MenuItemTestPlay")->trigger();
    ASSERT_TRUE(waitUntil([&] { return pids().size() == 2; }));
    EXPECT_NE(::kill(pids()[0].toInt(), 0), 0) << "the first one is gone";
    EXPECT_EQ(::kill(pids()[1].toInt(), 0), 0) << "the second one plays";
    EXPECT_TRUE(prompts.messages.isEmpty()) << "an emulator the editor ended is no failure";
    ::kill(pids()[1].toInt(), SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return prompts.messages.size() == 1; })) << "killed by someone else: told";
}

// The editor run as a program, ended by SIGTERM: it leaves through Exit's path (status 0)
// and, once started, has removed the copies of an editor gone before whose emulator is gone too.
TEST(TestPlayEnd, SigtermEndsTheEditorCleanlyAndLeftCopiesOfGoneEmulatorsAreRemoved)
{
    test::TempDir dir;
    test::writeFile(dir.file("game.nes"), test::sampleBytes());
    QProcess editor;
    EXPECT_TRUE(test::startEditorProgram(editor, dir, {QString::fromStdString(dir.file("game.nes"))}))
        << "the left copy is removed at the start";
    ::kill(static_cast<pid_t>(editor.processId()), SIGTERM);
    ASSERT_TRUE(editor.waitForFinished(10000));
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0) << editor.readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("run/vexalon2editor")));
}

// The start's cleaning of dead editors' copies touches only a folder test play would use
// (this user's, not a link) and in it only this user's files, never through a link.
TEST(TestPlayEnd, LeftCopiesAreClearedOnlyInAFolderOfThisUserAndNeverThroughALink)
{
    test::TempDir dir;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.file("run")));
    const std::string base = dir.file("run/vexalon2editor"), victim = dir.file("victim");
    std::filesystem::create_directories(victim + "/3999999");
    std::filesystem::create_directories(dir.file("run"));
    test::writeFile(victim + "/3999999/precious.txt", "x");
    std::filesystem::create_directory_symlink(victim, base);
    EmulatorRuns::removeLeftCopies();
    EXPECT_TRUE(std::filesystem::exists(victim + "/3999999/precious.txt")) << "through a linked folder";

    std::filesystem::remove(base);
    std::filesystem::create_directories(base + "/3999998");
    test::writeFile(base + "/3999998/notes.txt", "x");
    std::filesystem::create_symlink(victim + "/3999999/precious.txt", base + "/3999998/game.nes");
    EmulatorRuns::removeLeftCopies();
    EXPECT_TRUE(std::filesystem::exists(victim + "/3999999/precious.txt")) << "through a link in it";
    EXPECT_FALSE(std::filesystem::exists(base + "/3999998/notes.txt")) << "this user's own left file goes";
    if (::geteuid() == 0) {
        test::writeFile(base + "/3999998/theirs.txt", "x");
        ASSERT_EQ(::chown((base + "/3999998/theirs.txt").c_str(), 65534, 65534), 0);
        EmulatorRuns::removeLeftCopies();
        EXPECT_TRUE(std::filesystem::exists(base + "/3999998/theirs.txt")) << "another user's file stays";
        ASSERT_EQ(::chmod(base.c_str(), 0777), 0);
        ASSERT_EQ(::chown(base.c_str(), 65534, 65534), 0);
        test::writeFile(base + "/3999998/notes.txt", "x");
        EmulatorRuns::removeLeftCopies();
        EXPECT_TRUE(std::filesystem::exists(base + "/3999998/notes.txt")) << "in another user's folder";
    }
    qputenv("XDG_RUNTIME_DIR", runtime);
}

TEST(TestPlayWords, TheCommandReadsAsAShellAndADesktopEntryWouldHaveIt)
{
    const QString file = QStringLiteral("/t/a b.nes"), home = QStringLiteral("/home/u");
    const auto words = [&](const char* command) { return emulatorCall(QString::fromUtf8(command), file, home).words; };
    EXPECT_EQ(words("emu --rom=%f -x"),
              (QStringList{QStringLiteral("emu"), QStringLiteral("--rom=/t/a b.nes"), QStringLiteral("-x")}));
    EXPECT_EQ(words("'my emu' -f"), (QStringList{QStringLiteral("my emu"), QStringLiteral("-f"), file}));
    EXPECT_EQ(words("  "), QStringList());
    // The home folder as a shell puts it in, never inside single quotes or mid-word.
    EXPECT_EQ(
        words("~/bin/emu \"$HOME/x\" ${HOME} '$HOME' a~ ~user $HOMEX"),
        (QStringList{QStringLiteral("/home/u/bin/emu"), QStringLiteral("/home/u/x"), home, QStringLiteral("$HOME"),
                     QStringLiteral("a~"), QStringLiteral("~user"), QStringLiteral("$HOMEX"), file}));
    // A desktop entry's codes: %U is the file's URI, %i and %c go and are named, %% is %.
    const EmulatorCall call = emulatorCall(QStringLiteral("emu %i --vol=50%% %c %U"), file, home);
    EXPECT_EQ(call.words,
              (QStringList{QStringLiteral("emu"), QStringLiteral("--vol=50%"), QStringLiteral("file:///t/a%20b.nes")}));
    EXPECT_EQ(call.droppedCodes, (QStringList{QStringLiteral("%i"), QStringLiteral("%c")}));
    EXPECT_EQ(emulatorCall(QStringLiteral("emu \"%f"), file, home).fault, CommandLineFault::OpenQuote);
    EXPECT_EQ(emulatorCall(QStringLiteral("emu %f \\"), file, home).fault, CommandLineFault::TrailingBackslash);
    EXPECT_NE(commandLineFaultText(CommandLineFault::TrailingBackslash),
              commandLineFaultText(CommandLineFault::OpenQuote));
}
