#pragma once
#include <optional>
#include <string>
#include <utility>

namespace vx {

enum class Language {
    Japanese,
    English
};

// The user's language, asked anew each time a text is made: Japanese when the first
// of LC_ALL, LC_MESSAGES, LANG that is set begins with "ja", English otherwise.
Language userLanguage();

// Tests pin a language; std::nullopt returns to the environment.
void forceLanguage(std::optional<Language> language);

inline bool isJapanese() { return userLanguage() == Language::Japanese; }

// Picks the text of the user's language.
inline std::string localized(const char* japanese, const char* english)
{
    return isJapanese() ? japanese : english;
}
// The same for texts put together at run time.
inline std::string localized(std::string japanese, std::string english)
{
    return isJapanese() ? std::move(japanese) : std::move(english);
}

// The text with a full stop in the user's language, unless it ends in one already.
std::string sentence(std::string text);

} // namespace vx
