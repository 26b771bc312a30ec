#include "graphics/Checksums.h"

#include <algorithm>
#include <array>

namespace quarnel {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr auto kCrcTable = MakeCrcTable();

constexpr uint32_t kAdlerModulus = 65521;
// The most bytes that can be summed before the 32-bit sums must be reduced.
constexpr size_t kAdlerRun = 5552;

} // namespace

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t running) {
    uint32_t c = running ^ 0xFFFFFFFFu;
    for (const uint8_t byte : bytes) {
        c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::span<const uint8_t> bytes, uint32_t running) {
    uint32_t a = running & 0xFFFF;
    uint32_t b = running >> 16;
    while (!bytes.empty()) {
        const size_t run = std::min(bytes.size(), kAdlerRun);
        for (const uint8_t byte : bytes.first(run)) {
            a += byte;
            b += a;
        }
        a %= kAdlerModulus;
        b %= kAdlerModulus;
        bytes = bytes.subspan(run);
    }
    return (b << 16) | a;
}

} // namespace quarnel
