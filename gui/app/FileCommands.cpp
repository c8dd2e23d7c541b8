#include "gui/app/FileCommands.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Language.h"
#include "core/OutputFile.h"
#include "core/RomImgManager.h"
#include "gui/pages/Prompts.h"

#include <QFileInfo>

namespace vx {
namespace {

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

QString ChangedOnDiskText(const QString& path, const std::string& noMerge)
{
    const QString name = QFileInfo(path).fileName();
    QString text = IsJapanese() ? name + QString::fromUtf8(" は開いた後にディスク上で変更されました。")
                                : name + QStringLiteral(" was changed on disk after it was opened.");
    if (noMerge.empty())
        return text + Text("\n\n取り込んで保存: 編集したテーブルだけを今のファイルに書き込みます。ほかのバイトはディスクのままです。\n"
                           "上書き: 編集中のイメージ全体を書き込みます。",
                           "\n\nMerge writes the tables you edited into the file as it is now; every other byte stays as "
                           "the disk has it.\nOverwrite writes the whole image as the editor holds it.");
    return text + Text("\n\n取り込めません: ", "\n\nIt cannot be merged: ") + QString::fromStdString(noMerge) +
           Text("\n上書き: 編集中のイメージ全体を書き込みます。", "\nOverwrite writes the whole image as the editor holds it.");
}

QString SaveChangesQuestion(const QString& path)
{
    if (IsJapanese())
        return path + QString::fromUtf8("への変更を保存しますか？");
    return QStringLiteral("Do you want to save the changes of ") + path + QStringLiteral("?");
}

} // namespace

bool TFileCommands::Load(const QString& chosen)
{
    // The title and every later save name the file by its full path.
    const QString path = QFileInfo(chosen).absoluteFilePath();
    std::string reason;
    if (rom_.LoadFromFile(path.toStdString(), &reason))
        return true;
    // Beyond the plain refusal: a user who picked a file learns why it did not open.
    prompts_.ShowMessage(Text("", "Could not open ") + path + Text(" を開けませんでした。", ".") + QStringLiteral("\n") +
                         QString::fromStdString(reason));
    return false;
}

bool TFileCommands::SettleUnsavedChanges()
{
    if (!rom_.IsModified())
        return true;
    switch (prompts_.AskYesNoCancel(SaveChangesQuestion(QString::fromStdString(rom_.FileName())))) {
    case TAnswer::Yes:
        return SaveAs();
    case TAnswer::No:
        if (EditsDropped)
            EditsDropped();
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

bool TFileCommands::Save()
{
    return rom_.IsLoaded() && SaveTo(QString::fromStdString(rom_.FileName()));
}

bool TFileCommands::SaveAs()
{
    if (!rom_.IsLoaded())
        return false;
    const auto path = prompts_.ChooseSaveFile();
    return path && SaveTo(*path);
}

bool TFileCommands::SaveOntoOwnFile()
{
    const auto change = rom_.ChangeOnDisk();
    if (!change) {
        rom_.SaveToFile(rom_.FileName());
        return true;
    }
    const QString path = QString::fromStdString(rom_.FileName());
    switch (prompts_.AskChangedOnDisk(ChangedOnDiskText(path, change->noMerge), change->noMerge.empty())) {
    case TDiskAnswer::Merge:
        rom_.MergeIntoFile(*change);
        if (StagesRebuilt)
            StagesRebuilt();
        return true;
    case TDiskAnswer::Overwrite:
        rom_.SaveToFile(rom_.FileName());
        return true;
    case TDiskAnswer::Cancel:
        break;
    }
    return false;
}

QString TFileCommands::LookAtDisk()
{
    if (!rom_.IsLoaded())
        return {};
    const auto change = rom_.ChangeOnDiskIfTouched();
    if (!change)
        return {};
    const QString name = QFileInfo(QString::fromStdString(rom_.FileName())).fileName();
    if (rom_.IsModified())
        return IsJapanese() ? name + QString::fromUtf8(" がディスク上で変更されました。保存の時に確かめます。")
                            : name + QStringLiteral(" was changed on disk; saving will ask what to do.");
    std::string reason;
    if (!rom_.TakeDiskChange(*change, &reason))
        return IsJapanese() ? name + QString::fromUtf8(" がディスク上で変更されましたが、読み込めません: ") + QString::fromStdString(reason)
                            : name + QStringLiteral(" was changed on disk but cannot be read again: ") + QString::fromStdString(reason);
    if (StagesRebuilt)
        StagesRebuilt();
    return IsJapanese() ? name + QString::fromUtf8(" がディスク上で変更されたので、読み込み直しました。")
                        : name + QStringLiteral(" was changed on disk and has been read again.");
}

bool TFileCommands::OfferSaveAs(const QString& message)
{
    // The edits are still here: another name keeps them.
    return prompts_.AskYesNo(message + Text("\n\n別の名前で保存しますか？", "\n\nSave the image under another name?")) &&
           SaveAs();
}

bool TFileCommands::SaveTo(const QString& path)
{
    try {
        // Only a write onto the image's own file can undo what another program wrote there.
        if (path == QString::fromStdString(rom_.FileName()) || SameFile(path.toStdString(), rom_.FileName())) {
            if (!SaveOntoOwnFile())
                return false;
        } else {
            rom_.SaveToFile(path.toStdString());
        }
    } catch (const TWriteError& error) {
        // Read-only, a folder gone, a full disk: the file stays as it was.
        return OfferSaveAs(QString::fromStdString(error.what()));
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
    if (Saved)
        Saved();
    return true;
}

} // namespace vx
