#include "tests/support/Images.h"

#include "core/SampleImage.h"

#include <random>

namespace vx::test {

const TAddressData& DefaultAddresses()
{
    static TMyMemIniFile settings(TMemIniFile::FromText(""));
    static const TAddressData addresses(settings);
    return addresses;
}

const std::vector<std::uint8_t>& SampleBytes()
{
    static const std::vector<std::uint8_t> bytes = MakeSampleImage();
    return bytes;
}

std::vector<std::uint8_t> RandomImage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    const std::uint8_t mark[4] = {'N', 'E', 'S', 0x1A};
    std::copy(std::begin(mark), std::end(mark), bytes.begin());
    return bytes;
}

std::unique_ptr<TAddressData> AddressesFrom(const std::string& settingsText)
{
    TMyMemIniFile settings(TMemIniFile::FromText(settingsText));
    return std::make_unique<TAddressData>(settings);
}

} // namespace vx::test
