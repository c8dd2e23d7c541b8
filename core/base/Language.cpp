#include "core/base/Language.h"

#include <cstdlib>
#include <cstring>

namespace vx {
namespace {
std::optional<Language> forcedLanguage;
std::optional<Language> interfaceLanguage;
} // namespace

Language userLanguage()
{
    if (forcedLanguage)
        return *forcedLanguage;
    if (interfaceLanguage)
        return *interfaceLanguage;
    return systemLanguage();
}

Language systemLanguage()
{
    if (forcedLanguage)
        return *forcedLanguage;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? Language::Japanese : Language::English;
    }
    return Language::English;
}

void forceLanguage(std::optional<Language> language) { forcedLanguage = language; }

void chooseInterfaceLanguage(std::optional<Language> language) { interfaceLanguage = language; }

std::optional<Language> chosenInterfaceLanguage() { return interfaceLanguage; }

std::string englishCount(int count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string sentence(std::string text)
{
    const auto endsWith = [&](std::string_view stop) {
        return text.size() >= stop.size() && text.compare(text.size() - stop.size(), stop.size(), stop) == 0;
    };
    if (!text.empty() && !endsWith(".") && !endsWith("。"))
        text += localized("。", ".");
    return text;
}

} // namespace vx
