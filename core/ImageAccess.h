#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace vx {

// Bounded access to the image: bytes outside it read as zero and are never written.
// The image manager refuses images whose tables reach outside; this is the second guard.
void ReadFromImage(const std::vector<std::uint8_t>& image, std::int64_t address,
                   std::span<std::uint8_t> out);
void WriteToImage(std::vector<std::uint8_t>& image, std::int64_t address,
                  std::span<const std::uint8_t> bytes);
std::uint8_t ImageByte(const std::vector<std::uint8_t>& image, std::int64_t address);
void SetImageByte(std::vector<std::uint8_t>& image, std::int64_t address, std::uint8_t value);
// Whether [address, address + length) lies inside an image of the given size.
bool RangeInside(std::int64_t address, std::int64_t length, std::int64_t imageSize);

} // namespace vx
