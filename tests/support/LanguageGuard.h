#pragma once
#include "core/base/Language.h"

namespace vx::test {

// Pins the user's language for one scope, then returns to the environment's.
class LanguageGuard {
public:
    explicit LanguageGuard(Language language) { forceLanguage(language); }
    ~LanguageGuard() { forceLanguage(std::nullopt); }
    LanguageGuard(const LanguageGuard&) = delete;
    LanguageGuard& operator=(const LanguageGuard&) = delete;
};

} // namespace vx::test
