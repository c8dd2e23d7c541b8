#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QLabel>
#include <filesystem>

using namespace vx;

namespace {

class DiskChangeTest : public test::EditorFixture {
protected:
    // Another program flips a byte of stage 01's map (or any offset) in the file.
    std::vector<std::uint8_t> ChangeFile(std::vector<std::uint8_t> bytes, std::size_t offset = 0x4510 + 5)
    {
        bytes[offset] ^= 0xFF;
        test::WriteFile(image.toStdString(), bytes);
        return bytes;
    }
    void Paint(int cell, std::uint8_t chip) { ASSERT_TRUE(form->Rom().Stage(0).SetMapChip(cell, chip)); }
    std::vector<std::uint8_t> OnDisk() const { return test::ReadBytes(image.toStdString()); }
    void Activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void ComeBack()
    {
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(form.get(), &activation);
    }
};

} // namespace

TEST_F(DiskChangeTest, SavingOverAnotherProgramsChangeAsksToMergeOverwriteOrCancel)
{
    TMainForm& window = Opened();
    Paint(3, 0x77);
    auto other = ChangeFile(test::SampleBytes());
    prompts.diskAnswers = {TDiskAnswer::Cancel, TDiskAnswer::Merge};
    EXPECT_FALSE(window.CommandSave());
    EXPECT_EQ(OnDisk(), other) << "cancel writes nothing";
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].startsWith(QStringLiteral("game.nes was changed on disk after it was opened.")));
    EXPECT_TRUE(window.CommandSave());
    other[0x510 + 3] = 0x77;
    EXPECT_EQ(OnDisk(), other) << "merge keeps both changes";
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(window.Rom().Stage(1).Map()[5], other[0x4510 + 5]) << "the pages work on the merged image";

    // Overwrite writes the editor's image whole, undoing the other program's change.
    Paint(4, 0x66);
    const auto again = ChangeFile(other);
    prompts.diskAnswers = {TDiskAnswer::Overwrite};
    EXPECT_TRUE(window.CommandSave());
    other[0x510 + 4] = 0x66;
    EXPECT_EQ(OnDisk(), other);
    EXPECT_NE(OnDisk(), again);

    // A file of another length can only be overwritten, and the question says why.
    Paint(5, 0x55);
    auto longer = other;
    longer.resize(0x80010);
    test::WriteFile(image.toStdString(), longer);
    prompts.diskAnswers = {TDiskAnswer::Cancel};
    EXPECT_FALSE(window.CommandSave());
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral("cannot be merged"))) << prompts.questions.back().toStdString();
    EXPECT_EQ(OnDisk(), longer);
}

TEST_F(DiskChangeTest, ComingBackToTheWindowReadsAChangedFileAgainUnlessThereAreEdits)
{
    TMainForm& window = Opened();
    Activate();
    const auto other = ChangeFile(test::SampleBytes());
    ComeBack();
    EXPECT_EQ(window.Rom().Stage(1).Map()[5], other[0x4510 + 5]);
    EXPECT_TRUE(StatusPanel(2)->text().contains(QStringLiteral("has been read again"))) << StatusPanel(2)->text().toStdString();
    EXPECT_FALSE(window.isWindowModified());

    Paint(3, 0x77);
    ChangeFile(other);
    ComeBack();
    EXPECT_EQ(window.Rom().Stage(1).Map()[5], other[0x4510 + 5]) << "unsaved edits: nothing read";
    EXPECT_TRUE(StatusPanel(2)->text().contains(QStringLiteral("saving will ask"))) << StatusPanel(2)->text().toStdString();
    EXPECT_EQ(window.Rom().Stage(0).Map()[3], 0x77);
}

TEST_F(DiskChangeTest, TheTitleComparesWithTheFileAfterAFailedSave)
{
    TMainForm& window = Opened();
    Paint(3, 0x77);
    std::filesystem::permissions(image.toStdString(), std::filesystem::perms(0444));
    prompts.yesNo = {false};
    EXPECT_FALSE(window.CommandSave());
    window.CommandUndo();
    EXPECT_FALSE(window.isWindowModified()) << "the image equals the file again";
    window.CommandRedo();
    EXPECT_TRUE(window.isWindowModified());
}
