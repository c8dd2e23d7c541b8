#pragma once
#include <QString>
#include <optional>

class QTranslator;

namespace vx {

class IniFile;
class Prompts;
enum class Language;

// Chooses the interface language kept in the preferences ([View] Language: "ja" or "en");
// none keeps the captions Japanese and other texts in the locale's language. Called before
// any window is made: captions are made once, with the window.
void loadInterfaceLanguage(const QString& preferencesFile);
// Qt's own texts (message box buttons, file dialogs) in the language the editor speaks.
void installQtTexts(QTranslator& translator);
// Keeps the user's choice (none: follow the system, the key removed); it takes effect at the
// next start, which the user is told.
void keepInterfaceLanguage(IniFile* preferences, Prompts& prompts, std::optional<Language> language);

} // namespace vx
