// Test play: the image as it stands goes to the user's emulator, which here is a shell script
// that copies the file it is given and writes down its arguments.
#include "gui/app/TestPlay.h"
#include "core/files/IniFile.h"
#include "gui/app/EmulatorSettingsDialog.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

using namespace vx;

namespace {

class TestPlayTest : public test::EditorFixture {
protected:
    TestPlayTest()
    {
        test::writeFile(emulator, "#!/bin/sh\n"
                                  "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" +
                            dir.file("played.args") + "'\n"
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
        return QString::fromStdString(test::readText(dir.file("played.args"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
        EXPECT_EQ(dialog->focusWidget(), test::control<QLineEdit>(dialog, u"EditEmulatorCommand")) << "the field it filled";
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
    onDialog([this](QDialog* dialog) {
        test::control<QLineEdit>(dialog, u"EditEmulatorCommand")->setText(QStringLiteral("\"%1\"").arg(QString::fromStdString(emulator)));
        dialog->accept();
    });
    menuAction(u"MenuItemEmulatorSettings")->trigger();
    menuAction(u"MenuItemTestPlay")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("not executable"))) << prompts.messages[1].toStdString();
}

TEST(TestPlayWords, FileStandsForPercentFAndAnOpenQuoteIsNoCommand)
{
    EXPECT_EQ(emulatorArguments(QStringLiteral("emu --rom=%f -x"), QStringLiteral("/t/a b.nes")),
              (QStringList{QStringLiteral("emu"), QStringLiteral("--rom=/t/a b.nes"), QStringLiteral("-x")}));
    EXPECT_EQ(emulatorArguments(QStringLiteral("'my emu' -f"), QStringLiteral("/t/a.nes")),
              (QStringList{QStringLiteral("my emu"), QStringLiteral("-f"), QStringLiteral("/t/a.nes")}));
    EXPECT_EQ(emulatorArguments(QStringLiteral("  "), QStringLiteral("/t/a.nes")), QStringList());
    EXPECT_EQ(emulatorArguments(QStringLiteral("emu \"%f"), QStringLiteral("/t/a.nes")), std::nullopt);
}
