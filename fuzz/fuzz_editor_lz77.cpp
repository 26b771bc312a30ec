// Feeds arbitrary bytes to the editor's LZ77 decoder and to the measure of where a stream
// ends, and round-trips small inputs through its encoder.
//
// Input layout: two bytes choose the destination, the rest is the stream. With bit 7 of the
// first byte set the destination has the size the stream declares (at most 64 KiB); else the
// two bytes less that bit give its size (0 to 32,767). Either way it is an exact-size heap
// block, so any access past it is caught.

#include "graphics/Lz77Codec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::span<const uint8_t> stream(data + 2, size - 2);
    uint32_t header = 0;
    for (size_t i = 0; i < 4 && i < stream.size(); ++i) {
        header |= static_cast<uint32_t>(stream[i]) << (8 * i);
    }
    const size_t destinationSize = (data[0] & 0x80) != 0
                                       ? std::min<size_t>(header >> 8, size_t{1} << 16)
                                       : static_cast<size_t>((data[0] & 0x7F) << 8 | data[1]);

    auto destination = std::make_unique<uint8_t[]>(destinationSize);
    const uint32_t declared = quarnel::DecompressLZ77(stream, {destination.get(), destinationSize});
    if (declared != header >> 8) {
        std::abort();
    }

    // A stream that ends inside the input decodes from exactly its own bytes as from all of them.
    if (const auto length = quarnel::Lz77StreamLength(stream)) {
        if (*length > stream.size() || *length < 4) {
            std::abort();
        }
        auto alone = std::make_unique<uint8_t[]>(destinationSize);
        quarnel::DecompressLZ77(stream.first(*length), {alone.get(), destinationSize});
        if (destinationSize != 0 &&
            std::memcmp(alone.get(), destination.get(), destinationSize) != 0) {
            std::abort();
        }
    }

    // The encoder's output must decode back to its input.
    if (stream.size() <= 4096) {
        const std::vector<uint8_t> encoded = quarnel::CompressLZ77(stream);
        if (encoded.size() > quarnel::Lz77MaxCompressedSize(stream.size())) {
            std::abort();
        }
        auto decoded = std::make_unique<uint8_t[]>(stream.size());
        const uint32_t length = quarnel::DecompressLZ77(encoded, {decoded.get(), stream.size()});
        if (length != stream.size() ||
            (!stream.empty() && std::memcmp(decoded.get(), stream.data(), stream.size()) != 0)) {
            std::abort();
        }
    }
    return 0;
}
