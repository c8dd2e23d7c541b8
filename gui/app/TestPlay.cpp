#include "gui/app/TestPlay.h"

#include "core/CommandWords.h"
#include "core/Language.h"
#include "core/MyIniFiles.h"
#include "core/OutputFile.h"
#include "core/RomImgManager.h"
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

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

const char* const Section = "TestPlay";
const char* const Key = "Command";
const QString FilePlaceholder = QStringLiteral("%f");

} // namespace

std::optional<QStringList> EmulatorArguments(const QString& command, const QString& file)
{
    const auto split = SplitCommandWords(command.toStdString());
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

std::optional<QString> ProgramProblem(const QString& program)
{
    if (!program.contains(QLatin1Char('/'))) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return Text("%1: 見つかりません (PATH にありません)", "%1: not found (not in PATH)").arg(program);
        return std::nullopt;
    }
    const QFileInfo info(program);
    if (!info.exists())
        return Text("%1: 見つかりません", "%1: not found").arg(program);
    if (info.isDir())
        return Text("%1: フォルダです", "%1: is a folder").arg(program);
    if (!info.isExecutable())
        return Text("%1: 実行できません", "%1: not executable").arg(program);
    return std::nullopt;
}

TTestPlay::TTestPlay(TMainForm& main, TPrompts& prompts, TMemIniFile* preferences)
    : QObject(&main), main_(main), prompts_(prompts), preferences_(preferences)
{
    if (preferences_)
        command_ = QString::fromStdString(preferences_->ReadString(Section, Key, "")).trimmed();
}

TTestPlay::~TTestPlay() = default;

bool TTestPlay::ChangeCommand()
{
    TEmulatorSettingsDialog dialog(&main_, prompts_, command_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    command_ = dialog.Command();
    if (!preferences_)
        return true;
    preferences_->WriteString(Section, Key, command_.toStdString());
    try {
        preferences_->UpdateFile();
    } catch (const std::exception& error) {
        prompts_.ShowMessage(Text("エミュレータの設定を保存できませんでした。\n", "The emulator setting could not be saved.\n") +
                             QString::fromStdString(error.what()));
    }
    return true;
}

void TTestPlay::Run()
{
    if (!main_.Rom().IsLoaded())
        return;
    // An empty command asks for one first; a command with an open quote is reported below.
    const auto isEmpty = [this] {
        const auto words = SplitCommandWords(command_.toStdString());
        return words && words->empty();
    };
    if (isEmpty() && (!ChangeCommand() || isEmpty()))
        return;
    const auto copy = WriteCopy();
    if (!copy)
        return;
    const auto arguments = EmulatorArguments(command_, *copy);
    if (!arguments) {
        Fail(Text("引用符が閉じていません。", "A quote is left open."));
        return;
    }
    const QStringList& words = *arguments;
    if (const auto problem = ProgramProblem(words.first())) {
        Fail(*problem);
        return;
    }
    QProcess process;
    process.setProgram(words.first());
    process.setArguments(words.mid(1));
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        Fail(process.errorString());
}

std::optional<QString> TTestPlay::WriteCopy()
{
    if (!folder_) {
        folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vexalon2editor-XXXXXX"));
        if (!folder_->isValid()) {
            const QString reason = folder_->errorString();
            folder_.reset();
            Fail(reason);
            return std::nullopt;
        }
    }
    QString name = QFileInfo(QString::fromStdString(main_.Rom().FileName())).fileName();
    if (name.isEmpty())
        name = QStringLiteral("image.nes");
    const QString path = folder_->filePath(name);
    try {
        WriteImageFile(path.toStdString(), main_.Rom().EditedImage());
    } catch (const std::exception& error) {
        Fail(QString::fromStdString(error.what()));
        return std::nullopt;
    }
    return path;
}

void TTestPlay::Fail(const QString& reason)
{
    prompts_.ShowMessage(Text("テストプレイを始められませんでした。\nコマンド: %1\n%2",
                              "Test play could not start.\nCommand: %1\n%2")
                             .arg(command_, reason));
}

TTestPlay& TestPlayOf(TMainForm& main, TPrompts& prompts, TMemIniFile* preferences)
{
    auto* testPlay = main.findChild<TTestPlay*>(QString(), Qt::FindDirectChildrenOnly);
    if (!testPlay)
        testPlay = new TTestPlay(main, prompts, preferences);
    return *testPlay;
}

} // namespace vx
