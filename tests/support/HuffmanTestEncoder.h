#pragma once
// A BIOS Huffman encoder for tests: it makes the streams that Pelnix's HuffUnComp decodes.
//
// The tree table is laid out breadth-first, so a node's children lie at most one level's
// width after it; the 6-bit child offsets then fit for alphabets up to about 60 symbols
// (all 16 of the 4-bit case always fit). A data set with one distinct symbol gets a root
// with that symbol as both children. The bit stream starts 4-byte aligned, as the BIOS
// needs.

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel::testing {

// Encodes `data` with 4-bit (low nibble of each byte first) or 8-bit symbols. Throws
// std::invalid_argument for another symbol width, a size above 0xFFFFFF or a tree whose
// child offsets do not fit 6 bits.
std::vector<uint8_t> HuffmanEncode(std::span<const uint8_t> data, int symbolBits);

} // namespace quarnel::testing
