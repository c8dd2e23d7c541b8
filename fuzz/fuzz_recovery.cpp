// Any bytes as a recovery file, with the checksum made to match so the fields themselves are
// reached: the reader never reads past them, and a record it takes applies to the sample
// without fault.
#include "core/AddressData.h"
#include "core/DiskStamp.h"
#include "core/IniFile.h"
#include "core/Recovery.h"
#include "core/RomImage.h"
#include "core/SampleImage.h"

#include <cstdlib>
#include <vector>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SettingsFile settings(IniFile::fromText(""));
    static const AddressData addresses(settings);
    static const std::vector<std::uint8_t> sample = makeSampleImage();
    std::vector<std::uint8_t> bytes(data, data + size);
    const std::uint64_t hash = hashOfBytes(bytes);
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<std::uint8_t>(hash >> (8 * i)));
    std::string reason;
    const auto record = decodeRecovery(bytes, &reason);
    if (!record) {
        if (reason.empty())
            std::abort();
        return 0;
    }
    RomImage rom(addresses);
    if (!rom.loadFromBytes(sample, record->imagePath))
        std::abort();
    applyRecovery(rom, *record);
    return 0;
}
