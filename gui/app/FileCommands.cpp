#include "gui/app/FileCommands.h"

#include "core/Errors.h"
#include "core/Language.h"
#include "core/OutputFile.h"
#include "core/RomImgManager.h"
#include "gui/pages/Prompts.h"

#include <QFileInfo>

namespace vx {
namespace {

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

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

bool TFileCommands::SaveTo(const QString& path)
{
    try {
        rom_.SaveToFile(path.toStdString());
    } catch (const TWriteError& error) {
        const QString message = QString::fromStdString(error.what());
        if (error.Failure() != TWriteFailure::ReadOnly) {
            prompts_.ShowMessage(message);
            return false;
        }
        // The edits are still here: another name keeps them.
        return prompts_.AskYesNo(message + Text("\n\n別の名前で保存しますか？", "\n\nSave the image under another name?")) &&
               SaveAs();
    } catch (const VxError& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
    if (Saved)
        Saved();
    return true;
}

} // namespace vx
