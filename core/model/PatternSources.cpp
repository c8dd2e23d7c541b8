#include "core/model/PatternSources.h"

namespace vx {

std::int64_t patternSourceOffset(std::uint8_t high, std::uint8_t bank)
{
    return 0x10 + static_cast<std::int64_t>(bank) * 0x4000 + static_cast<std::int64_t>(high) * 0x100 - 0x8000;
}

PatternSources patternSourcesOf(std::span<const std::uint8_t, 256> setting, std::int64_t imageSize)
{
    PatternSources sources;
    sources.offsets.fill(PatternSources::Zero);
    std::size_t position = 0;
    const int count = setting[0];
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(i);
        if (at + 3 > setting.size())
            break; // the list holds at most 85 entries
        std::size_t pages = setting[at + 1];
        sources.overflow = position + pages * 256 > sources.offsets.size();
        if (sources.overflow)
            pages = (sources.offsets.size() - position) / 256;
        const std::int64_t from = patternSourceOffset(setting[at], setting[at + 2]);
        for (std::size_t k = 0; k < pages * 256; ++k) {
            const std::int64_t offset = from + static_cast<std::int64_t>(k);
            if (offset >= 0 && offset < imageSize)
                sources.offsets[position + k] = static_cast<std::int32_t>(offset);
        }
        position += pages * 256;
        if (sources.overflow)
            break;
    }
    return sources;
}

} // namespace vx
