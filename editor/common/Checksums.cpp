#include "common/Checksums.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace quarnel {

namespace {

// zlib takes lengths as uInt; longer data is fed in pieces.
template <class Update>
uint32_t Run(std::span<const uint8_t> bytes, uint32_t running, Update update) {
    uLong value = running;
    while (!bytes.empty()) {
        const size_t piece = std::min<size_t>(bytes.size(), std::numeric_limits<uInt>::max());
        value = update(value, bytes.data(), static_cast<uInt>(piece));
        bytes = bytes.subspan(piece);
    }
    return static_cast<uint32_t>(value);
}

} // namespace

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t running) {
    return Run(bytes, running,
               [](uLong value, const Bytef* data, uInt size) { return crc32(value, data, size); });
}

uint32_t Adler32(std::span<const uint8_t> bytes, uint32_t running) {
    return Run(bytes, running, [](uLong value, const Bytef* data, uInt size) {
        return adler32(value, data, size);
    });
}

} // namespace quarnel
