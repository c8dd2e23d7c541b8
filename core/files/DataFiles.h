#pragma once
#include <string>

namespace vx {

// The folder of the data files (fcpalette.pal, ChipAttributeList.txt, ObjectList.txt) for a
// program in `programFolder`: that folder when fcpalette.pal is there (a build, a copy
// unpacked anywhere), else ../share/vexalon2editor beside it (an install), without "..".
std::string findDataFolder(const std::string& programFolder);

} // namespace vx
