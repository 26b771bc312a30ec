// Feeds arbitrary bytes to the palette PNG reader and to the tile file reader built on it.
// A picture that is read must hold one index per pixel and must come back unchanged through
// the writer and the reader.

#include "graphics/IndexedPng.h"
#include "side/TileFiles.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    // Pictures above a million pixels only cost time; the reader's own limit is tested apart.
    if (auto info = quarnel::ReadPngInfo(file);
        info && int64_t{info->Width} * info->Height > (int64_t{1} << 20)) {
        return 0;
    }
    (void)quarnel::TilesFromFileBytes(file);
    auto image = quarnel::DecodeIndexedPng(file);
    if (!image) {
        return 0;
    }
    if (image->Indices.size() != static_cast<size_t>(image->Width) * image->Height ||
        image->Palette.empty() || image->Palette.size() > 256) {
        __builtin_trap();
    }
    auto written = quarnel::EncodeIndexedPng(*image);
    if (!written) {
        __builtin_trap();
    }
    auto again = quarnel::DecodeIndexedPng(*written);
    if (!again || again->Indices != image->Indices || again->Palette != image->Palette) {
        __builtin_trap();
    }
    return 0;
}
