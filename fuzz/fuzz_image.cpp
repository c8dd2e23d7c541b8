// Settings text and image bytes together: resolve the addresses, open the image (which
// must refuse tables outside it), build the 14 stages, apply edits the input chooses, undo
// some, and write every area back. Nothing may read or write outside the image, and the
// image keeps its size.
//
// Input: [settings length: 2 bytes][settings text][flags: 1 byte][image pattern ...]
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t settingsLength = std::min<std::size_t>(size - 3, data[0] | (data[1] << 8));
    const std::string_view settingsText(reinterpret_cast<const char*>(data + 2), settingsLength);
    const std::uint8_t flags = data[2 + settingsLength];
    const std::uint8_t* pattern = data + 3 + settingsLength;
    const std::size_t patternSize = size - 3 - settingsLength;

    SettingsFile settings(IniFile::fromText(settingsText));
    const AddressData addresses(settings);

    // Sizes around both ends of the accepted range, filled with the input's bytes.
    static const std::size_t sizes[4] = {0x40010, 0x4000F, 0x100040, 0x60010};
    std::vector<std::uint8_t> image(sizes[flags & 3], 0);
    for (std::size_t i = 0; patternSize > 0 && i < image.size(); ++i)
        image[i] = pattern[i % patternSize];
    if (!(flags & 4)) {
        const std::uint8_t mark[4] = {'N', 'E', 'S', 0x1A};
        std::copy(std::begin(mark), std::end(mark), image.begin());
    }

    RomImage rom(addresses);
    if (const Result<void> loaded = rom.loadFromBytes(image, "fuzz.nes"); !loaded.ok()) {
        if (loaded.error().message.empty())
            std::abort();
        return 0;
    }
    const std::size_t loadedSize = rom.imageBytes().size();
    for (std::size_t i = 0; i + 3 < patternSize && i < 64 * 4; i += 4) {
        StageData& stage = rom.stage(pattern[i] % StageCount);
        const int position = pattern[i + 1] | (pattern[i + 2] << 4);
        const std::uint8_t value = pattern[i + 3];
        switch (pattern[i] / StageCount % 8) {
        case 0: stage.setMapChip(position, value); break;
        case 1: stage.setChipEntry(position, value); break;
        case 2: stage.setPaletteColor(position % 40, value); break;
        case 3: stage.setScrollData(position % 40, value); break;
        case 4:
            stage.addObject(stage.enemyObjects(), {static_cast<std::uint8_t>(value % 50), value, value, value},
                            value & 1);
            break;
        case 5:
            stage.setRestartPointStartRoom(position % RestartPointCount, value);
            stage.recalcRestartPoint(position % RestartPointCount);
            break;
        case 6: stage.undo(); break;
        default: stage.redo(); break;
        }
    }
    for (int n = 0; n < StageCount; ++n) {
        for (int flag = 0; flag < EditedFlagData::FlagCount; ++flag)
            rom.stage(n).editedFlags().set(flag, true);
        rom.stage(n).writeBack();
    }
    if (rom.imageBytes().size() != loadedSize)
        std::abort();
    return 0;
}
