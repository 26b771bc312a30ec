#pragma once
// Deterministic sample data shaped like the cartridge's compressed payloads, for codec tests
// and benchmarks. The same size and seed give the same bytes on every platform (own PRNG,
// no standard distributions).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel::testing {

// 4bpp GBA tile graphics: 32-byte 8 x 8 tiles (two pixels a byte, left pixel in the low
// nibble) with blank and solid tiles, row-coherent textures over small palettes, repeated
// and mirrored tiles. The last tile is cut off when size is not a multiple of 32.
std::vector<uint8_t> TileLikeData(size_t size, uint32_t seed);

// A minimap or tile map: 16-bit little-endian entries (tile number in bits 0-9, flips in
// bits 10-11, palette in bits 12-15), mostly one background entry with rectangular rooms
// drawn in a handful of tiles and palettes. An odd size cuts the last entry in half.
std::vector<uint8_t> MinimapLikeData(size_t size, uint32_t seed);

} // namespace quarnel::testing
