#include "core/model/ColourUses.h"

#include "core/model/ChipEntry.h"
#include "core/model/StageData.h"
#include "core/model/TileSheet.h"

#include <array>

namespace vx {
namespace {

constexpr int Chip16Count = 64;

// Per 16x16 chip, bit n set where one of its four tiles has a pixel of colour n.
std::array<std::uint8_t, Chip16Count> coloursOfChips(const StageData& stage)
{
    std::array<std::uint8_t, PatternDataLength> pattern{};
    const PatternSources sources =
        patternSourcesOf(stage.patternTableSetting(), static_cast<std::int64_t>(stage.image().size()));
    workingPatternData(sources, stage.image(), stage.tileEdits(), pattern);
    std::array<std::uint8_t, Chip16Count> colours{};
    for (int tile = 0; tile < TileCount; ++tile) {
        const std::span<const std::uint8_t, TileLength> bytes(pattern.data() + TileTableLength + TileLength * tile,
                                                              TileLength);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                colours[static_cast<std::size_t>(tile / 4)] |= static_cast<std::uint8_t>(1 << tilePixel(bytes, x, y));
    }
    return colours;
}

// Whether a quarter's entry draws palette entry `entry` (0-15).
bool draws(std::uint8_t chipEntry, std::uint8_t colours, int entry)
{
    const ChipEntry quarter = ChipEntry::decode(chipEntry);
    if (entry == 0)
        return (colours & 1) != 0;
    return entry % 4 != 0 && quarter.palette == entry / 4 && (colours >> (entry % 4) & 1) != 0;
}

} // namespace

ColourUse colourUses(const StageData& stage, int entry)
{
    ColourUse use;
    if (entry < 0 || entry >= 16)
        return use;
    const auto colours = coloursOfChips(stage);
    const std::vector<std::uint8_t>& entries = stage.chip32x32();
    std::array<bool, ChipCount> drawing{};
    for (int position = 0; position < ChipEntryCount; ++position) {
        const std::uint8_t e = entries[static_cast<std::size_t>(position)];
        if (draws(e, colours[static_cast<std::size_t>(e & 0x3F)], entry)) {
            use.quarters.push_back({position / 4, position % 4});
            drawing[static_cast<std::size_t>(position / 4)] = true;
        }
    }
    for (int room = 0; room < RoomCount; ++room)
        for (const std::uint8_t cell : stage.mapRoom(room))
            if (drawing[cell]) {
                use.rooms.push_back(room);
                break;
            }
    const int frames = stage.paletteAnimeFrameCount();
    use.animated = frames >= 1 && frames <= 4 && stage.paletteAnimeFrameTimer() > 0;
    for (int frame = 0; use.animated && frame < frames; ++frame) {
        const std::uint8_t colour = stage.paletteAnimePalette()[static_cast<std::size_t>(frame * 16 + entry)];
        use.frames.push_back(colour);
        use.animationChanges = use.animationChanges || colour != stage.bgPalette()[static_cast<std::size_t>(entry)];
    }
    return use;
}

std::vector<int> unusedPaletteEntries(const StageData& stage)
{
    const auto colours = coloursOfChips(stage);
    std::array<bool, 16> used{};
    for (const std::uint8_t e : stage.chip32x32())
        for (int entry = 0; entry < 16; ++entry)
            used[static_cast<std::size_t>(entry)] =
                used[static_cast<std::size_t>(entry)] || draws(e, colours[static_cast<std::size_t>(e & 0x3F)], entry);
    std::vector<int> unused;
    for (int entry = 0; entry < 16; ++entry)
        if (!used[static_cast<std::size_t>(entry)])
            unused.push_back(entry);
    return unused;
}

} // namespace vx
