#include "core/files/NameLists.h"

#include "core/base/HexText.h"
#include "core/files/InputFile.h"

namespace vx {
namespace {

std::string fileText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = readInputFile(path, InputKind::Text);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

std::vector<std::string> readNameLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = trimBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.front() != ';')
            names.emplace_back(line);
    }
    return names;
}

std::vector<std::string> chipAttributeNamesFromText(std::string_view text)
{
    std::vector<std::string> names = readNameLines(text);
    while (names.size() < MinChipAttributeNames)
        names.emplace_back("????????");
    return names;
}

std::vector<std::string> objectNamesFromText(std::string_view text)
{
    std::vector<std::string> names = readNameLines(text);
    if (names.size() > ObjectNameCount)
        names.resize(ObjectNameCount);
    while (names.size() < ObjectNameCount)
        names.push_back(formatHex(static_cast<std::uint32_t>(names.size()), 2));
    return names;
}

std::vector<std::string> loadChipAttributeNames(const std::string& path)
{
    return chipAttributeNamesFromText(fileText(path));
}

std::vector<std::string> loadObjectNames(const std::string& path) { return objectNamesFromText(fileText(path)); }

} // namespace vx
