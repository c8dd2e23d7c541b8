// Any bytes as either name list: at least 56 attribute names and exactly 256 object names,
// each trimmed, none empty and none a comment line.
#include "core/files/NameLists.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

void checkNames(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        if (name.empty() || name.front() == ';' || static_cast<unsigned char>(name.front()) <= 0x20 ||
            static_cast<unsigned char>(name.back()) <= 0x20 || name.find_first_of("\r\n") != std::string::npos)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto attributes = chipAttributeNamesFromText(text);
    const auto objects = objectNamesFromText(text);
    if (attributes.size() < MinChipAttributeNames || objects.size() != ObjectNameCount)
        std::abort();
    checkNames(attributes);
    checkNames(objects);
    return 0;
}
