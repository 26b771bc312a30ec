// The pieces every PNG file shares: its signature and its length-type-data-CRC chunks.

#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel {

inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Appends `value` most significant byte first, as PNG stores every number.
void AppendBe32(std::vector<uint8_t>& out, uint32_t value);

// Appends one chunk: length, type, data, CRC-32 of type and data.
void AppendPngChunk(std::vector<uint8_t>& out, const char (&type)[5],
                    std::span<const uint8_t> data);

} // namespace quarnel
