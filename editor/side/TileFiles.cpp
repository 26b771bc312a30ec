#include "side/TileFiles.h"

#include "common/Files.h"

#include <string>

namespace quarnel {

namespace {

constexpr uint64_t kLargestTileFile = 16u << 20;
constexpr size_t kSheetCells =
    static_cast<size_t>(kSheetWidth / kTileSize) * static_cast<size_t>(kSheetHeight / kTileSize);
static_assert(kSheetCells == kTileCount + 8);

Error ImageError(const std::string& detail) {
    return Error{ErrorKind::BadImage, detail, std::nullopt};
}

std::string Thousands(uint64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

// The pixel (x, y) of tile `tile` (0-7 each): the low nibble holds the even column.
uint8_t TilePixel(const TileGraphics& tiles, size_t tile, int x, int y) {
    const uint8_t byte = tiles[tile * kTileBytes + static_cast<size_t>(4 * y + x / 2)];
    return (x % 2 == 0) ? byte & 0x0F : static_cast<uint8_t>(byte >> 4);
}

void SetTilePixel(TileGraphics& tiles, size_t tile, int x, int y, uint8_t value) {
    uint8_t& byte = tiles[tile * kTileBytes + static_cast<size_t>(4 * y + x / 2)];
    byte = (x % 2 == 0) ? static_cast<uint8_t>((byte & 0xF0) | (value & 0x0F))
                        : static_cast<uint8_t>((byte & 0x0F) | (value & 0x0F) << 4);
}

bool LooksLikePng(std::span<const uint8_t> bytes) {
    return bytes.size() >= 4 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' &&
           bytes[3] == 'G';
}

Result<TileGraphics, Error> TilesFromPngBytes(std::span<const uint8_t> bytes) {
    auto info = ReadPngInfo(bytes);
    if (!info) {
        return Fail(info.error());
    }
    if (info->ColourType != PngColourType::Indexed) {
        return Fail(ImageError(std::string("the PNG is ") + PngColourTypeWords(info->ColourType) +
                               "; tiles are read only from a palette (indexed) PNG such as "
                               "\"Export PNG\" writes"));
    }
    if (info->Width != kSheetWidth || info->Height != kSheetHeight) {
        return Fail(ImageError("the PNG is " + std::to_string(info->Width) + " x " +
                               std::to_string(info->Height) +
                               " pixels; a tile sheet is 128 x 424 "
                               "pixels (840 tiles, 16 per row)"));
    }
    auto sheet = DecodeIndexedPng(bytes);
    if (!sheet) {
        return Fail(sheet.error());
    }
    return TilesFromSheet(*sheet);
}

// Calls visit(tile, x, y, at) for pixel (x, y) of every tile, `at` being that pixel's index in
// the sheet: tiles stand in rows of kSheetTilesPerRow, left to right.
template <typename Visit>
void ForEachSheetPixel(Visit visit) {
    for (size_t tile = 0; tile < kTileCount; ++tile) {
        const int left = static_cast<int>(tile % kSheetTilesPerRow) * kTileSize;
        const int top = static_cast<int>(tile / kSheetTilesPerRow) * kTileSize;
        for (int y = 0; y < kTileSize; ++y) {
            for (int x = 0; x < kTileSize; ++x) {
                visit(tile, x, y,
                      static_cast<size_t>(top + y) * kSheetWidth + static_cast<size_t>(left + x));
            }
        }
    }
}

} // namespace

IndexedImage TileSheet(const TileGraphics& tiles, const ColourTable& colours, int row) {
    if (row < 0 || row >= kPaletteRows) {
        row = 0;
    }
    IndexedImage sheet;
    sheet.Width = kSheetWidth;
    sheet.Height = kSheetHeight;
    sheet.Palette.assign(colours.begin(), colours.end());
    sheet.Indices.assign(static_cast<size_t>(kSheetWidth) * kSheetHeight, 0);
    const auto base = static_cast<uint8_t>(kRowColours * row);
    ForEachSheetPixel([&](size_t tile, int x, int y, size_t at) {
        sheet.Indices[at] = static_cast<uint8_t>(base + TilePixel(tiles, tile, x, y));
    });
    // The 8 cells after the last tile keep index 0.
    return sheet;
}

Result<TileGraphics, Error> TilesFromSheet(const IndexedImage& sheet) {
    if (sheet.Width != kSheetWidth || sheet.Height != kSheetHeight ||
        sheet.Indices.size() != static_cast<size_t>(kSheetWidth) * kSheetHeight) {
        return Fail(ImageError("the picture is " + std::to_string(sheet.Width) + " x " +
                               std::to_string(sheet.Height) +
                               " pixels; a tile sheet is 128 x 424 pixels"));
    }
    TileGraphics tiles{};
    ForEachSheetPixel([&](size_t tile, int x, int y, size_t at) {
        SetTilePixel(tiles, tile, x, y, sheet.Indices[at] & 0x0F);
    });
    return tiles;
}

Result<void, Error> WriteTileFile(const TileGraphics& tiles, const std::filesystem::path& path) {
    return WriteFileAtomically(path, tiles);
}

Result<void, Error> WriteTileSheet(const TileGraphics& tiles, const ColourTable& colours, int row,
                                   const std::filesystem::path& path) {
    return WriteIndexedPng(TileSheet(tiles, colours, row), path);
}

Result<TileGraphics, Error> TilesFromFileBytes(std::span<const uint8_t> bytes) {
    if (LooksLikePng(bytes)) {
        return TilesFromPngBytes(bytes);
    }
    TileGraphics tiles{};
    if (bytes.size() != tiles.size()) {
        return Fail(ImageError("the file is " + Thousands(bytes.size()) +
                               " bytes and not a PNG; a tile file holds exactly 26,880 bytes "
                               "(840 tiles of 32 bytes)"));
    }
    std::copy(bytes.begin(), bytes.end(), tiles.begin());
    return tiles;
}

Result<TileGraphics, Error> ReadTilesFile(const std::filesystem::path& path) {
    auto bytes = ReadWholeFile(path, kLargestTileFile);
    if (!bytes) {
        return Fail(bytes.error());
    }
    return TilesFromFileBytes(*bytes);
}

Result<TileGraphics, Error> ReadTileSheet(const std::filesystem::path& path) {
    auto bytes = ReadWholeFile(path, kLargestTileFile);
    if (!bytes) {
        return Fail(bytes.error());
    }
    if (!LooksLikePng(*bytes)) {
        return Fail(ImageError(path.filename().string() + " is not a PNG picture"));
    }
    return TilesFromPngBytes(*bytes);
}

} // namespace quarnel
