#include "gui/commands/RecoveryKeeper.h"
#include "core/text/Recovery.h"
#include "gui/app/EndSignals.h"
#include "tests/gui/support/EditorFixture.h"
#include "tests/gui/support/EditorProgram.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

class RecoveryKeeperTest : public test::EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        recoveryFolder = QString::fromStdString(dir.file("state/recovery"));
    }
    std::string recoveryFile() const
    {
        return recoveryFileOf(recoveryFolder.toStdString(), fs::absolute(image.toStdString()).string());
    }
    void editAndKeep()
    {
        ASSERT_TRUE(form->rom().stage(0).setMapChip(3, 0x77));
        form->recovery().flush();
        ASSERT_TRUE(fs::exists(recoveryFile()));
    }
};

} // namespace

TEST_F(RecoveryKeeperTest, EditsOutliveAWindowThatNeverClosedAndComeBackAtTheNextStart)
{
    opened();
    editAndKeep();
    EXPECT_EQ(fs::status(recoveryFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    form.reset(); // gone without the close question, as a crash leaves it
    prompts.recoverAnswers = {true};
    mainForm();
    QCoreApplication::processEvents(); // the start looks for kept edits
    ASSERT_TRUE(form->rom().isLoaded());
    ASSERT_FALSE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.questions.back().startsWith(QStringLiteral("game.nes has unsaved edits from ")))
        << prompts.questions.back().toStdString();
    EXPECT_EQ(currentStage().map()[3], 0x77);
    EXPECT_TRUE(form->isWindowModified());
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_TRUE(form->commandSave());
    EXPECT_FALSE(fs::exists(recoveryFile())) << "a save ends the kept edits";
    EXPECT_EQ(test::readBytes(image.toStdString())[0x510 + 3], 0x77);
}

TEST_F(RecoveryKeeperTest, DiscardingOrNotSavingDropsTheEditsAndADamagedFileIsKeptAside)
{
    opened();
    editAndKeep();
    form.reset();
    prompts.recoverAnswers = {false};
    opened();
    EXPECT_FALSE(fs::exists(recoveryFile()));
    EXPECT_FALSE(form->rom().isModified());

    editAndKeep();
    prompts.answers = {Answer::No};
    form->commandClose();
    EXPECT_FALSE(fs::exists(recoveryFile())) << "closed without saving";

    test::writeFile(recoveryFile(), std::string("VX2RECOVERY\ncut short"));
    EXPECT_TRUE(form->openImage(image));
    EXPECT_TRUE(fs::exists(recoveryFile() + ".bad"));
    EXPECT_FALSE(fs::exists(recoveryFile()));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.back().contains(QStringLiteral("kept aside")))
        << prompts.messages.back().toStdString();
    EXPECT_FALSE(form->rom().isModified()) << "the image opens as it is on disk";
}

// Undone back to what the file holds: the title, the status panel, the close question and the
// recovery file all agree that nothing is unsaved.
TEST_F(RecoveryKeeperTest, UndoingBackToTheFileLeavesNoMarkQuestionOrRecordOfUnsavedEdits)
{
    opened();
    editAndKeep();
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    form->commandUndo();
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_TRUE(statusPanel(0)->text().isEmpty());
    form->recovery().flush();
    EXPECT_FALSE(fs::exists(recoveryFile()));
    form->commandClose(); // a question here fails the test
    EXPECT_FALSE(form->rom().isLoaded());
}

// A record is written anew, mode 600, never through a link; a folder that is not this user's
// own keeps nothing, and the status bar says why.
TEST_F(RecoveryKeeperTest, RecordsAreNeverWrittenThroughALinkAndAFolderNotOursKeepsNothing)
{
    opened();
    test::writeFile(dir.file("victim"), "precious");
    fs::create_symlink(dir.file("victim"), recoveryFile());
    editAndKeep();
    EXPECT_EQ(test::readText(dir.file("victim")), "precious");
    EXPECT_FALSE(fs::is_symlink(recoveryFile()));
    EXPECT_EQ(fs::status(recoveryFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    if (::geteuid() != 0)
        return; // another user's folder needs root to make
    form.reset();
    recoveryFolder = QString::fromStdString(dir.file("theirs"));
    fs::create_directory(dir.file("theirs"));
    fs::permissions(dir.file("theirs"), fs::perms::all);
    ASSERT_EQ(::chown(dir.file("theirs").c_str(), 65534, 65534), 0);
    opened();
    QCoreApplication::processEvents();
    EXPECT_TRUE(statusPanel(2)->text().contains(QStringLiteral("another user")))
        << statusPanel(2)->text().toStdString();
    ASSERT_TRUE(form->rom().stage(0).setMapChip(3, 0x77));
    form->recovery().flush();
    EXPECT_TRUE(fs::is_empty(dir.file("theirs")));
}

// A signal while a question is open: the end comes from within the question's own event
// loop, with the edits written to the recovery file at once and nothing asked or saved.
TEST_F(RecoveryKeeperTest, ASignalWhileAQuestionIsOpenKeepsTheEditsWithoutAskingAndTheNextStartOffersThem)
{
    opened();
    ASSERT_TRUE(form->rom().stage(0).setMapChip(3, 0x77)); // within the second before it is kept
    QMessageBox question(QMessageBox::Question, QStringLiteral("?"), QStringLiteral("Save?"),
                         QMessageBox::Yes | QMessageBox::No);
    bool ended = false;
    endOnSignals(
        form.get(), [this] { form->keepWorkForNextStart(); },
        [&] {
            ended = true;
            question.done(QMessageBox::No);
        });
    QTimer::singleShot(50, [] { ::kill(::getpid(), SIGTERM); });
    question.exec();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(fs::exists(recoveryFile()));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes());
    form.reset();
    prompts.recoverAnswers = {true};
    mainForm();
    QCoreApplication::processEvents();
    EXPECT_EQ(currentStage().map()[3], 0x77);
}

// The program itself, with the recovery question of its start open: each ending signal, and a
// second one right after the first, ends it at once with status 0, the offer kept for the next.
TEST_F(RecoveryKeeperTest, EachEndingSignalEndsTheProgramAtOnceWithTheRecoveryQuestionOpen)
{
    recoveryFolder = QString::fromStdString(dir.file("state/vexalon2editor/recovery"));
    opened();
    editAndKeep();
    form.reset(); // gone as a crash leaves it
    const std::vector<std::uint8_t> kept = test::readBytes(recoveryFile());
    const QString path = QString::fromStdString(fs::absolute(image.toStdString()).string());
    for (const auto& [first, second] : {std::pair{SIGTERM, 0}, {SIGINT, 0}, {SIGHUP, SIGTERM}}) {
        SCOPED_TRACE(first);
        QProcess editor;
        ASSERT_TRUE(test::startEditorProgram(editor, dir, {path}));
        QTest::qSleep(500); // the image opens right after the window shows, and the question with it
        QElapsedTimer clock;
        clock.start();
        ::kill(static_cast<pid_t>(editor.processId()), first);
        if (second)
            ::kill(static_cast<pid_t>(editor.processId()), second);
        ASSERT_TRUE(editor.waitForFinished(10000));
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(editor.exitCode(), 0) << editor.readAllStandardError().toStdString();
        EXPECT_EQ(test::readBytes(recoveryFile()), kept);
        EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes());
    }
}
