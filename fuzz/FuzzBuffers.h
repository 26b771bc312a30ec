#pragma once
// Shared by the Pelnix fuzz targets: exact-size heap buffers (so AddressSanitizer reports
// any access one byte outside) and the choice of a destination size from the input.

#include "pelnix_codecs.h"

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

using Decoder = PelnixStatus (*)(const uint8_t* source, size_t source_size, uint8_t* destination,
                                 size_t destination_size, size_t* written);

// One decode of a fuzz input (a mode byte choosing the destination size, then the stream)
// into exact-size buffers, with the properties every bounded decoder keeps: it never claims
// more than the destination, finishes exactly at the declared size, and writes nothing when
// the destination is too small.
struct DecodeRun {
    ExactBuffer stream;
    ExactBuffer out;
    uint32_t declared = 0;
    size_t written = 0;
    PelnixStatus status = PELNIX_OK;
};

inline DecodeRun DecodeChecked(Decoder decode, const uint8_t* data, size_t size) {
    ExactBuffer stream(data + 1, size - 1);
    const uint32_t declared = pelnix_declared_size(stream.data.get(), stream.size);
    ExactBuffer out(DestinationSize(data[0], declared));
    size_t written = 0;
    const PelnixStatus status =
        decode(stream.data.get(), stream.size, out.data.get(), out.size, &written);
    Require(written <= out.size);
    Require(status != PELNIX_OK || written == declared);
    Require(status != PELNIX_DESTINATION_TOO_SMALL || written == 0);
    return {std::move(stream), std::move(out), declared, written, status};
}

} // namespace quarnel::fuzz
