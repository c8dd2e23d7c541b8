// Any pattern-table setting over any image: the 8192 bytes are filled from inside the
// image only, and an overflow warns once at the most.
//
// Input: [setting: 256 bytes][image size selector: 1 byte][image pattern ...]
#include "render/PatternData.h"

#include <cstdlib>
#include <cstring>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::array<std::uint8_t, 256> setting{};
    std::memcpy(setting.data(), data, std::min<std::size_t>(size, 256));
    const std::uint8_t selector = size > 256 ? data[256] : 0;
    const std::uint8_t* pattern = size > 257 ? data + 257 : nullptr;
    const std::size_t patternSize = size > 257 ? size - 257 : 0;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(selector) * 0x1000 + 0x10, 0);
    for (std::size_t i = 0; pattern && i < image.size(); ++i)
        image[i] = pattern[i % patternSize];
    std::array<std::uint8_t, 8192> out{};
    int warnings = 0;
    buildPatternData(setting, image, static_cast<std::int32_t>(selector) << 8, out, [&](const std::string& text) {
        if (text.empty())
            std::abort();
        ++warnings;
    });
    if (warnings > 1)
        std::abort();
    return 0;
}
