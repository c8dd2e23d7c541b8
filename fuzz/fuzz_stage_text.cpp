// Any text as a stage text of the sample. Reading must refuse or give a stage whose own
// text reads back to it; a stage the image takes must then be what the model holds and
// what the saved bytes hold when opened again.
#include "core/AddressData.h"
#include "core/RomImage.h"
#include "core/SampleImage.h"
#include "core/StageText.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

const AddressData& addresses()
{
    static SettingsFile settings(IniFile::fromText(""));
    static const AddressData addresses(settings);
    return addresses;
}

const std::vector<std::uint8_t>& sample()
{
    static const std::vector<std::uint8_t> bytes = makeSampleImage();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const StageTextResult read = readStageText(text, "fuzz.json");
    if (!read) {
        if (read.refusal.file != "fuzz.json" || read.refusal.reason.empty())
            std::abort();
        return 0;
    }
    const StageTextResult again = readStageText(stageTextToJson(*read.text), "again.json");
    if (!again || !again.text->sameStage(*read.text))
        std::abort();

    static RomImage rom(addresses());
    if (!rom.isLoaded() || rom.isModified())
        rom.loadFromBytes(sample(), "sample.nes");
    if (applyStageTexts(rom, {*read.text}))
        return 0;
    const int stage = read.text->stage;
    if (!stageTextOf(rom, stage).sameStage(*read.text))
        std::abort();
    RomImage reopened(addresses());
    if (!reopened.loadFromBytes(rom.editedImage(), "edited.nes") ||
        !stageTextOf(reopened, stage).sameStage(*read.text))
        std::abort();
    return 0;
}
