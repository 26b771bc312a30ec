#pragma once
// Palette (indexed-colour) PNG files: writing an 8-bit palette image, and reading any palette
// PNG back into one (bit depths 1, 2, 4 and 8, every row filter, plain or interlaced). The
// reader checks every chunk's CRC and the zlib stream, and never reads or writes outside the
// buffers it is given; a file it cannot take gives a BadImage error that says why.

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel {

// Width x Height pixels, each an index into Palette (which the index may exceed in a file
// written by another program).
struct IndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Palette; // pixel words 0xFFRRGGBB, at most 256
    std::vector<uint8_t> Indices;  // Width * Height, row after row
};

// PNG colour types.
enum class PngColourType : uint8_t {
    Greyscale = 0,
    TrueColour = 2,
    Indexed = 3,
    GreyscaleAlpha = 4,
    TrueColourAlpha = 6,
};

// What a PNG's header chunk says.
struct PngInfo {
    int Width = 0;
    int Height = 0;
    uint8_t BitDepth = 0;
    PngColourType ColourType = PngColourType::Indexed;
    bool Interlaced = false;
};

// The largest picture the reader takes, in pixels: far more than any tile sheet, small
// enough that a hostile header cannot make it allocate much.
inline constexpr int64_t kPngPixelLimit = int64_t{1} << 24;

// Words for a colour type: "a true-colour image", "a greyscale image", ...
const char* PngColourTypeWords(PngColourType type);

// The signature and the header chunk only. BadImage when the bytes are not a PNG or its
// header is damaged or holds values the format does not allow.
Result<PngInfo, Error> ReadPngInfo(std::span<const uint8_t> file);

// The whole picture. BadImage, besides the header's failures, for a picture that is not a
// palette image, larger than kPngPixelLimit, without a palette, with a damaged chunk (CRC),
// a damaged or short zlib stream, or an unknown row filter.
Result<IndexedImage, Error> DecodeIndexedPng(std::span<const uint8_t> file);

// The file bytes of an 8-bit palette PNG. BadArgument for an empty picture, more than 256
// palette entries, or an index count that is not Width * Height.
Result<std::vector<uint8_t>, Error> EncodeIndexedPng(const IndexedImage& image);

// EncodeIndexedPng written atomically at `path`.
Result<void, Error> WriteIndexedPng(const IndexedImage& image, const std::filesystem::path& path);

} // namespace quarnel
