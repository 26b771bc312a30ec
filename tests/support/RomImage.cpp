#include "RomImage.h"

#include <algorithm>

namespace quarnel::testing {

void RomImage::Put8(size_t offset, uint8_t value) {
    PutBytes(offset, std::span(&value, 1));
}

void RomImage::Put16(size_t offset, uint16_t value) {
    const uint8_t le[2] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    PutBytes(offset, le);
}

void RomImage::Put32(size_t offset, uint32_t value) {
    uint8_t le[4];
    for (int i = 0; i < 4; ++i) {
        le[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
    }
    PutBytes(offset, le);
}

void RomImage::PutBytes(size_t offset, std::span<const uint8_t> data) {
    if (offset + data.size() > bytes.size()) {
        bytes.resize(offset + data.size(), 0);
    }
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::vector<uint8_t> LiteralLz77(std::span<const uint8_t> data) {
    const auto size = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> stream = {0x10, static_cast<uint8_t>(size & 0xFF),
                                   static_cast<uint8_t>((size >> 8) & 0xFF),
                                   static_cast<uint8_t>((size >> 16) & 0xFF)};
    for (size_t at = 0; at < data.size(); at += 8) {
        stream.push_back(0x00);
        const size_t end = std::min(data.size(), at + 8);
        stream.insert(stream.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                      data.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return stream;
}

} // namespace quarnel::testing
