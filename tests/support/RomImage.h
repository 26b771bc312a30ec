#pragma once
// A ROM image built in memory for tests and benchmarks: zero bytes with little-endian values
// placed at file offsets, written to a file with TempFolder::WriteFile. Also the simplest
// valid LZ77 stream, which holds its data as literals only.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarnel::testing {

struct RomImage {
    std::vector<uint8_t> bytes;

    explicit RomImage(size_t size) : bytes(size, 0) {}

    // Each write grows the image when it reaches past the end.
    void Put8(size_t offset, uint8_t value);
    void Put16(size_t offset, uint16_t value);
    void Put32(size_t offset, uint32_t value);
    void PutBytes(size_t offset, std::span<const uint8_t> data);
};

// The GbaPointer of a file offset.
constexpr uint32_t Pointer(size_t offset) {
    return static_cast<uint32_t>(offset) + 0x08000000u;
}

// A BIOS LZ77 stream of `data`: header 0x10 and the size, then groups of a 0x00 flag byte
// and eight literal bytes (the last group holds what is left).
std::vector<uint8_t> LiteralLz77(std::span<const uint8_t> data);

} // namespace quarnel::testing
