#include "core/Language.h"

#include <cstdlib>
#include <cstring>

namespace vx {
namespace {
std::optional<Language> forcedLanguage;
}

Language userLanguage()
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

} // namespace vx
