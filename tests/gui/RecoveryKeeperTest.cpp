#include "core/Recovery.h"
#include "gui/app/RecoveryKeeper.h"
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
        recoveryFolder = QString::fromStdString(dir.File("state/recovery"));
    }
    std::string RecoveryFile() const
    {
        return RecoveryFileOf(recoveryFolder.toStdString(), fs::absolute(image.toStdString()).string());
    }
    void EditAndKeep()
    {
        ASSERT_TRUE(form->Rom().Stage(0).SetMapChip(3, 0x77));
        form->Recovery().Flush();
        ASSERT_TRUE(fs::exists(RecoveryFile()));
    }
};

} // namespace

TEST_F(RecoveryKeeperTest, EditsOutliveAWindowThatNeverClosedAndComeBackAtTheNextStart)
{
    Opened();
    EditAndKeep();
    EXPECT_EQ(fs::status(RecoveryFile()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    form.reset(); // gone without the close question, as a crash leaves it
    prompts.recoverAnswers = {true};
    Form();
    QCoreApplication::processEvents(); // the start looks for kept edits
    ASSERT_TRUE(form->Rom().IsLoaded());
    ASSERT_FALSE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.questions.back().startsWith(QStringLiteral("game.nes has unsaved edits from "))) << prompts.questions.back().toStdString();
    EXPECT_EQ(Stage().Map()[3], 0x77);
    EXPECT_TRUE(form->isWindowModified());
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_TRUE(form->CommandSave());
    EXPECT_FALSE(fs::exists(RecoveryFile())) << "a save ends the kept edits";
    EXPECT_EQ(test::ReadBytes(image.toStdString())[0x510 + 3], 0x77);
}

TEST_F(RecoveryKeeperTest, DiscardingOrNotSavingDropsTheEditsAndADamagedFileIsKeptAside)
{
    Opened();
    EditAndKeep();
    form.reset();
    prompts.recoverAnswers = {false};
    Opened();
    EXPECT_FALSE(fs::exists(RecoveryFile()));
    EXPECT_FALSE(form->Rom().IsModified());

    EditAndKeep();
    prompts.answers = {TAnswer::No};
    form->CommandClose();
    EXPECT_FALSE(fs::exists(RecoveryFile())) << "closed without saving";

    test::WriteFile(RecoveryFile(), std::string("VX2RECOVERY\ncut short"));
    EXPECT_TRUE(form->OpenImage(image));
    EXPECT_TRUE(fs::exists(RecoveryFile() + ".bad"));
    EXPECT_FALSE(fs::exists(RecoveryFile()));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.back().contains(QStringLiteral("kept aside"))) << prompts.messages.back().toStdString();
    EXPECT_FALSE(form->Rom().IsModified()) << "the image opens as it is on disk";
}
