#include "gui/commands/FileCommands.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/OutputFile.h"
#include "core/model/RomImage.h"
#include "gui/pages/Prompts.h"

#include <QFileInfo>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

QString changedOnDiskText(const QString& path, const std::string& noMerge)
{
    const QString name = QFileInfo(path).fileName();
    QString text = isJapanese() ? name +
            QString::fromUtf8(" は開いた後にディスク上で変更されま"
                              "した。")
                                : name + QStringLiteral(" was changed on disk after it was opened.");
    if (noMerge.empty())
        return text +
            qText("\n\n取り込んで保存: "
                  "編集したテーブルだけを今のファイルに書き込みます。ほかのバイト"
                  "はディスクのままです。\n"
                  "上書き: 編集中のイメージ全体を書き込みます。",
                  "\n\nMerge writes the tables you edited into the file as it is now; every other byte stays as "
                  "the disk has it.\nOverwrite writes the whole image as the editor holds it.");
    return text + qText("\n\n取り込めません: ", "\n\nIt cannot be merged: ") + QString::fromStdString(noMerge) +
        qText("\n上書き: 編集中のイメージ全体を書き込みます。",
              "\nOverwrite writes the whole image as the editor holds it.");
}

QString saveChangesQuestion(const QString& path)
{
    if (isJapanese())
        return path + QString::fromUtf8("への変更を保存しますか？");
    return QStringLiteral("Do you want to save the changes to ") + path + QStringLiteral("?");
}

} // namespace

bool FileCommands::load(const QString& chosen)
{
    // The title and every later save name the file by its full path.
    const QString path = QFileInfo(chosen).absoluteFilePath();
    const Result<void> loaded = rom_.loadFromFile(path.toStdString());
    if (loaded.ok())
        return true;
    // Beyond the plain refusal: a user who picked a file learns why it did not open.
    prompts_.showMessage(qText("", "Could not open ") + path + qText(" を開けませんでした。", ".") +
                         QStringLiteral("\n") + QString::fromStdString(loaded.error().text()));
    return false;
}

bool FileCommands::settleUnsavedChanges()
{
    // The same truth as the title's mark: edits undone back to what the file holds lose nothing.
    if (!rom_.differsFromFile()) {
        if (rom_.isModified() && editsDropped)
            editsDropped();
        return true;
    }
    switch (prompts_.askYesNoCancel(saveChangesQuestion(QString::fromStdString(rom_.fileName())))) {
    case Answer::Yes: return saveAs();
    case Answer::No:
        if (editsDropped)
            editsDropped();
        return true;
    case Answer::Cancel: break;
    }
    return false;
}

bool FileCommands::save() { return rom_.isLoaded() && saveTo(QString::fromStdString(rom_.fileName())); }

bool FileCommands::saveAs()
{
    if (!rom_.isLoaded())
        return false;
    // Where the image lies, under its own name: the likely place for a copy too.
    const auto path = prompts_.chooseSaveFile(QFileInfo(QString::fromStdString(rom_.fileName())).absoluteFilePath());
    return path && saveTo(*path);
}

bool FileCommands::saveOntoOwnFile()
{
    const auto change = rom_.changeOnDisk();
    if (!change) {
        rom_.saveToFile(rom_.fileName());
        return true;
    }
    const QString path = QString::fromStdString(rom_.fileName());
    switch (prompts_.askChangedOnDisk(changedOnDiskText(path, change->noMerge), change->noMerge.empty())) {
    case DiskAnswer::Merge:
        rom_.mergeIntoFile(*change);
        if (stagesRebuilt)
            stagesRebuilt();
        return true;
    case DiskAnswer::Overwrite: rom_.saveToFile(rom_.fileName()); return true;
    case DiskAnswer::Cancel: break;
    }
    return false;
}

QString FileCommands::lookAtDisk()
{
    if (!rom_.isLoaded())
        return {};
    const auto change = rom_.changeOnDiskIfTouched();
    if (!change)
        return {};
    const QString name = QFileInfo(QString::fromStdString(rom_.fileName())).fileName();
    if (rom_.isModified())
        return isJapanese() ? name +
                QString::fromUtf8(" がディスク上で変更されました。保存の時"
                                  "に確かめます。")
                            : name + QStringLiteral(" was changed on disk; saving will ask what to do.");
    if (const Result<void> taken = rom_.takeDiskChange(*change); !taken.ok()) {
        const QString reason = QString::fromStdString(taken.error().text());
        return isJapanese() ? name +
                QString::fromUtf8(" がディスク上で変更されましたが、読み込"
                                  "めません: ") +
                reason
                            : name + QStringLiteral(" was changed on disk but cannot be read again: ") + reason;
    }
    if (stagesRebuilt)
        stagesRebuilt();
    return isJapanese() ? name +
            QString::fromUtf8(" がディスク上で変更されたので、読み込み直"
                              "しました。")
                        : name + QStringLiteral(" was changed on disk and has been read again.");
}

bool FileCommands::offerSaveAs(const QString& message)
{
    // The edits are still here: another name keeps them.
    return prompts_.askYesNo(message +
                             qText("\n\n別の名前で保存しますか"
                                   "？",
                                   "\n\nSave the image under another name?")) &&
        saveAs();
}

bool FileCommands::saveTo(const QString& path)
{
    try {
        // Only a write onto the image's own file can undo what another program wrote there.
        if (path == QString::fromStdString(rom_.fileName()) || sameFile(path.toStdString(), rom_.fileName())) {
            if (!saveOntoOwnFile())
                return false;
        } else {
            rom_.saveToFile(path.toStdString());
        }
    } catch (const WriteError& error) {
        // Read-only, a folder gone, a full disk: the file stays as it was.
        return offerSaveAs(QString::fromStdString(error.what()));
    } catch (const UserError& error) {
        prompts_.showMessage(QString::fromStdString(error.what()));
        return false;
    }
    if (saved)
        saved();
    return true;
}

bool FileCommands::reloadFromFile()
{
    if (!rom_.isLoaded())
        return false;
    bool tilesPainted = false;
    for (int n = 0; n < StageCount; ++n)
        tilesPainted = tilesPainted || rom_.stage(n).editedFlags().get(efTiles);
    if (tilesPainted &&
        !prompts_.askYesNo(qText("保存していないタイルの編集があります。それでもファイ"
                                 "ルからタイルを読み直しますか?\r\n"
                                 "描いた画素はファイルの内容の上に残ります。",
                                 "There are unsaved tile edits. Read the tiles from the file again anyway?\r\n"
                                 "The pixels you painted stay on top of what the file holds.")))
        return false;
    if (const Result<void> reloaded = rom_.reloadFromFile(); !reloaded.ok())
        prompts_.showMessage(QString::fromStdString(reloaded.error().text()));
    return true;
}

} // namespace vx
