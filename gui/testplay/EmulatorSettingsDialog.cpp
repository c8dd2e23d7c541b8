#include "gui/testplay/EmulatorSettingsDialog.h"

#include "core/base/Language.h"
#include "gui/pages/Prompts.h"
#include "gui/testplay/EmulatorCommand.h"
#include "gui/testplay/FceuxReload.h"
#include "rules/CommandWords.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

} // namespace

EmulatorSettingsDialog::EmulatorSettingsDialog(QWidget* parent, Prompts& prompts, const QString& command,
                                               bool keepRunning, bool fceuxReload)
    : QDialog(parent), prompts_(prompts)
{
    setObjectName(QStringLiteral("EmulatorSettingsDialog"));
    setWindowTitle(qText("エミュレータの設定", "Emulator Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(qText("テストプレイ(F5)で起動するコマンド(&C)。%f がイメージ"
                                     "のファイ"
                                     "ル (無ければ最後に付けます)、%u "
                                     "がその URI、~ と $HOME がホームフォルダになります。",
                                     "The &command Test Play (F5) starts. %f stands for the image file (added at "
                                     "the end when absent); %u for its URI; ~ and $HOME for your home folder."),
                               this);
    layout->addWidget(caption);
    auto* row = new QHBoxLayout;
    edit_ = new QLineEdit(command, this);
    edit_->setObjectName(QStringLiteral("EditEmulatorCommand"));
    edit_->setMinimumWidth(420);
    row->addWidget(edit_);
    caption->setBuddy(edit_);
    auto* browse = new QPushButton(qText("参照(&B)...", "&Browse..."), this);
    browse->setObjectName(QStringLiteral("BtnEmulatorBrowse"));
    connect(browse, &QPushButton::clicked, this, &EmulatorSettingsDialog::browse);
    row->addWidget(browse);
    layout->addLayout(row);
    keepRunning_ = new QCheckBox(qText("実行中のエミュレータを終了しない (ファイルを自分で"
                                       "読み直"
                                       "すエミュレータ向け)(&K)",
                                       "&Keep running emulators (for emulators that reload their file)"),
                                 this);
    keepRunning_->setObjectName(QStringLiteral("CheckKeepEmulators"));
    keepRunning_->setChecked(keepRunning);
    layout->addWidget(keepRunning_);
    fceuxReload_ = new QCheckBox(qText("fceux (F5 で実行中のゲーム"
                                       "を読み直す)(&F)",
                                       "&fceux (F5 reloads the running game)"),
                                 this);
    fceuxReload_->setObjectName(QStringLiteral("CheckFceuxReload"));
    connect(fceuxReload_, &QCheckBox::toggled, this, [this](bool on) {
        // fceux keeps running; its program is proposed, and stays editable.
        keepRunning_->setEnabled(!on);
        if (on) {
            keepRunning_->setChecked(true);
            if (!this->command().contains(QStringLiteral("fceux")))
                edit_->setText(QString::fromStdString(quoteCommandWord(FceuxReload::program().toStdString())));
        }
    });
    fceuxReload_->setChecked(fceuxReload);
    layout->addWidget(fceuxReload_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString EmulatorSettingsDialog::command() const { return edit_->text().trimmed(); }

bool EmulatorSettingsDialog::keepsRunning() const { return keepRunning_->isChecked(); }

bool EmulatorSettingsDialog::reloadsInFceux() const { return fceuxReload_->isChecked(); }

void EmulatorSettingsDialog::accept()
{
    // Checked as F5 would, before the dialog closes and the fault is forgotten.
    if (const auto problem = commandProblem(command(), QDir::homePath()))
        if (!prompts_.askKeepAnyway(qText("このコマンドではテストプレイを始められませ"
                                          "ん:\n%1\n\nこのまま保存しますか？",
                                          "Test play cannot start with this command:\n%1\n\nKeep it anyway?")
                                        .arg(*problem))) {
            edit_->setFocus();
            return;
        }
    QDialog::accept();
}

void EmulatorSettingsDialog::browse()
{
    const auto program = prompts_.chooseFileToOpen(qText("エミュレータの選択", "Choose the Emulator"),
                                                   qText("すべてのファイル (*)", "All files (*)"), QString());
    if (!program)
        return;
    // The program replaces the first word; the arguments stay.
    std::vector<std::string> words =
        splitCommandWords(edit_->text().toStdString()).value_or(std::vector<std::string>{});
    if (words.empty())
        words = {std::string(), "%f"};
    words[0] = program->toStdString();
    QStringList quoted;
    for (const std::string& word : words)
        quoted << QString::fromStdString(quoteCommandWord(word));
    edit_->setText(quoted.join(QLatin1Char(' ')));
    edit_->setFocus(); // the field it filled, to go on with the arguments
}

} // namespace vx
