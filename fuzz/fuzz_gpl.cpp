// Any text as a GIMP palette, asking for no colours and for 32: never a throw, a refusal
// always says why, the two answers agree, and an accepted palette written out reads back
// with the same colours and names (a carriage return inside a name becomes a space).
#include "core/files/GimpPalette.h"

#include <algorithm>
#include <cstdlib>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Result<std::vector<PaletteFileColour>> any = readGimpPalette(text, 0);
    const Result<std::vector<PaletteFileColour>> many = readGimpPalette(text, 32);
    if ((!any.ok() && any.error().message.empty()) || (!many.ok() && many.error().message.empty()))
        std::abort();
    if (many.ok() != (any.ok() && any.value().size() >= 32))
        std::abort();
    if (!any.ok())
        return 0;

    std::vector<PaletteFileColour> colours = any.value();
    const std::string written = writeGimpPalette(text.substr(0, 20), colours);
    const Result<std::vector<PaletteFileColour>> again = readGimpPalette(written, colours.size());
    if (!again.ok() || again.value().size() != colours.size())
        std::abort();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        std::replace(colours[i].name.begin(), colours[i].name.end(), '\r', ' ');
        if (colours[i].rgb > 0xFFFFFF || again.value()[i].rgb != colours[i].rgb ||
            again.value()[i].name != colours[i].name)
            std::abort();
    }
    if (writeGimpPalette(text.substr(0, 20), again.value()) != written)
        std::abort();
    return 0;
}
