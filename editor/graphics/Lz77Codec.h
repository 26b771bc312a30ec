#pragma once
// The editor's own LZ77 codec for the cartridge's BIOS LZ77 streams (tileset graphics,
// minimaps). It does not use Pelnix: the editor binds only Pelnix's RLComp.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarnel {

// Decodes the stream in `source` into `destination` and returns the decompressed size
// declared by the 4-byte header (bits 8-31; the type byte is not checked). Decoding stops
// exactly at that size, also inside a match. A byte that would be read from outside
// `source` or written outside `destination` is skipped while decoding goes on, so a short
// or corrupt stream never touches memory outside the two spans: a missing header byte
// counts as zero, a missing flag or match byte keeps the value last read, a missing literal
// and a match byte from before the start of the output leave their destination byte as it
// was. The work done is bounded by the destination's size, whatever size the header claims.
uint32_t DecompressLZ77(std::span<const uint8_t> source, std::span<uint8_t> destination);

// How many bytes of `source` the stream at its start occupies, header included: the bytes
// the decoder reads to produce the size its header declares (a stream that declares 0 bytes
// is its 4-byte header). Nothing when the type byte is not 0x10 or the stream runs past the
// end of `source`. Finds where stored data ends without decoding it into memory.
std::optional<size_t> Lz77StreamLength(std::span<const uint8_t> source);

// Worst-case stream length for `size` input bytes: 4 + size + ceil(size / 8).
size_t Lz77MaxCompressedSize(size_t size);

// Encodes `source` into `destination` and returns the stream length, header included.
// `destination` must hold Lz77MaxCompressedSize(source.size()) bytes; a smaller one gets
// nothing written and the result 0. Inputs above 0xFFFFFF bytes do not fit the header and
// also give 0. Among equally long matches the farthest distance wins, distance 1 is never
// used, and a match that runs to the end of the input counts one byte short, so the last
// input byte is never covered by a match that reaches it.
uint32_t CompressLZ77(std::span<const uint8_t> source, std::span<uint8_t> destination);

// Convenience form: the encoded stream as a vector of exactly the stream's length.
std::vector<uint8_t> CompressLZ77(std::span<const uint8_t> source);

} // namespace quarnel
