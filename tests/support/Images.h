#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/AddressData.h"

namespace vx::test {

// The address table of an empty settings file: every default.
const AddressData& defaultAddresses();
// The sample image, made once.
const std::vector<std::uint8_t>& sampleBytes();
// Random bytes behind an iNES mark, the same for the same seed.
std::vector<std::uint8_t> randomImage(std::size_t size, unsigned seed);
// An address table from settings text.
std::unique_ptr<AddressData> addressesFrom(const std::string& settingsText);

} // namespace vx::test
