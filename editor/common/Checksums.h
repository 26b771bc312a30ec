#pragma once
// CRC-32 (ISO 3309: PNG chunks, zlib's gzip, BPS patches) and Adler-32 (the zlib stream
// trailer), computed by zlib. Both can be run over data in pieces: pass the previous result
// as `running` (start with the default).

#include <cstdint>
#include <span>

namespace quarnel {

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t running = 0);
uint32_t Adler32(std::span<const uint8_t> bytes, uint32_t running = 1);

} // namespace quarnel
