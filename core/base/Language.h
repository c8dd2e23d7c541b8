#pragma once
#include <optional>
#include <string>
#include <utility>

namespace vx {

enum class Language {
    Japanese,
    English
};

// The user's language, asked anew each time a text is made: the interface language the
// user chose, if any; else Japanese when the first of LC_ALL, LC_MESSAGES, LANG that is set
// begins with "ja", English otherwise.
Language userLanguage();
// The language of the environment (or the tests' pin), whatever the user chose.
Language systemLanguage();

// Tests pin a language; std::nullopt returns to the environment.
void forceLanguage(std::optional<Language> language);

// The interface language chosen in the preferences; std::nullopt keeps the captions Japanese
// and the other texts in the user's language.
void chooseInterfaceLanguage(std::optional<Language> language);
std::optional<Language> chosenInterfaceLanguage();

inline bool isJapanese() { return userLanguage() == Language::Japanese; }

// A caption that is Japanese whatever the locale, English only when the user chose English.
inline std::string captionText(const char* japanese, const char* english)
{
    return chosenInterfaceLanguage() == Language::English ? english : japanese;
}
inline std::string captionText(std::string japanese, std::string english)
{
    return chosenInterfaceLanguage() == Language::English ? std::move(english) : std::move(japanese);
}

// Picks the text of the user's language.
inline std::string localized(const char* japanese, const char* english) { return isJapanese() ? japanese : english; }
// The same for texts put together at run time.
inline std::string localized(std::string japanese, std::string english)
{
    return isJapanese() ? std::move(japanese) : std::move(english);
}

// The text with a full stop in the user's language, unless it ends in one already.
std::string sentence(std::string text);

// An English count with its noun in the right number: "1 map", "3 maps".
std::string englishCount(int count, const char* one, const char* many);

} // namespace vx
