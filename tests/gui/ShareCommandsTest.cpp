// Sharing a hack from the editor: a patch of the image as it stands, and the stage picture.
#include "core/files/Patch.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "core/text/StageText.h"
#include "gui/widgets/StatusPanel.h"
#include "tests/gui/support/EditorFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <filesystem>
#include <regex>

using namespace vx;

namespace {

class ShareCommandsTest : public test::EditorFixture {
protected:
    // The editor's patch, applied back to the original file.
    std::vector<std::uint8_t> applied(const std::string& patchFile) const
    {
        const Result<std::vector<std::uint8_t>> out =
            applyPatch(test::readBytes(patchFile), test::readBytes(image.toStdString()), MaxImageSize);
        EXPECT_TRUE(out.ok()) << out.error().message;
        return out.ok() ? out.value() : std::vector<std::uint8_t>{};
    }
    // The two commands, found by their English captions.
    QAction* patchCommand() const { return menuAction(u"MenuItemCreatePatch"); }
    QAction* pictureCommand() const { return menuAction(u"MenuItemExportStagePicture"); }
};

} // namespace

TEST_F(ShareCommandsTest, APatchDescribesUnsavedEditsWithoutSavingThem)
{
    MainForm& window = opened();
    ASSERT_TRUE(currentStage().setMapChip(7, 0x31));
    ASSERT_TRUE(currentStage().addObject(currentStage().enemyObjects(), {4, 50, 60, 0x12}, false));
    const std::vector<std::uint8_t> expected = window.rom().editedImage();
    for (const char* name : {"hack.bps", "hack.ips"}) {
        const std::string patch = dir.file(name);
        prompts.openFiles = {image};
        prompts.saveFiles = {QString::fromStdString(patch)};
        patchCommand()->trigger();
        ASSERT_TRUE(std::filesystem::exists(patch)) << name;
        EXPECT_EQ(applied(patch), expected) << name;
        EXPECT_EQ(
            statusPanel(2)->text(),
            QStringLiteral("Wrote %1 (%2 bytes)").arg(QString::fromLatin1(name)).arg(std::filesystem::file_size(patch)))
            << "small enough to need no digit groups";
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(window.rom().isModified()) << "no edited flag changes";
    EXPECT_EQ(statusPanel(0)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes()) << "nothing saved";
}

TEST_F(ShareCommandsTest, AnotherLengthOrTheSameBytesIsExplainedAndWritesNothing)
{
    opened();
    const std::string shorter = dir.file("short.nes");
    test::writeFile(shorter, std::vector<std::uint8_t>(test::sampleBytes().begin(), test::sampleBytes().end() - 16));
    prompts.openFiles = {QString::fromStdString(shorter)};
    patchCommand()->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("differ in length"))) << prompts.messages[0].toStdString();

    prompts.openFiles = {image};
    patchCommand()->trigger(); // nothing edited yet
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("same as the original")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator{}), 6)
        << "nothing but the three data files, the two images and the preferences (the recent list)";
}

TEST_F(ShareCommandsTest, NeitherCommandWritesOverWhatItIsMadeFromOrUnderAFalseName)
{
    opened();
    ASSERT_TRUE(currentStage().setMapChip(7, 0x31));
    const std::string original = dir.file("original.bps"); // an image under a patch's name
    test::writeFile(original, test::sampleBytes());
    std::filesystem::create_symlink("game.nes", dir.file("game.png"));
    prompts.openFiles = {QString::fromStdString(original)};
    prompts.saveFiles = {QString::fromStdString(original), image, QString::fromStdString(dir.file("game.png"))};
    statusPanel(2)->setText(QStringLiteral("Wrote an earlier file, whose name is long enough to be cut in the panel"));
    EXPECT_TRUE(static_cast<StatusPanel*>(statusPanel(2))->shownText().endsWith(QChar(0x2026)));
    patchCommand()->trigger();
    EXPECT_TRUE(statusPanel(2)->text().isEmpty()) << "a refusal is no time for older news";
    pictureCommand()->trigger();
    pictureCommand()->trigger();
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("original.bps is what this is made from")))
        << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[1].contains(QStringLiteral("ends in .png")));
    EXPECT_TRUE(prompts.messages[2].contains(QStringLiteral("game.nes is what this is made from")));
    EXPECT_EQ(test::readBytes(original), test::sampleBytes());
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes());
}

