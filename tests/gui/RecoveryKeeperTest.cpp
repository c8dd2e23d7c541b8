#include "gui/app/RecoveryKeeper.h"
#include "core/text/Recovery.h"
#include "tests/gui/support/EditorFixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <filesystem>

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
