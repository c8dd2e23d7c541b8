#pragma once
#include <stdexcept>

namespace vx {

// A broken precondition is the caller's fault, not the user's: it is never shown as a message of
// the program's own and it stays checked in release builds, so a bad argument never reaches memory.
inline void expects(bool condition, const char* what)
{
    if (!condition)
        throw std::logic_error(what);
}

} // namespace vx
