#include "gui/app/InterfaceLanguage.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "gui/pages/Prompts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vx {
namespace {
constexpr const char* Section = "View";
constexpr const char* Key = "Language";
} // namespace

void loadInterfaceLanguage(const QString& preferencesFile)
{
    std::string kept;
    try {
        kept = IniFile(preferencesFile.toStdString()).readString(Section, Key, "");
    } catch (...) {
        // the recent-files menu reports a bad preferences file
    }
    chooseInterfaceLanguage(kept == "en"       ? std::optional(Language::English)
                                : kept == "ja" ? std::optional(Language::Japanese)
                                               : std::nullopt);
}

void installQtTexts(QTranslator& translator)
{
    const QLocale locale =
        userLanguage() == Language::Japanese ? QLocale(QLocale::Japanese) : QLocale(QLocale::English);
    // English is Qt's own; no file to load.
    if (locale.language() == QLocale::Japanese &&
        translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

void keepInterfaceLanguage(IniFile* preferences, Prompts& prompts, std::optional<Language> language)
{
    if (!preferences)
        throw UserError(localized("設定ファイルがありません。", "There is no preferences file."));
    if (language)
        preferences->writeString(Section, Key, language == Language::English ? "en" : "ja");
    else
        preferences->removeValue(Section, Key);
    preferences->updateFile();
    // Told in the chosen language: the one the user reads from now on.
    if (language == Language::English)
        prompts.showMessage(QStringLiteral("The interface language changes to English at the next start."));
    else if (language)
        prompts.showMessage(QStringLiteral("次回の起動から表示言語が日本語になります。"));
    else if (systemLanguage() == Language::Japanese)
        prompts.showMessage(QStringLiteral("次回の起動から表示言語がシステムの設定 (日本"
                                           "語) に従います。"));
    else
        prompts.showMessage(QStringLiteral("From the next start the editor follows the system's language (English) "
                                           "for its messages; menus and labels stay in Japanese."));
}

} // namespace vx
