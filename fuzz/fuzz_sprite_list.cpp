// Feeds arbitrary bytes to the sprite list scanner as the bytes a list pointer leads to. An
// accepted list must end with its closing entry inside the input, with no earlier one.

#include "sprites/SpriteLists.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> stored(data, data + size);
    const auto count = quarnel::CountSpriteEntries(stored);
    if (!count) {
        return 0;
    }
    const size_t end = size_t{*count} * quarnel::SpritePlacement::kSize;
    if (end + quarnel::SpritePlacement::kSize > stored.size() ||
        stored[end + quarnel::SpritePlacement::kSpriteNumberByte] != quarnel::kSpriteListEnd) {
        __builtin_trap();
    }
    for (size_t i = 0; i < end; i += quarnel::SpritePlacement::kSize) {
        if (stored[i + quarnel::SpritePlacement::kSpriteNumberByte] == quarnel::kSpriteListEnd) {
            __builtin_trap();
        }
    }
    return 0;
}
