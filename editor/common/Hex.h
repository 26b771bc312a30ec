#pragma once
// Numbers as the editor shows them: upper-case hexadecimal without leading zeros unless a
// width is asked for; and the reading of typed numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// "1A5" for 0x1A5, "0" for 0.
std::string ToHex(uint64_t value);

// The rightmost `width` digits of the value, zero-filled on the left ("00F2C8").
std::string ToHexWidth(uint64_t value, int width);

// Reads text as a hexadecimal number (digits only, either case; surrounding blanks are
// ignored). Empty text or any other character gives nothing.
std::optional<uint32_t> ParseHex(std::string_view text);

// Reads a decimal number, or a hexadecimal one with a 0x prefix.
std::optional<uint64_t> ParseNumber(std::string_view text);

} // namespace quarnel
