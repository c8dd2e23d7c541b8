#include "gui/app/QtPrompts.h"

#include "core/base/Language.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vx {
namespace {

const QString Title = QStringLiteral("VEXALON 2 EDITOR");

// One filter, "nes" as the default extension, as the game's images are named.
QString filter()
{
    return QString::fromStdString(captionText("ヴェクサロン2 ROMイメー"
                                              "ジ(*.nes)",
                                              "VEXALON 2 ROM images (*.nes)"));
}

QFileDialog* makeDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& caption = Title,
                        const QString& filters = filter())
{
    auto* dialog = new QFileDialog(parent, caption);
    dialog->setAcceptMode(mode);
    dialog->setNameFilters(filters.split(QStringLiteral(";;")));
    // The suffix of the filter chosen (*.nes, *.bps, *.png ...) when the name has none.
    const auto suffixOf = [](const QString& filter) {
        const qsizetype star = filter.indexOf(QStringLiteral("*."));
        return star < 0 ? QString()
                        : filter.mid(star + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0);
    };
    dialog->setDefaultSuffix(suffixOf(dialog->nameFilters().value(0)));
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog,
                     [dialog, suffixOf](const QString& filter) { dialog->setDefaultSuffix(suffixOf(filter)); });
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

std::optional<QString> run(QFileDialog* dialog)
{
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().first();
    delete dialog;
    return chosen;
}

} // namespace

void QtPrompts::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::showWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, Title, text, QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtPrompts::askYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool QtPrompts::askYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, Title, text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

DiskAnswer QtPrompts::askChangedOnDisk(const QString& text, bool offerMerge)
{
    const bool japanese = isJapanese();
    QMessageBox box(QMessageBox::Warning, Title, text, QMessageBox::NoButton, parent_);
    QPushButton* merge = nullptr;
    if (offerMerge) {
        merge = box.addButton(japanese ? QString::fromUtf8("取り込んで保存(&M)") : QStringLiteral("&Merge"),
                              QMessageBox::AcceptRole);
        merge->setObjectName(QStringLiteral("ButtonMerge"));
    }
    QPushButton* overwrite = box.addButton(japanese ? QString::fromUtf8("上書き(&O)") : QStringLiteral("&Overwrite"),
                                           QMessageBox::DestructiveRole);
    overwrite->setObjectName(QStringLiteral("ButtonOverwrite"));
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (merge && box.clickedButton() == merge)
        return DiskAnswer::Merge;
    return box.clickedButton() == overwrite ? DiskAnswer::Overwrite : DiskAnswer::Cancel;
}

bool QtPrompts::askKeepAnyway(const QString& text)
{
    const bool japanese = isJapanese();
    QMessageBox box(QMessageBox::Warning, Title, text, QMessageBox::NoButton, parent_);
    QPushButton* keep = box.addButton(japanese ? QString::fromUtf8("このまま保"
                                                                   "存(&K)")
                                               : QStringLiteral("&Keep Anyway"),
                                      QMessageBox::AcceptRole);
    QPushButton* edit = box.addButton(japanese ? QString::fromUtf8("修正す"
                                                                   "る(&E)")
                                               : QStringLiteral("&Edit"),
                                      QMessageBox::RejectRole);
    box.setDefaultButton(edit);
    box.setEscapeButton(edit);
    box.exec();
    return box.clickedButton() == keep;
}

bool QtPrompts::askRecover(const QString& text)
{
    const bool japanese = isJapanese();
    QMessageBox box(QMessageBox::Question, Title, text, QMessageBox::NoButton, parent_);
    QPushButton* recover =
        box.addButton(japanese ? QString::fromUtf8("復元(&R)") : QStringLiteral("&Recover"), QMessageBox::AcceptRole);
    recover->setObjectName(QStringLiteral("ButtonRecover"));
    QPushButton* discard = box.addButton(japanese ? QString::fromUtf8("破棄(&D)") : QStringLiteral("&Discard"),
                                         QMessageBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("ButtonDiscard"));
    box.setDefaultButton(recover);
    box.exec();
    // Closing the box by its frame keeps the edits: only Discard drops them.
    return box.clickedButton() != discard;
}

std::optional<QString> QtPrompts::chooseOpenFile() { return run(makeDialog(parent_, QFileDialog::AcceptOpen)); }

std::optional<QString> QtPrompts::chooseSaveFile(const QString& suggested)
{
    // The dialog asks before overwriting and has no read-only check box.
    return chooseFileToSave(Title, filter(), suggested);
}

std::optional<QString> QtPrompts::chooseFileToOpen(const QString& caption, const QString& filters,
                                                   const QString& folder)
{
    QFileDialog* dialog = makeDialog(parent_, QFileDialog::AcceptOpen, caption, filters);
    if (!folder.isEmpty())
        dialog->setDirectory(folder);
    return run(dialog);
}

std::optional<QString> QtPrompts::chooseFileToSave(const QString& caption, const QString& filters,
                                                   const QString& suggested)
{
    QFileDialog* dialog = makeDialog(parent_, QFileDialog::AcceptSave, caption, filters);
    if (!suggested.isEmpty())
        dialog->selectFile(suggested);
    return run(dialog);
}

QStringList QtPrompts::chooseFilesToOpen(const QString& caption, const QString& filters, const QString& folder)
{
    QFileDialog* dialog = makeDialog(parent_, QFileDialog::AcceptOpen, caption, filters);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    if (!folder.isEmpty())
        dialog->setDirectory(folder);
    QStringList chosen;
    if (dialog->exec() == QDialog::Accepted)
        chosen = dialog->selectedFiles();
    delete dialog;
    return chosen;
}

std::optional<QString> QtPrompts::inputText(const QString& caption, const QString& prompt, const QString& initial)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

} // namespace vx
