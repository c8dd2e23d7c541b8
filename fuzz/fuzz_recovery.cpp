// Any bytes as a recovery file, with the checksum made to match so the fields themselves are
// reached: the reader never reads past them, and a record it takes applies to the sample
// without fault.
#include "core/AddressData.h"
#include "core/DiskStamp.h"
#include "core/MyIniFiles.h"
#include "core/Recovery.h"
#include "core/RomImgManager.h"
#include "core/SampleImage.h"

#include <cstdlib>
#include <vector>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TMyMemIniFile settings(TMemIniFile::FromText(""));
    static const TAddressData addresses(settings);
    static const std::vector<std::uint8_t> sample = MakeSampleImage();
    std::vector<std::uint8_t> bytes(data, data + size);
    const std::uint64_t hash = HashOfBytes(bytes);
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<std::uint8_t>(hash >> (8 * i)));
    std::string reason;
    const auto record = DecodeRecovery(bytes, &reason);
    if (!record) {
        if (reason.empty())
            std::abort();
        return 0;
    }
    TRomImgManager rom(addresses);
    if (!rom.LoadFromBytes(sample, record->imagePath))
        std::abort();
    ApplyRecovery(rom, *record);
    return 0;
}
