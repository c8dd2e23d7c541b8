// Test play: the image as it stands goes to the user's emulator, which here is a shell script
// that copies the file it is given and writes down its arguments.
#include "core/MyIniFiles.h"
#include "gui/app/EmulatorSettingsDialog.h"
#include "gui/app/TestPlay.h"
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
        test::WriteFile(emulator, "#!/bin/sh\n"
                                  "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" + dir.File("played.args") + "'\n"
                                  "for word in \"$@\"; do last=$word; done\n"
                                  "cp \"$last\" '" + dir.File("played.tmp") + "' && mv '" + dir.File("played.tmp") +
                                      "' '" + played + "'\n");
        std::filesystem::permissions(emulator, std::filesystem::perms::owner_all);
    }
    void SetCommand(const std::string& command)
    {
        test::WriteFile(dir.File("preferences.ini"), "[TestPlay]\nCommand=" + command + "\n");
    }
    void Activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // The emulator runs on its own; its copy appears when it is done.
    bool WaitForPlay() const
    {
        QElapsedTimer clock;
        clock.start();
        while (!std::filesystem::exists(played) && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QTest::qSleep(20);
        }
        return std::filesystem::exists(played);
    }
    QStringList PlayedArguments() const
    {
        return QString::fromStdString(test::ReadText(dir.File("played.args"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Runs `drive` on the settings dialog once it is open.
    void OnDialog(std::function<void(QDialog*)> drive)
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

    const std::string emulator = dir.File("my emu.sh");
    const std::string played = dir.File("played.nes");
};

} // namespace

TEST_F(TestPlayTest, F5PlaysTheImageAsItStandsAndLeavesTheOpenImageAlone)
{
    SetCommand("\"" + emulator + "\" --flag \"two words\" %f");
    TMainForm& window = Opened();
    ASSERT_TRUE(Stage().SetMapChip(7, 0x31));
    const int undoCount = UndoCount();
    const std::vector<std::uint8_t> expected = window.Rom().EditedImage();
    ASSERT_NE(expected, test::SampleBytes());
    Activate();
    QTest::keyClick(Pages(), Qt::Key_F5);
    ASSERT_TRUE(WaitForPlay());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(test::ReadBytes(played), expected) << "unsaved edits included";
    const QStringList arguments = PlayedArguments();
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments[0], QStringLiteral("--flag"));
    EXPECT_EQ(arguments[1], QStringLiteral("two words"));
    const std::filesystem::path copy = arguments[2].toStdString();
    EXPECT_EQ(copy.filename(), "game.nes") << "named after the image";
    EXPECT_NE(copy.parent_path(), std::filesystem::path(dir.Path()));

    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes()) << "nothing saved";
    EXPECT_TRUE(window.Rom().IsModified());
    EXPECT_EQ(UndoCount(), undoCount);
    UndoAction()->trigger();
    EXPECT_EQ(UndoCount(), undoCount - 1);

    form.reset();
    EXPECT_FALSE(std::filesystem::exists(copy.parent_path())) << "the temporary folder goes with the editor";
}

TEST_F(TestPlayTest, WithoutACommandTheSettingsComeFirstAndKeepIt)
{
    Form();
    EXPECT_FALSE(Command(u"MenuItemTestPlay")->isEnabled()) << "no image";
    Opened();
    // Cancel: nothing runs, nothing is kept.
    OnDialog([](QDialog* dialog) { dialog->reject(); });
    Command(u"MenuItemTestPlay")->trigger();
    EXPECT_FALSE(TMemIniFile(dir.File("preferences.ini")).ValueExists("TestPlay", "Command")) << "a cancel keeps nothing";
    EXPECT_FALSE(std::filesystem::exists(played)) << "and starts nothing";

    prompts.openFiles = {QString::fromStdString(emulator)};
    QString shown;
    OnDialog([&shown](QDialog* dialog) {
        test::Control<QPushButton>(dialog, u"BtnEmulatorBrowse")->click();
        shown = test::Control<QLineEdit>(dialog, u"EditEmulatorCommand")->text();
        dialog->accept();
    });
    Command(u"MenuItemTestPlay")->trigger();
    EXPECT_EQ(shown, QStringLiteral("'%1' %f").arg(QString::fromStdString(emulator))) << "quoted for its blank";
    ASSERT_TRUE(WaitForPlay());
    EXPECT_EQ(PlayedArguments().size(), 1) << "only the file";
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Kept beside the recent list, neither dropping the other's keys.
    const TMemIniFile preferences(dir.File("preferences.ini"));
    EXPECT_EQ(preferences.ReadString("TestPlay", "Command", ""), shown.toStdString());
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File1", ""), image.toStdString());
}

TEST_F(TestPlayTest, ACommandThatCannotStartIsExplained)
{
    const std::string missing = dir.File("gone.sh");
    SetCommand(missing + " %f");
    Opened();
    Command(u"MenuItemTestPlay")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("not found"))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[0].contains(QString::fromStdString(missing + " %f"))) << "names the command";

    std::filesystem::permissions(emulator, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    OnDialog([this](QDialog* dialog) {
        test::Control<QLineEdit>(dialog, u"EditEmulatorCommand")->setText(QStringLiteral("\"%1\"").arg(QString::fromStdString(emulator)));
        dialog->accept();
    });
    Command(u"MenuItemEmulatorSettings")->trigger();
    Command(u"MenuItemTestPlay")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("not executable"))) << prompts.messages[1].toStdString();
}

TEST(TestPlayWords, FileStandsForPercentFAndAnOpenQuoteIsNoCommand)
{
    EXPECT_EQ(EmulatorArguments(QStringLiteral("emu --rom=%f -x"), QStringLiteral("/t/a b.nes")),
              (QStringList{QStringLiteral("emu"), QStringLiteral("--rom=/t/a b.nes"), QStringLiteral("-x")}));
    EXPECT_EQ(EmulatorArguments(QStringLiteral("'my emu' -f"), QStringLiteral("/t/a.nes")),
              (QStringList{QStringLiteral("my emu"), QStringLiteral("-f"), QStringLiteral("/t/a.nes")}));
    EXPECT_EQ(EmulatorArguments(QStringLiteral("  "), QStringLiteral("/t/a.nes")), QStringList());
    EXPECT_EQ(EmulatorArguments(QStringLiteral("emu \"%f"), QStringLiteral("/t/a.nes")), std::nullopt);
}
