#pragma once
#include <optional>
#include <string>

namespace vx {

enum class Language { Japanese, English };

// The user's language, asked anew each time a text is made: Japanese when the first
// of LC_ALL, LC_MESSAGES, LANG that is set begins with "ja", English otherwise.
Language UserLanguage();

// Tests pin a language; std::nullopt returns to the environment.
void ForceLanguage(std::optional<Language> language);

inline bool IsJapanese() { return UserLanguage() == Language::Japanese; }

// Picks the text of the user's language.
inline std::string Tr(const char* japanese, const char* english)
{
    return IsJapanese() ? japanese : english;
}

} // namespace vx
