// Feeds arbitrary bytes to the room layer decoder as a stored layer of either mode. Buffers
// are exact-size heap blocks, so any access outside them is caught by AddressSanitizer.

#include "rom/LayerCodec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const auto kind = (data[0] & 1) != 0 ? quarnel::LayerKind::Clip : quarnel::LayerKind::Level;
    const std::vector<uint8_t> stored(data + 1, data + size);
    auto decoded = quarnel::DecodeStoredLayer(stored, kind);
    if (decoded && decoded->storedSize > stored.size()) {
        __builtin_trap();
    }
    // The raw decoder with a destination of the size the input picks.
    if (size >= 3) {
        const size_t limit = static_cast<size_t>(data[1]) * data[2];
        std::vector<uint8_t> destination(limit + 1);
        const std::vector<uint8_t> source(data + 3, data + size);
        quarnel::DecodeLayerStream(source, destination, static_cast<uint32_t>(limit),
                                   (data[0] & 2) != 0 ? quarnel::LayerMode::Tile16
                                                      : quarnel::LayerMode::Clip);
    }
    return 0;
}
