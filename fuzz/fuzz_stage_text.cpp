// Any text as a stage text of the sample. Reading must refuse or give a stage whose own
// text reads back to it; a stage the image takes must then be what the model holds and
// what the saved bytes hold when opened again.
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/SampleImage.h"
#include "core/text/StageText.h"

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
    const Result<StageText> read = readStageText(text, "fuzz.json");
    if (!read.ok()) {
        if (read.error().file != "fuzz.json" || read.error().message.empty())
            std::abort();
        return 0;
    }
    const Result<StageText> again = readStageText(stageTextToJson(read.value()), "again.json");
    if (!again.ok() || !again.value().sameStage(read.value()))
        std::abort();

    static RomImage rom(addresses());
    if (!rom.isLoaded() || rom.isModified())
        if (!rom.loadFromBytes(sample(), "sample.nes").ok())
            std::abort();
    if (!applyStageTexts(rom, {read.value()}).ok())
        return 0;
    const int stage = read.value().stage;
    // A table the text leaves to another file is not the text's to compare.
    const auto held = [&](const RomImage& image) {
        StageText text = stageTextOf(image, stage);
        text.heldElsewhere = read.value().heldElsewhere;
        text.palettesElsewhere = read.value().palettesElsewhere;
        emptyTablesHeldElsewhere(text);
        return text;
    };
    if (!held(rom).sameStage(read.value()))
        std::abort();
    RomImage reopened(addresses());
    if (!reopened.loadFromBytes(rom.editedImage(), "edited.nes").ok() || !held(reopened).sameStage(read.value()))
        std::abort();
    return 0;
}
