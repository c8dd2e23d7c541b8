#include "core/model/TileEdits.h"

#include "core/model/ImageAccess.h"

namespace vx {

std::uint8_t TileEdits::byteAt(const std::vector<std::uint8_t>& image, std::int64_t offset) const
{
    const auto found = bytes_.find(offset);
    return found != bytes_.end() ? found->second : imageByte(image, offset);
}

void TileEdits::writeInto(std::vector<std::uint8_t>& image) const
{
    for (const auto& [offset, value] : bytes_)
        setImageByte(image, offset, value);
}

void TileEdits::overlay(const PatternSources& sources, std::span<std::uint8_t, PatternDataLength> patternData) const
{
    if (bytes_.empty())
        return;
    for (std::size_t p = 0; p < sources.offsets.size(); ++p)
        if (const std::int32_t offset = sources.offsets[p]; offset != PatternSources::Zero)
            if (const auto found = bytes_.find(offset); found != bytes_.end())
                patternData[p] = found->second;
}

void workingPatternData(const PatternSources& sources, const std::vector<std::uint8_t>& image, const TileEdits& edits,
                        std::span<std::uint8_t, PatternDataLength> out)
{
    for (std::size_t p = 0; p < out.size(); ++p) {
        const std::int32_t offset = sources.offsets[p];
        out[p] = offset == PatternSources::Zero ? 0 : imageByte(image, offset);
    }
    edits.overlay(sources, out);
}

} // namespace vx
