#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The one conversion of typed or stored hexadecimal text: digits 0-9, A-F, a-f only
// (no prefix, sign or blank), at least one, value within 32 bits. Anything else fails.
std::optional<std::uint32_t> parseHex(std::string_view text);

// Upper-case hexadecimal without prefix, at least minDigits digits.
std::string formatHex(std::uint32_t value, int minDigits = 1);

// Decimal integer with an optional sign, within 32 bits; anything else fails.
std::optional<std::int32_t> parseDecimal(std::string_view text);

// A count in decimal with a comma every three digits ("1,048,576"), as sizes are told to the user.
std::string groupedDecimal(std::uint64_t value);

// Drops blanks and control characters (bytes up to 0x20) at both ends.
std::string_view trimBlanks(std::string_view text);

} // namespace vx
