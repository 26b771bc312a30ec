#pragma once
// ZM's minimaps: for each entry of the area list (the seven areas, then "7" to "A") the
// minimap pointer table names an LZ77 stream of 16-bit TileEntry values, 32 per row, that
// the game draws with its 160 minimap tiles and five palette rows. This file reads, draws and
// edits a minimap in memory; MiniMapSave.h writes one back.

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Gba.h"
#include "graphics/Surface.h"
#include "rom/GameTables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quarnel {

class RomFile;
struct Catalog;

inline constexpr int kMiniMapSide = 32;                         // cells per row and column
inline constexpr int kMiniMapPixels = kMiniMapSide * kTileSize; // the picture's side: 256
inline constexpr int kMiniMapAreaCount = 11;
inline constexpr int kMiniMapTileCount = kZmMiniMapTilesSize / kTileBytes;         // 160
inline constexpr int kMiniMapPaletteRows = kZmMiniMapPaletteColours / kRowColours; // 5
// A stream is read and decoded up to this many bytes (16,384 entries).
inline constexpr size_t kMiniMapStreamLimit = 32768;

// The area list of the minimap editor, entry a using minimap pointer a.
inline constexpr std::array<std::string_view, kMiniMapAreaCount> kMiniMapAreaNames{
    "Brinstar", "Kraid", "Norfair", "Ridley", "Tourian", "Crateria",
    "Chozodia", "7",     "8",       "9",      "A"};

// The minimap tiles and colours, read once per window load.
struct MiniMapArt {
    std::vector<uint8_t> tiles;                               // kZmMiniMapTilesSize bytes
    std::array<uint16_t, kZmMiniMapPaletteColours> palette{}; // GBA colours, colour 0 set to 0
    std::vector<uint32_t> colours; // the palette's rows as pixels, entry 16 * row + index
};

// Reads the tiles and the palette of a ZM ROM (bytes past the end of the file read as 0).
MiniMapArt LoadMiniMapArt(const RomFile& file);

// One decoded minimap.
struct MiniMap {
    int area = -1;
    uint32_t pointer = 0; // the GbaPointer it was read from
    // Cell (x, y) is entry 32 * y + x. At least kMiniMapEntries; a stream that declares more
    // keeps its further entries, so a save writes back everything that was read.
    std::vector<uint16_t> entries;

    uint16_t Cell(int x, int y) const;
    // Sets a cell; false when (x, y) is outside the grid or the cell already holds `entry`.
    bool Paint(int x, int y, uint16_t entry);
};

// Reads and decodes the minimap that pointer `area` (0-10) of the catalog names: up to
// kMiniMapStreamLimit bytes of the stream are read and decoded (a stream that declares more is
// cut there); a grid shorter than 32 x 32 is filled up with entry 0. Errors: BadArgument (not
// a ZM catalog, or `area` outside 0-10), PointerOutOfRange (the pointer leads outside the
// file).
Result<MiniMap, Error> ReadMiniMap(const RomFile& file, const Catalog& catalog, int area);

// The entries as the stream stores them: two bytes each, little-endian.
std::vector<uint8_t> MiniMapBytes(std::span<const uint16_t> entries);

// DrawMap: `picture` becomes 256 x 256 pixels of black with the 1,024 cells drawn on it, cell
// (x, y) at (8x, 8y), each as DrawTile8 draws a tile: colour index 0 is transparent, and a
// tile number past the 160 tiles or a palette row past the five draws nothing.
void DrawMap(Surface& picture, std::span<const uint16_t> entries, const MiniMapArt& art);

// DrawMiniMapTiles: `picture` becomes 64 x 160 pixels, tile t drawn at (8 (t mod 8),
// 8 (t div 8)) in palette row `row`, unflipped.
void DrawMiniMapTiles(Surface& picture, const MiniMapArt& art, uint8_t row);

// The cell under a point of a picture of `columns` cells per row and `rows` rows, the point
// given in unzoomed pixels; nothing when the point is outside.
std::optional<int> CellUnder(double x, double y, int columns, int rows);

} // namespace quarnel
