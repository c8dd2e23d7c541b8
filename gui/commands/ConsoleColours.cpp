#include "gui/commands/ConsoleColours.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/InputFile.h"
#include "gui/pages/Prompts.h"
#include "render/PaletteManager.h"

namespace vx {
namespace {

constexpr const char* Section = "Graphics";
constexpr const char* Key = "ColourFile";

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

std::string chosenFile(const QString& preferencesFile)
{
    try {
        return IniFile(preferencesFile.toStdString()).readString(Section, Key, "");
    } catch (const std::exception&) {
        return {}; // the recent-files menu reports a bad preferences file
    }
}

} // namespace

std::unique_ptr<PaletteManager> loadConsoleColours(const QString& preferencesFile, const std::string& programFolder,
                                                   QString& note)
{
    if (const std::string chosen = chosenFile(preferencesFile); !chosen.empty()) {
        try {
            return std::make_unique<PaletteManager>(readInputFile(chosen, InputKind::ColourFile), chosen);
        } catch (const UserError& error) {
            note = qText("色ファイルを読めないので、既定の色を使います: ",
                         "The colour file cannot be read; the program's own colours are used: ") +
                QString::fromStdString(error.what());
        }
    }
    // Refusals name the colour file as the user knows it, wherever it was found.
    return std::make_unique<PaletteManager>(readInputFile(programFolder + "/fcpalette.pal", InputKind::ColourFile),
                                            "fcpalette.pal");
}

void chooseConsoleColours(Prompts& prompts, IniFile* preferences)
{
    const auto path = prompts.chooseFileToOpen(qText("色ファイルの設定", "Console Colour File"),
                                               qText("色ファイル (*.pal)", "Colour files (*.pal)"), QString());
    if (!path)
        return;
    try {
        PaletteManager(readInputFile(path->toStdString(), InputKind::ColourFile), path->toStdString());
        if (!preferences)
            throw UserError(localized("設定ファイルがありません。", "There is no preferences file."));
        preferences->writeString(Section, Key, path->toStdString());
        preferences->updateFile();
        prompts.showMessage(qText("色ファイルを設定しました。次の起動から使います。",
                                  "The colour file is set; the editor uses it from its next start."));
    } catch (const std::exception& error) {
        prompts.showMessage(QString::fromStdString(error.what()) +
                            qText("\n色ファイルは変わっていません"
                                  "。",
                                  "\nThe colour file stays as it was."));
    }
}

} // namespace vx
