#include "core/files/DataFiles.h"

#include <filesystem>

namespace vx {

std::string findDataFolder(const std::string& programFolder)
{
    const std::filesystem::path folder(programFolder);
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / "fcpalette.pal", error))
        return programFolder;
    return (folder / ".." / "share" / "vexalon2editor").lexically_normal().string();
}

} // namespace vx
