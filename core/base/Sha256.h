#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vx {

// SHA-256 of the bytes: a project names its base image by it, and a build its result.
std::array<std::uint8_t, 32> sha256(std::span<const std::uint8_t> bytes);
// The same as 64 lower-case hex digits, as sha256sum prints it.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace vx
