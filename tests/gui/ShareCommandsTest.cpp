// Sharing a hack from the editor: a patch of the image as it stands, and the stage picture.
#include "core/Patch.h"
#include "core/RomImgManager.h"
#include "core/StageText.h"
#include "core/VxObject.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QMenu>
#include <filesystem>

using namespace vx;

namespace {

class ShareCommandsTest : public test::EditorFixture {
protected:
    // The editor's patch, applied back to the original file.
    std::vector<std::uint8_t> Applied(const std::string& patchFile) const
    {
        std::vector<std::uint8_t> out;
        std::string reason;
        EXPECT_TRUE(ApplyPatch(test::ReadBytes(patchFile), test::ReadBytes(image.toStdString()), MaxImageSize, out, reason))
            << reason;
        return out;
    }
    // The two commands, found by their English captions.
    QAction* PatchCommand() const { return Command(u"MenuItemCreatePatch"); }
    QAction* PictureCommand() const { return Command(u"MenuItemExportStagePicture"); }
};

} // namespace

TEST_F(ShareCommandsTest, APatchDescribesUnsavedEditsWithoutSavingThem)
{
    TMainForm& window = Opened();
    ASSERT_TRUE(Stage().SetMapChip(7, 0x31));
    Stage().EnemyObjects().AddObject(4, 50, 60, 0x12);
    Stage().MarkEdited(efObject);
    const std::vector<std::uint8_t> expected = window.Rom().EditedImage();
    for (const char* name : {"hack.bps", "hack.ips"}) {
        const std::string patch = dir.File(name);
        prompts.openFiles = {image};
        prompts.saveFiles = {QString::fromStdString(patch)};
        PatchCommand()->trigger();
        ASSERT_TRUE(std::filesystem::exists(patch)) << name;
        EXPECT_EQ(Applied(patch), expected) << name;
        EXPECT_EQ(StatusPanel(2)->text(), QStringLiteral("Wrote %1 (%2 bytes)")
                                              .arg(QString::fromLatin1(name))
                                              .arg(std::filesystem::file_size(patch)))
            << "small enough to need no digit groups";
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(window.Rom().IsModified()) << "no edited flag changes";
    EXPECT_EQ(StatusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes()) << "nothing saved";
}

TEST_F(ShareCommandsTest, AnotherLengthOrTheSameBytesIsExplainedAndWritesNothing)
{
    Opened();
    const std::string shorter = dir.File("short.nes");
    test::WriteFile(shorter, std::vector<std::uint8_t>(test::SampleBytes().begin(), test::SampleBytes().end() - 16));
    prompts.openFiles = {QString::fromStdString(shorter)};
    PatchCommand()->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("differ in length"))) << prompts.messages[0].toStdString();

    prompts.openFiles = {image};
    PatchCommand()->trigger(); // nothing edited yet
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("same as the original")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator{}), 6)
        << "nothing but the three data files, the two images and the preferences (the recent list)";
}

TEST_F(ShareCommandsTest, NeitherCommandWritesOverWhatItIsMadeFromOrUnderAFalseName)
{
    Opened();
    ASSERT_TRUE(Stage().SetMapChip(7, 0x31));
    const std::string original = dir.File("original.bps"); // an image under a patch's name
    test::WriteFile(original, test::SampleBytes());
    std::filesystem::create_symlink("game.nes", dir.File("game.png"));
    prompts.openFiles = {QString::fromStdString(original)};
    prompts.saveFiles = {QString::fromStdString(original), image, QString::fromStdString(dir.File("game.png"))};
    PatchCommand()->trigger();
    PictureCommand()->trigger();
    PictureCommand()->trigger();
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("original.bps is what this is made from")))
        << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("ends in .png")));
    EXPECT_TRUE(prompts.messages[2].contains(QStringLiteral("game.nes is what this is made from")));
    EXPECT_EQ(test::ReadBytes(original), test::SampleBytes());
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes());
}

TEST_F(ShareCommandsTest, TheStagePictureHoldsAllRoomsAsAPng)
{
    Opened();
    const std::string picture = dir.File("stage.png");
    prompts.saveFiles = {QString::fromStdString(picture)};
    PictureCommand()->trigger();
    QImage written(QString::fromStdString(picture));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(11 * 256, 4 * 256));
    EXPECT_TRUE(StatusPanel(2)->text().startsWith(QStringLiteral("Wrote stage.png (")));
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(AnimationTimer()->isActive());
}

TEST_F(ShareCommandsTest, MenuCaptionsFollowTheLanguageAndWaitForAnImage)
{
    Form();
    QAction* patch = PatchCommand();
    QAction* picture = PictureCommand();
    EXPECT_FALSE(patch->isEnabled());
    EXPECT_FALSE(picture->isEnabled());
    ForceLanguage(Language::Japanese);
    auto* file = qobject_cast<QMenu*>(patch->associatedObjects().value(0));
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(patch->text(), QString::fromUtf8("パッチの作成(&P)..."));
    EXPECT_EQ(picture->text(), QString::fromUtf8("ステージ画像の書き出し(&E)..."));
    ForceLanguage(Language::English);
    emit file->aboutToShow();
    EXPECT_EQ(patch->text(), QStringLiteral("Create &Patch..."));
    EXPECT_EQ(picture->text(), QStringLiteral("&Export Stage Picture..."));
    Opened();
    EXPECT_TRUE(patch->isEnabled());
}

TEST_F(ShareCommandsTest, TheStageTextHoldsUnsavedEditsAndNeedsAJsonName)
{
    Opened();
    ASSERT_TRUE(Stage().SetMapChip(9, 0x2A));
    QAction* command = Command(u"MenuItemExportStageText");
    prompts.saveFiles = {QString::fromStdString(dir.File("stage.txt"))};
    command->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("ends in .json")));

    const std::string file = dir.File("stage-00.json");
    prompts.saveFiles = {QString::fromStdString(file)};
    command->trigger();
    const auto bytes = test::ReadBytes(file);
    const TStageTextResult read = ReadStageText(std::string(bytes.begin(), bytes.end()), file);
    ASSERT_TRUE(read) << read.refusal.Message();
    EXPECT_EQ(read.text->map[9], 0x2A);
    EXPECT_EQ(read.text->stage, 0);
    EXPECT_TRUE(StatusPanel(2)->text().startsWith(QStringLiteral("Wrote stage-00.json (")));
    EXPECT_EQ(test::ReadBytes(image.toStdString()), test::SampleBytes()) << "nothing saved";
}
