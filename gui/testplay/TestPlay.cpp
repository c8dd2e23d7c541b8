#include "gui/testplay/TestPlay.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/OutputFile.h"
#include "core/model/RomImage.h"
#include "gui/pages/PageNavigator.h"
#include "gui/pages/Prompts.h"
#include "gui/testplay/EmulatorCommand.h"
#include "gui/testplay/EmulatorRuns.h"
#include "gui/testplay/EmulatorSettingsDialog.h"
#include "gui/testplay/FceuxReload.h"
#include "rules/CommandWords.h"

#include <QDir>
#include <QFileInfo>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

const char* const Section = "TestPlay";
const char* const CommandKey = "Command";
const char* const KeepRunningKey = "KeepRunning";
const char* const FceuxReloadKey = "FceuxReload";

} // namespace

TestPlay::TestPlay(PageNavigator& pages, RomImage& rom, Prompts& prompts, IniFile* preferences)
    : QObject(pages.editorWindow()), pages_(pages), rom_(rom), prompts_(prompts), preferences_(preferences),
      runs_(new EmulatorRuns(this)), reload_(new FceuxReload(this))
{
    if (preferences_) {
        command_ = QString::fromStdString(preferences_->readString(Section, CommandKey, "")).trimmed();
        keepRunning_ = preferences_->readInteger(Section, KeepRunningKey, 0) != 0;
        fceuxReload_ = preferences_->readInteger(Section, FceuxReloadKey, 0) != 0;
    }
    runs_->endedEarly = [this](const QString& text) {
        pages_.showNote(text.section(QLatin1Char('\n'), 0, 0)); // "started" is over
        prompts_.showMessage(text);
    };
    pages.listen(this, [this](PageNavigator::Change change) {
        if (change == PageNavigator::Change::ImageClosed)
            imageClosed();
    });
}

TestPlay::~TestPlay() = default;

bool TestPlay::changeCommand()
{
    EmulatorSettingsDialog dialog(pages_.editorWindow(), prompts_, command_, keepRunning_, fceuxReload_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    command_ = dialog.command();
    keepRunning_ = dialog.keepsRunning();
    fceuxReload_ = dialog.reloadsInFceux();
    if (!preferences_)
        return true;
    preferences_->writeString(Section, CommandKey, command_.toStdString());
    preferences_->writeInteger(Section, KeepRunningKey, keepRunning_ ? 1 : 0);
    preferences_->writeInteger(Section, FceuxReloadKey, fceuxReload_ ? 1 : 0);
    try {
        preferences_->updateFile();
    } catch (const std::exception& error) {
        prompts_.showMessage(qText("エミュレータの設定を保存できませんでした"
                                   "。\n",
                                   "The emulator setting could not be saved.\n") +
                             QString::fromStdString(error.what()));
    }
    return true;
}

void TestPlay::run() { play(std::nullopt); }

void TestPlay::runFromHere()
{
    if (rom_.isLoaded())
        play(startHere());
}

PlayStart TestPlay::startHere() const
{
    const int stage = rom_.currentStageIndex();
    const int page = pages_.shownPage();
    if (page == pgRestartPointEdit)
        return PlayStart::atPoint(stage, pages_.shownRestartPoint());
    if (const int room = pages_.shownRooms().first; room >= 0)
        return PlayStart::atRoom(stage, room);
    return PlayStart::atPoint(stage, rom_.addresses().defaultStartPoint(stage));
}

void TestPlay::play(const std::optional<PlayStart>& start)
{
    if (!rom_.isLoaded())
        return;
    // An empty command asks for one first; a faulty one is reported below.
    const auto isEmpty = [this] {
        const auto words = splitCommandWords(command_.toStdString());
        return words && words->empty();
    };
    if (isEmpty() && (!changeCommand() || isEmpty()))
        return;
    const QString home = QDir::homePath();
    if (const auto problem = commandProblem(command_, home)) {
        fail(*problem);
        return;
    }
    std::vector<std::uint8_t> bytes = rom_.editedImage();
    QString place;
    if (start) {
        // A stage that does not fit is refused before a running emulator is touched.
        Result<PlayCopy> made = makePlayCopy(bytes, rom_.addresses(), *start);
        if (!made.ok()) {
            fail(QString::fromStdString(made.error().text()));
            return;
        }
        bytes = std::move(made.value().image);
        const auto hex = [](int value) {
            return QString::fromStdString(formatHex(static_cast<std::uint32_t>(value), 2));
        };
        place = start->point
            ? qText("ステージ%1 復帰地点%2", "stage %1, point %2").arg(hex(start->stage)).arg(*start->point)
            : qText("ステージ%1 ルーム%2", "stage %1, room %2").arg(hex(start->stage), hex(start->room));
    }
    const bool keepRunning = keepRunning_ || fceuxReload_;
    if (!keepRunning)
        runs_->endAll();
    const auto copy = writeCopy(bytes);
    if (!copy)
        return;
    EmulatorCall call = emulatorCall(command_, *copy, home);
    const QString program = QFileInfo(call.words.first()).fileName();
    if (fceuxReload_ && runs_->plays(*copy)) {
        reload_->reload(*copy, [this, program](bool reloaded) {
            pages_.showNote(reloaded ? qText("実行中の %1 がイメージを"
                                             "読み直しました",
                                             "The running %1 reloaded the image")
                                           .arg(program)
                                     : qText("実行中の %1 は3秒以内にイメージ"
                                             "を読み直しませんでした",
                                             "The running %1 did not reload the image within 3 s")
                                           .arg(program));
        });
        return;
    }
    if (fceuxReload_) {
        try {
            call.words = FceuxReload::startWords(call.words, reload_->prepare(*copy));
        } catch (const std::exception& error) {
            fail(QString::fromStdString(error.what()));
            return;
        }
    }
    // An emulator that reloads its file has it already.
    if (keepRunning && runs_->plays(*copy)) {
        pages_.showNote(qText("テストプレイ: 実行中の %1 にイメージを渡しまし"
                              "た",
                              "Test play: the image went to the running %1")
                            .arg(program));
        return;
    }
    if (const auto reason = runs_->start(call.words, *copy)) {
        fail(*reason);
        return;
    }
    QString note = qText("テストプレイ: %1 を起動しました", "Test play: started %1").arg(program);
    if (!place.isEmpty())
        note += qText(" (%1 から)", " (from %1)").arg(place);
    if (!call.droppedCodes.isEmpty())
        note += qText(" (%1 は使いません)", " (%1 dropped)").arg(call.droppedCodes.join(QLatin1Char(' ')));
    pages_.showNote(note);
}

void TestPlay::imageClosed() { runs_->removeIdleCopies(); }

std::optional<QString> TestPlay::writeCopy(const std::vector<std::uint8_t>& bytes)
{
    QString reason;
    const auto path = runs_->copyPath(QFileInfo(QString::fromStdString(rom_.fileName())).fileName(), reason);
    if (!path) {
        fail(reason);
        return std::nullopt;
    }
    try {
        writeImageFile(path->toStdString(), bytes);
    } catch (const std::exception& error) {
        fail(QString::fromStdString(error.what()));
        return std::nullopt;
    }
    return path;
}

void TestPlay::fail(const QString& reason)
{
    prompts_.showMessage(qText("テストプレイを始められませんでした。\nコマン"
                               "ド: %1\n%2",
                               "Test play could not start.\nCommand: %1\n%2")
                             .arg(command_, reason));
}

} // namespace vx
