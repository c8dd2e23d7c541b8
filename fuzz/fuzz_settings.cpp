// Any bytes as the settings file: read, resolve the 434 values, write the file, and read
// it again. The written file must be a fixed point: it resolves to the same values and
// writes the same text.
#include "core/AddressData.h"
#include "core/Errors.h"
#include "core/MyIniFiles.h"
#include "fuzz/FuzzSupport.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = fuzz::ScratchPath("settings.ini");
    // Bytes that no settings file holds (NUL, the image mark) are refused when read.
    if (NotSettingsText(std::span(data, size)))
        return 0;
    TMyMemIniFile settings(TMemIniFile::FromText(
        std::string_view(reinterpret_cast<const char*>(data), size), path));
    TAddressData first(settings);
    try {
        settings.UpdateFile();
    } catch (const VxError&) {
        return 0;
    }
    TMyMemIniFile reread(path);
    TAddressData second(reread);
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int k = 0; k < TableKeyCount; ++k)
            if (first.Address(static_cast<TableKey>(k), stage) !=
                second.Address(static_cast<TableKey>(k), stage))
                std::abort();
        if (first.DefaultStartPoint(stage) != second.DefaultStartPoint(stage) ||
            first.Default32x32ChipEditPage(stage) != second.Default32x32ChipEditPage(stage))
            std::abort();
    }
    if (reread.GetText() != settings.GetText())
        std::abort();
    return 0;
}
