// Any text as a stage text of the sample. Reading must refuse or give a stage whose own
// text reads back to it; a stage the image takes must then be what the model holds and
// what the saved bytes hold when opened again.
#include "core/AddressData.h"
#include "core/RomImgManager.h"
#include "core/SampleImage.h"
#include "core/StageText.h"

#include <cstdlib>
#include <string_view>

using namespace vx;

namespace {

const TAddressData& Addresses()
{
    static TMyMemIniFile settings(TMemIniFile::FromText(""));
    static const TAddressData addresses(settings);
    return addresses;
}

const std::vector<std::uint8_t>& Sample()
{
    static const std::vector<std::uint8_t> bytes = MakeSampleImage();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TStageTextResult read = ReadStageText(text, "fuzz.json");
    if (!read) {
        if (read.refusal.file != "fuzz.json" || read.refusal.reason.empty())
            std::abort();
        return 0;
    }
    const TStageTextResult again = ReadStageText(StageTextToJson(*read.text), "again.json");
    if (!again || !again.text->SameStage(*read.text))
        std::abort();

    static TRomImgManager rom(Addresses());
    if (!rom.IsLoaded() || rom.IsModified())
        rom.LoadFromBytes(Sample(), "sample.nes");
    if (ApplyStageTexts(rom, {*read.text}))
        return 0;
    const int stage = read.text->stage;
    if (!StageTextOf(rom, stage).SameStage(*read.text))
        std::abort();
    TRomImgManager reopened(Addresses());
    if (!reopened.LoadFromBytes(rom.EditedImage(), "edited.nes") ||
        !StageTextOf(reopened, stage).SameStage(*read.text))
        std::abort();
    return 0;
}
