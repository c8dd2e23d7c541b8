#include "gui/app/EmulatorSettingsDialog.h"

#include "core/base/Language.h"
#include "gui/app/CommandWords.h"
#include "gui/pages/Prompts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english) { return QString::fromStdString(localized(japanese, english)); }

} // namespace

EmulatorSettingsDialog::EmulatorSettingsDialog(QWidget* parent, Prompts& prompts, const QString& command)
    : QDialog(parent), prompts_(prompts)
{
    setObjectName(QStringLiteral("EmulatorSettingsDialog"));
    setWindowTitle(qText("エミュレータの設定", "Emulator Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(qText("テストプレイ(F5)で起動するコマンド(&C)。%f がイメージのファイルになります (無ければ最後に付けます)。",
                                     "The &command Test Play (F5) starts. %f stands for the image file (added at "
                                     "the end when absent)."),
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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString EmulatorSettingsDialog::Command() const { return edit_->text().trimmed(); }

void EmulatorSettingsDialog::browse()
{
    const auto program = prompts_.chooseFileToOpen(qText("エミュレータの選択", "Choose the Emulator"),
                                                   qText("すべてのファイル (*)", "All files (*)"), QString());
    if (!program)
        return;
    // The program replaces the first word; the arguments stay.
    std::vector<std::string> words = splitCommandWords(edit_->text().toStdString()).value_or(std::vector<std::string>{});
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
