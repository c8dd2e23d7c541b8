#include "gui/app/TestPlay.h"

#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/OutputFile.h"
#include "core/model/RomImage.h"
#include "gui/app/CommandWords.h"
#include "gui/app/EmulatorSettingsDialog.h"
#include "gui/app/MainForm.h"
#include "gui/pages/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english) { return QString::fromStdString(localized(japanese, english)); }

const char* const Section = "TestPlay";
const char* const Key = "Command";
const QString FilePlaceholder = QStringLiteral("%f");

} // namespace

std::optional<QStringList> emulatorArguments(const QString& command, const QString& file)
{
    const auto split = splitCommandWords(command.toStdString());
    if (!split)
        return std::nullopt;
    QStringList words;
    for (const std::string& word : *split)
        words << QString::fromStdString(word);
    if (words.isEmpty())
        return words;
    bool placed = false;
    for (qsizetype at = 1; at < words.size(); ++at) {
        if (words[at].contains(FilePlaceholder)) {
            words[at].replace(FilePlaceholder, file);
            placed = true;
        }
    }
    if (!placed)
        words << file;
    return words;
}

std::optional<QString> programProblem(const QString& program)
{
    if (!program.contains(QLatin1Char('/'))) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return qText("%1: 見つかりません (PATH にありません)", "%1: not found (not in PATH)").arg(program);
        return std::nullopt;
    }
    const QFileInfo info(program);
    if (!info.exists())
        return qText("%1: 見つかりません", "%1: not found").arg(program);
    if (info.isDir())
        return qText("%1: フォルダです", "%1: is a folder").arg(program);
    if (!info.isExecutable())
        return qText("%1: 実行できません", "%1: not executable").arg(program);
    return std::nullopt;
}

TestPlay::TestPlay(MainForm& main, Prompts& prompts, IniFile* preferences)
    : QObject(&main), main_(main), prompts_(prompts), preferences_(preferences)
{
    if (preferences_)
        command_ = QString::fromStdString(preferences_->readString(Section, Key, "")).trimmed();
}

TestPlay::~TestPlay() = default;

bool TestPlay::changeCommand()
{
    EmulatorSettingsDialog dialog(&main_, prompts_, command_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    command_ = dialog.Command();
    if (!preferences_)
        return true;
    preferences_->writeString(Section, Key, command_.toStdString());
    try {
        preferences_->updateFile();
    } catch (const std::exception& error) {
        prompts_.showMessage(qText("エミュレータの設定を保存できませんでした。\n", "The emulator setting could not be saved.\n") +
                             QString::fromStdString(error.what()));
    }
    return true;
}

void TestPlay::run()
{
    if (!main_.rom().isLoaded())
        return;
    // An empty command asks for one first; a command with an open quote is reported below.
    const auto isEmpty = [this] {
        const auto words = splitCommandWords(command_.toStdString());
        return words && words->empty();
    };
    if (isEmpty() && (!changeCommand() || isEmpty()))
        return;
    const auto copy = writeCopy();
    if (!copy)
        return;
    const auto arguments = emulatorArguments(command_, *copy);
    if (!arguments) {
        fail(qText("引用符が閉じていません。", "A quote is left open."));
        return;
    }
    const QStringList& words = *arguments;
    if (const auto problem = programProblem(words.first())) {
        fail(*problem);
        return;
    }
    QProcess process;
    process.setProgram(words.first());
    process.setArguments(words.mid(1));
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        fail(process.errorString());
}

std::optional<QString> TestPlay::writeCopy()
{
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vexalon2editor-XXXXXX"));
        if (!folder_->isValid()) {
            const QString reason = folder_->errorString();
            folder_.reset();
            fail(reason);
            return std::nullopt;
        }
    }
    QString name = QFileInfo(QString::fromStdString(main_.rom().fileName())).fileName();
    if (name.isEmpty())
        name = QStringLiteral("image.nes");
    const QString path = folder_->filePath(name);
    try {
        writeImageFile(path.toStdString(), main_.rom().editedImage());
    } catch (const std::exception& error) {
        fail(QString::fromStdString(error.what()));
        return std::nullopt;
    }
    return path;
}

void TestPlay::fail(const QString& reason)
{
    prompts_.showMessage(qText("テストプレイを始められませんでした。\nコマンド: %1\n%2",
                               "Test play could not start.\nCommand: %1\n%2")
                             .arg(command_, reason));
}

TestPlay& testPlayOf(MainForm& main, Prompts& prompts, IniFile* preferences)
{
    auto* testPlay = main.findChild<TestPlay*>(QString(), Qt::FindDirectChildrenOnly);
    if (!testPlay)
        testPlay = new TestPlay(main, prompts, preferences);
    return *testPlay;
}

} // namespace vx
