// Any bytes as a recovery file, with the checksum made to match so the fields themselves are
// reached: the reader never reads past them, and a record it takes applies to the sample
// without fault.
#include "core/files/DiskStamp.h"
#include "core/files/IniFile.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/SampleImage.h"
#include "core/text/Recovery.h"

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
    const Result<RecoveryRecord> record = decodeRecovery(bytes);
    if (!record.ok()) {
        if (record.error().message.empty())
            std::abort();
        return 0;
    }
    RomImage rom(addresses);
    if (!rom.loadFromBytes(sample, record.value().imagePath).ok())
        std::abort();
    // Refused or applied: either is an answer; only a crash is not.
    (void)applyRecovery(rom, record.value()).ok();
    return 0;
}
