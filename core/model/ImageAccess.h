#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace vx {

// Bounded access to the image: bytes outside it read as zero and are never written.
// The image manager refuses images whose tables reach outside; this is the second guard.
void readFromImage(const std::vector<std::uint8_t>& image, std::int64_t address, std::span<std::uint8_t> out);
void writeToImage(std::vector<std::uint8_t>& image, std::int64_t address, std::span<const std::uint8_t> bytes);
std::uint8_t imageByte(const std::vector<std::uint8_t>& image, std::int64_t address);
void setImageByte(std::vector<std::uint8_t>& image, std::int64_t address, std::uint8_t value);
// Whether [address, address + length) lies inside an image of the given size.
bool rangeInside(std::int64_t address, std::int64_t length, std::int64_t imageSize);

} // namespace vx
