#include "side/MiniMap.h"

#include "common/ByteOrder.h"
#include "graphics/Lz77Codec.h"
#include "rom/Catalog.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <cmath>
#include <string>

namespace quarnel {

MiniMapArt LoadMiniMapArt(const RomFile& file) {
    MiniMapArt art;
    art.tiles = file.ReadBlock(kZmMiniMapTiles, kZmMiniMapTilesSize);
    const auto colours = file.ReadBlock(kZmMiniMapPalette, 2 * size_t{kZmMiniMapPaletteColours});
    for (size_t i = 0; i < art.palette.size(); ++i) {
        art.palette[i] = LoadLe16(colours, 2 * i);
    }
    art.palette[0] = 0;
    art.colours.assign(kZmMiniMapPaletteColours, kBlack);
    ConvertPalette(art.palette, art.colours, kRowColours - 1, kMiniMapPaletteRows - 1);
    return art;
}

uint16_t MiniMap::Cell(int x, int y) const {
    if (x < 0 || y < 0 || x >= kMiniMapSide || y >= kMiniMapSide) {
        return 0;
    }
    return entries[static_cast<size_t>(kMiniMapSide * y + x)];
}

bool MiniMap::Paint(int x, int y, uint16_t entry) {
    if (x < 0 || y < 0 || x >= kMiniMapSide || y >= kMiniMapSide) {
        return false;
    }
    uint16_t& cell = entries[static_cast<size_t>(kMiniMapSide * y + x)];
    if (cell == entry) {
        return false;
    }
    cell = entry;
    return true;
}

Result<MiniMap, Error> ReadMiniMap(const RomFile& file, const Catalog& catalog, int area) {
    if (catalog.game != Game::ZM) {
        return Fail(Error{ErrorKind::BadArgument, "Metroid Fusion is not supported", {}});
    }
    if (area < 0 || area >= kMiniMapAreaCount ||
        static_cast<size_t>(area) >= catalog.MiniMapPointers.size()) {
        return Fail(Error{ErrorKind::BadArgument,
                          "minimap " + std::to_string(area) +
                              " does not exist; the list has 0 to " +
                              std::to_string(kMiniMapAreaCount - 1),
                          {}});
    }
    const uint32_t pointer = catalog.MiniMapPointers[static_cast<size_t>(area)];
    auto offset =
        ResolvePointer(pointer, file.Size(), "minimap " + std::string(kMiniMapAreaNames[area]), 4);
    if (!offset) {
        return Fail(offset.error());
    }
    const auto stream = file.ReadBlock(*offset, kMiniMapStreamLimit);
    std::vector<uint8_t> decoded(kMiniMapStreamLimit);
    const uint32_t declared = DecompressLZ77(stream, decoded);
    const size_t size = std::min<size_t>(declared, decoded.size());

    MiniMap map;
    map.area = area;
    map.pointer = pointer;
    map.entries.assign(std::max<size_t>(size / 2, kMiniMapEntries), 0);
    for (size_t i = 0; i < size / 2; ++i) {
        map.entries[i] = LoadLe16(decoded, 2 * i);
    }
    return map;
}

std::vector<uint8_t> MiniMapBytes(std::span<const uint16_t> entries) {
    std::vector<uint8_t> bytes(2 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        StoreLe16(bytes, 2 * i, entries[i]);
    }
    return bytes;
}

void DrawMap(Surface& picture, std::span<const uint16_t> entries, const MiniMapArt& art) {
    picture.Resize(kMiniMapPixels, kMiniMapPixels);
    const size_t cells = std::min<size_t>(entries.size(), kMiniMapEntries);
    for (size_t i = 0; i < cells; ++i) {
        const int x = static_cast<int>(i % kMiniMapSide) * kTileSize;
        const int y = static_cast<int>(i / kMiniMapSide) * kTileSize;
        DrawTile8(picture, TileEntry{entries[i]}, x, y, art.tiles, art.colours);
    }
}

void DrawMiniMapTiles(Surface& picture, const MiniMapArt& art, uint8_t row) {
    constexpr int kColumns = 8;
    picture.Resize(kColumns * kTileSize, kMiniMapTileCount / kColumns * kTileSize);
    for (int t = 0; t < kMiniMapTileCount; ++t) {
        const auto entry = TileEntry::Make(static_cast<uint16_t>(t), false, false, row);
        DrawTile8(picture, entry, (t % kColumns) * kTileSize, (t / kColumns) * kTileSize, art.tiles,
                  art.colours);
    }
}

std::optional<int> CellUnder(double x, double y, int columns, int rows) {
    if (!(x >= 0) || !(y >= 0)) {
        return std::nullopt;
    }
    const double cx = std::floor(x / kTileSize);
    const double cy = std::floor(y / kTileSize);
    if (cx >= columns || cy >= rows) {
        return std::nullopt;
    }
    return static_cast<int>(cy) * columns + static_cast<int>(cx);
}

} // namespace quarnel
