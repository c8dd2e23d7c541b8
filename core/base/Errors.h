#pragma once
#include "core/base/Language.h"
#include "core/base/Result.h"

#include <stdexcept>
#include <string>

namespace vx {

// An error whose message is ready for the user, already in the user's language.
class UserError : public std::runtime_error {
public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
    // The same failure as a result's error, for callers that return one.
    Error error() const { return Error{what()}; }
};

// What a failed allocation (std::bad_alloc, libpng's) tells the user, in the user's language.
inline std::string outOfMemoryMessage() { return localized("メモリが足りません。", "Out of memory."); }

} // namespace vx
