// Any bytes as the settings file: read, resolve the 434 values, write the file, and read
// it again. The written file must be a fixed point: it resolves to the same values and
// writes the same text.
#include "core/base/Errors.h"
#include "core/files/IniFile.h"
#include "core/model/AddressData.h"
#include "fuzz/FuzzSupport.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz::scratchPath("settings.ini");
    // Bytes that no settings file holds (NUL, the image mark) are refused when read.
    if (!checkSettingsBytes(std::span(data, size)).ok())
        return 0;
    SettingsFile settings(IniFile::fromText(std::string_view(reinterpret_cast<const char*>(data), size), path));
    AddressData first(settings);
    try {
        settings.updateFile();
    } catch (const UserError&) {
        return 0;
    }
    SettingsFile reread(path);
    AddressData second(reread);
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k)
            if (first.address(static_cast<TableKey>(k), stage) != second.address(static_cast<TableKey>(k), stage))
                std::abort();
        if (first.defaultStartPoint(stage) != second.defaultStartPoint(stage) ||
            first.default32x32ChipEditPage(stage) != second.default32x32ChipEditPage(stage))
            std::abort();
    }
    if (reread.getText() != settings.getText())
        std::abort();
    return 0;
}
