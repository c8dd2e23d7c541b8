#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QLabel>
#include <filesystem>

using namespace vx;

namespace {

class DiskChangeTest : public test::EditorFixture {
protected:
    // Another program flips a byte of stage 01's map (or any offset) in the file.
    std::vector<std::uint8_t> changeFile(std::vector<std::uint8_t> bytes, std::size_t offset = 0x4510 + 5)
    {
        bytes[offset] ^= 0xFF;
        test::writeFile(image.toStdString(), bytes);
        return bytes;
    }
    void paint(int cell, std::uint8_t chip) { ASSERT_TRUE(form->rom().stage(0).setMapChip(cell, chip)); }
    std::vector<std::uint8_t> onDisk() const { return test::readBytes(image.toStdString()); }
    void activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void comeBack()
    {
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(form.get(), &activation);
    }
};

} // namespace

TEST_F(DiskChangeTest, SavingOverAnotherProgramsChangeAsksToMergeOverwriteOrCancel)
{
    MainForm& window = opened();
    paint(3, 0x77);
    auto other = changeFile(test::sampleBytes());
    prompts.diskAnswers = {DiskAnswer::Cancel, DiskAnswer::Merge};
    EXPECT_FALSE(window.commandSave());
    EXPECT_EQ(onDisk(), other) << "cancel writes nothing";
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].startsWith(QStringLiteral("game.nes was changed on disk after it was opened.")));
    EXPECT_TRUE(window.commandSave());
    other[0x510 + 3] = 0x77;
    EXPECT_EQ(onDisk(), other) << "merge keeps both changes";
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(window.rom().stage(1).map()[5], other[0x4510 + 5]) << "the pages work on the merged image";

    // Overwrite writes the editor's image whole, undoing the other program's change.
    paint(4, 0x66);
    const auto again = changeFile(other);
    prompts.diskAnswers = {DiskAnswer::Overwrite};
    EXPECT_TRUE(window.commandSave());
    other[0x510 + 4] = 0x66;
    EXPECT_EQ(onDisk(), other);
    EXPECT_NE(onDisk(), again);

    // A file of another length can only be overwritten, and the question says why.
    paint(5, 0x55);
    auto longer = other;
    longer.resize(0x80010);
    test::writeFile(image.toStdString(), longer);
    prompts.diskAnswers = {DiskAnswer::Cancel};
    EXPECT_FALSE(window.commandSave());
    EXPECT_TRUE(prompts.questions.back().contains(QStringLiteral("cannot be merged")))
        << prompts.questions.back().toStdString();
    EXPECT_EQ(onDisk(), longer);
}

TEST_F(DiskChangeTest, ComingBackToTheWindowReadsAChangedFileAgainUnlessThereAreEdits)
{
    MainForm& window = opened();
    activate();
    const auto other = changeFile(test::sampleBytes());
    comeBack();
    EXPECT_EQ(window.rom().stage(1).map()[5], other[0x4510 + 5]);
    EXPECT_TRUE(statusPanel(2)->text().contains(QStringLiteral("has been read again")))
        << statusPanel(2)->text().toStdString();
    EXPECT_FALSE(window.isWindowModified());

    paint(3, 0x77);
    changeFile(other);
    comeBack();
    EXPECT_EQ(window.rom().stage(1).map()[5], other[0x4510 + 5]) << "unsaved edits: nothing read";
    EXPECT_TRUE(statusPanel(2)->text().contains(QStringLiteral("saving will ask")))
        << statusPanel(2)->text().toStdString();
    EXPECT_EQ(window.rom().stage(0).map()[3], 0x77);
}

TEST_F(DiskChangeTest, TheTitleComparesWithTheFileAfterAFailedSave)
{
    MainForm& window = opened();
    paint(3, 0x77);
    std::filesystem::permissions(image.toStdString(), std::filesystem::perms(0444));
    prompts.yesNo = {false};
    EXPECT_FALSE(window.commandSave());
    window.commandUndo();
    EXPECT_FALSE(window.isWindowModified()) << "the image equals the file again";
    window.commandRedo();
    EXPECT_TRUE(window.isWindowModified());
}
