#pragma once
// Shared by the Pelnix fuzz targets: exact-size heap buffers (so AddressSanitizer reports
// any access one byte outside) and the choice of a destination size from the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quarnel::fuzz {

// A heap buffer of exactly `size` bytes.
struct ExactBuffer {
    explicit ExactBuffer(size_t n) : size(n), data(new uint8_t[n]) {}
    ExactBuffer(const uint8_t* from, size_t n) : ExactBuffer(n) {
        if (n > 0) {
            std::memcpy(data.get(), from, n);
        }
    }
    size_t size;
    std::unique_ptr<uint8_t[]> data;
};

// Larger destinations only cost time: the decoder refuses them as too small.
constexpr size_t kMaxDestination = 1u << 20;

// The destination size picked by the first input byte: the declared size, one less, a few
// more, or a small fixed size (which is mostly too small).
inline size_t DestinationSize(uint8_t mode, uint32_t declared) {
    size_t size = 0;
    switch (mode & 3) {
    case 0:
        size = declared;
        break;
    case 1:
        size = declared == 0 ? 0 : declared - 1;
        break;
    case 2:
        size = static_cast<size_t>(declared) + (mode >> 2);
        break;
    default:
        size = mode >> 2;
        break;
    }
    return size > kMaxDestination ? kMaxDestination : size;
}

// Stops the run on a broken property, so libFuzzer saves the input.
inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace quarnel::fuzz