TEST_F(ShareCommandsTest, TheStagePictureHoldsAllRoomsAsAPng)
{
    opened();
    const std::string picture = dir.file("stage.png");
    prompts.saveFiles = {QString::fromStdString(picture)};
    pictureCommand()->trigger();
    QImage written(QString::fromStdString(picture));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(11 * 256, 4 * 256));
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Wrote stage.png (")));
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(animationTimer()->isActive());
}

TEST_F(ShareCommandsTest, TheStagePictureIsTheFileTheToolWritesInEitherLanguage)
{
    opened();
    stageSelector()->setCurrentIndex(3);
    const QString folder = QString::fromStdString(dir.path()), editors = folder + QStringLiteral("/editor.png");
    for (const auto& [language, locale] : {std::pair{Language::English, "C"}, {Language::Japanese, "ja_JP.UTF-8"}}) {
        forceLanguage(language);
        prompts.saveFiles = {editors};
        pictureCommand()->trigger();
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(VX_TOOL_PROGRAM),
                   QStringLiteral("render %1 --stage 3 --sheet-of-rooms --objects --scroll --midpoints --path --force "
                                  "--palette %2/fcpalette.pal --out %2/tool.png")
                       .arg(image, folder)
                       .split(QLatin1Char(' ')));
        ASSERT_TRUE(tool.waitForFinished(30000) && tool.exitCode() == 0) << tool.readAllStandardError().toStdString();
        EXPECT_TRUE(test::readBytes(editors.toStdString()) == test::readBytes(dir.file("tool.png"))) << locale;
    }
}

TEST_F(ShareCommandsTest, MenuCaptionsFollowTheLanguageAndWaitForAnImage)
{
    mainForm();
    QAction* patch = patchCommand();
    QAction* picture = pictureCommand();
    EXPECT_FALSE(patch->isEnabled());
    EXPECT_FALSE(picture->isEnabled());
    forceLanguage(Language::Japanese);
    auto* file = qobject_cast<QMenu*>(patch->associatedObjects().value(0));
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    EXPECT_EQ(patch->text(), QString::fromUtf8("パッチの作成(&P)..."));
    EXPECT_EQ(picture->text(), QString::fromUtf8("ステージ画像の書き出し(&E)..."));
    forceLanguage(Language::English);
    emit file->aboutToShow();
    EXPECT_EQ(patch->text(), QStringLiteral("Create &Patch..."));
    EXPECT_EQ(picture->text(), QStringLiteral("&Export Stage Picture..."));
    opened();
    EXPECT_TRUE(patch->isEnabled());
}

TEST_F(ShareCommandsTest, TheStageTextHoldsUnsavedEditsAndNeedsAJsonName)
{
    opened();
    ASSERT_TRUE(currentStage().setMapChip(9, 0x2A));
    QAction* command = menuAction(u"MenuItemExportStageText");
    prompts.saveFiles = {QString::fromStdString(dir.file("stage.txt"))};
    command->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("ends in .json")));

    const std::string file = dir.file("stage-00.json");
    prompts.saveFiles = {QString::fromStdString(file)};
    command->trigger();
    const auto bytes = test::readBytes(file);
    const Result<StageText> read = readStageText(std::string(bytes.begin(), bytes.end()), file);
    ASSERT_TRUE(read.ok()) << read.error().text();
    EXPECT_EQ(read.value().map[9], 0x2A);
    EXPECT_EQ(read.value().stage, 0);
    EXPECT_TRUE(statusPanel(2)->text().startsWith(QStringLiteral("Wrote stage-00.json (")));
    EXPECT_EQ(test::readBytes(image.toStdString()), test::sampleBytes()) << "nothing saved";
}

