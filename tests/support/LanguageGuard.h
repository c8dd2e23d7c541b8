#pragma once
#include "core/Language.h"

namespace vx::test {

// Pins the user's language for one scope, then returns to the environment's.
class LanguageGuard {
public:
    explicit LanguageGuard(Language language) { ForceLanguage(language); }
    ~LanguageGuard() { ForceLanguage(std::nullopt); }
    LanguageGuard(const LanguageGuard&) = delete;
    LanguageGuard& operator=(const LanguageGuard&) = delete;
};

} // namespace vx::test
