#pragma once
// Synthetic inputs shaped like the LZ77 data the editor writes back, made from a seed so
// that tests and benchmarks see the same bytes on every run. No game data is involved.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel::testing {

// 4bpp tile graphics: 32-byte 8x8 tiles, two pixels per byte, low nibble first. A mix of
// blank tiles, flat tiles, copies of earlier tiles and textured tiles drawn from a few
// colours with repeated rows, as tilesets tend to be. `size` need not be a multiple of 32.
std::vector<uint8_t> EditorTileData(size_t size, uint32_t seed);

// Minimap entries: 16-bit little-endian tile references (tile number in bits 0-9, flips in
// bits 10-11, palette in bits 12-15) on a grid 32 entries wide, mostly one blank entry with
// rectangular rooms of wall, floor and door tiles drawn over it.
std::vector<uint8_t> EditorMinimapData(size_t size, uint32_t seed);

} // namespace quarnel::testing
