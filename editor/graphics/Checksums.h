#pragma once
// The two checksums of a PNG file: CRC-32 (ISO 3309, as in PNG chunks and zlib's gzip) and
// Adler-32 (the zlib stream trailer). Both can be run over data in pieces: pass the previous
// result as `running` (start with the default).

#include <cstdint>
#include <span>

namespace quarnel {

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t running = 0);
uint32_t Adler32(std::span<const uint8_t> bytes, uint32_t running = 1);

} // namespace quarnel