TEST_F(ShareCommandsTest, ImportedStageTextsAreOneUndoStepPerStageAndAskBeforeNewErrors)
{
    MainForm& window = opened();
    prompts.saveFiles = {QString::fromStdString(dir.file("stage-00.json"))};
    menuAction(u"MenuItemExportStageText")->trigger();
    ASSERT_EQ(prompts.suggestions.value(0), QFileInfo(image).absolutePath() + QStringLiteral("/stage-00.json"));
    // Two cells and a colour changed in the file: one step of stage 0 takes them back.
    StageText text = stageTextOf(window.rom(), 0);
    text.map[9] ^= 1;
    text.map[70] ^= 1;
    text.bgPalette[1] = 0x21;
    const std::string file = dir.file("edited.json");
    test::writeFile(file, stageTextToJson(text));
    prompts.openFileLists = {{QString::fromStdString(file)}};
    menuAction(u"MenuItemImportStageText")->trigger();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(u'\n').toStdString();
    EXPECT_EQ(currentStage().map()[70], text.map[70]);
    EXPECT_EQ(currentStage().bgPalette()[1], 0x21);
    EXPECT_EQ(undoSteps(), 1);
    EXPECT_EQ(statusPanel(2)->text(), QStringLiteral("stage 00: Map 2 bytes, BGPalette 1 byte"));
    menuAction(u"MenuItemUndo")->trigger();
    EXPECT_EQ(window.rom().editedImage(), test::sampleBytes());

    // A start room outside the stage is an error the image did not have: asked, and No
    // leaves the image as it was.
    text = stageTextOf(window.rom(), 0);
    text.restartPoints[0][1] = 0x2C;
    test::writeFile(file, stageTextToJson(text));
    prompts.openFileLists = {{QString::fromStdString(file)}};
    prompts.yesNo = {false};
    menuAction(u"MenuItemImportStageText")->trigger();
    ASSERT_FALSE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.questions.last().contains(QStringLiteral("Start room 2C")));
    EXPECT_EQ(window.rom().editedImage(), test::sampleBytes());
    EXPECT_EQ(undoSteps(), 0);
}

TEST_F(ShareCommandsTest, ExportsRewrittenByAnotherProgramComeBackChangingNothing)
{
    MainForm& window = opened();
    ASSERT_TRUE(std::ranges::count(currentStage().paletteBlock(), 0x30)) << "30 shows the colour of 20, a lower index";
    const std::string gpl = dir.file("p.gpl"), png = dir.file("t.png"), json = dir.file("s.json");
    const auto q = [](const std::string& path) { return QString::fromStdString(path); };
    prompts.saveFiles = {q(gpl), q(png), q(json)};
    for (const char* name : {"MenuItemExportPalette", "MenuItemExportTiles", "MenuItemExportStageText"})
        menuAction(name)->trigger();
    // As other programs leave them: names and comments gone, CR LF; keys sorted; RGB, or the palette reordered.
    test::writeFile(gpl, std::regex_replace(test::readText(gpl), std::regex("(\t.*|#.*|Name:.*)?\n"), "\r\n"));
    test::writeFile(json, QJsonDocument::fromJson(QByteArray::fromStdString(test::readText(json))).toJson().data());
    QList<QRgb> reversed = QImage(q(png)).colorTable();
    std::ranges::reverse(reversed);
    const QImage rgb = QImage(q(png)).convertToFormat(QImage::Format_RGB32);
    const std::pair<const char*, QImage> imports[] = {
        {"Palette", {}},
        {"StageText", {}},
        {"Tiles", rgb},
        {"Tiles", rgb.convertToFormat(QImage::Format_Indexed8, reversed)}};
    prompts.openFiles = {q(gpl), q(png), q(png)};
    prompts.openFileLists = {{q(json)}};
    for (const auto& [name, picture] : imports) {
        EXPECT_TRUE(picture.isNull() || picture.save(q(png)));
        menuAction(std::string("MenuItemImport") + name)->trigger();
        EXPECT_EQ(window.rom().editedImage(), test::sampleBytes()) << name;
        EXPECT_EQ(undoSteps(), 0) << name;
        EXPECT_FALSE(window.isWindowModified() || !statusPanel(0)->text().isEmpty()) << name << ": title or status";
    }
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(u'\n').toStdString();
}

TEST_F(ShareCommandsTest, AnExportOffersTheImagesNameAndTheFolderLastUsedForItsKindAcrossRuns)
{
    opened();
    stageSelector()->setCurrentIndex(3);
    const QString folder = QFileInfo(image).absolutePath();
    std::filesystem::create_directory(dir.file("pictures"));
    prompts.saveFiles = {QString::fromStdString(dir.file("pictures/first.png"))};
    pictureCommand()->trigger();
    EXPECT_EQ(prompts.suggestions.value(0),
              folder + QStringLiteral("/") + QFileInfo(image).completeBaseName() + QStringLiteral("-stage03.png"));

    form.reset();
    opened();
    prompts.saveFiles = {std::nullopt};
    pictureCommand()->trigger();
    EXPECT_TRUE(prompts.suggestions.value(1).startsWith(QString::fromStdString(dir.file("pictures/"))))
        << "kept across runs";
}
