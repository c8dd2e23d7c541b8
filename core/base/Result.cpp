#include "core/base/Result.h"

#include "core/base/Language.h"

namespace vx {

std::string Error::text() const
{
    if (file.empty())
        return message;
    return file + ": " + (path.empty() ? "" : path + ": ") + sentence(message);
}

} // namespace vx
