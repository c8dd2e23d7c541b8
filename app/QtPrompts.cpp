#include "app/QtPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vx {
namespace {

const QString Title = QStringLiteral("VEXALON 2 EDITOR");

// One filter, "nes" as the default extension, as the game's images are named.
QString Filter() { return QString::fromUtf8("ヴェクサロン2 ROMイメージ(*.nes)"); }

QFileDialog* MakeDialog(QWidget* parent, QFileDialog::AcceptMode mode)
{
    auto* dialog = new QFileDialog(parent, Title);
    dialog->setAcceptMode(mode);
    dialog->setNameFilter(Filter());
    dialog->setDefaultSuffix(QStringLiteral("nes"));
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

std::optional<QString> Run(QFileDialog* dialog)
{
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().first();
    delete dialog;
    return chosen;
}

} // namespace

void TQtPrompts::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::Ok, parent_);
    box.exec();
}

void TQtPrompts::ShowWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, Title, text, QMessageBox::Ok, parent_);
    box.exec();
}

TAnswer TQtPrompts::AskYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

bool TQtPrompts::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, Title, text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> TQtPrompts::ChooseOpenFile() { return Run(MakeDialog(parent_, QFileDialog::AcceptOpen)); }

std::optional<QString> TQtPrompts::ChooseSaveFile()
{
    // The dialog asks before overwriting and has no read-only check box.
    return Run(MakeDialog(parent_, QFileDialog::AcceptSave));
}

std::optional<QString> TQtPrompts::InputText(const QString& caption, const QString& prompt, const QString& initial)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace vx
