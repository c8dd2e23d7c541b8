#include "tests/support/Images.h"

#include "core/model/SampleImage.h"

#include <random>

namespace vx::test {

const AddressData& defaultAddresses()
{
    static SettingsFile settings(IniFile::fromText(""));
    static const AddressData addresses(settings);
    return addresses;
}

const std::vector<std::uint8_t>& sampleBytes()
{
    static const std::vector<std::uint8_t> bytes = makeSampleImage();
    return bytes;
}

std::vector<std::uint8_t> randomImage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    const std::uint8_t mark[4] = {'N', 'E', 'S', 0x1A};
    std::copy(std::begin(mark), std::end(mark), bytes.begin());
    return bytes;
}

std::unique_ptr<AddressData> addressesFrom(const std::string& settingsText)
{
    SettingsFile settings(IniFile::fromText(settingsText));
    return std::make_unique<AddressData>(settings);
}

} // namespace vx::test
