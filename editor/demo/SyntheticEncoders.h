#pragma once
// The synthetic ROM builder's own encoders for the two compressed forms it writes. They are
// written independently of the editor's codecs and of Pelnix, so tests of the editor's
// decoders read data that those decoders' counterparts did not produce.

#include "rom/RoomLayer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel::synthetic {

// A GBA BIOS LZ77 stream (type 0x10 header with the decoded size, flag bytes MSB first,
// back references of 3-18 bytes at distances 2-4096). Aims for correctness over size; the
// stream is padded with zeros to a multiple of 4 bytes, as the console's DMA copies want.
std::vector<uint8_t> EncodeLz77(std::span<const uint8_t> data);

// How one pass of a stored room layer writes its counts: the pass's type byte.
enum class CountWidth : uint8_t {
    Byte = 1, // 8-bit counts: bit 7 run, 7-bit length
    Word = 2, // 16-bit big-endian counts: bit 15 run, 15-bit length
};

struct LayerEncoding {
    CountWidth low = CountWidth::Byte;  // pass 0 (low bytes; clipdata's only pass)
    CountWidth high = CountWidth::Byte; // pass 1 (high bytes of 16-bit layers)
    int minRun = 3;                     // shortest repeat written as a run (2 or 3)
};

// A room layer in its stored form: width, height, then one pass of low bytes (clipdata) or
// two passes, low bytes then high bytes (tile layers). Every pass covers all cells and ends
// with a zero count.
std::vector<uint8_t> EncodeRoomLayer(const RoomLayer& layer, bool sixteenBit,
                                     const LayerEncoding& encoding);

} // namespace quarnel::synthetic
