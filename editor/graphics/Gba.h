#pragma once
// The cartridge's own graphics in memory: 4-bit 8x8 tiles, GBA colours, the colours they
// convert to, and the 16-bit TileEntry that places a tile. TileEntry is the one place that
// knows the entry's bit layout.

#include "graphics/Surface.h"
#include "rom/GameTables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quarnel {

inline constexpr size_t kTileBytes = 32;  // 8 rows of 4 bytes, two pixels per byte
inline constexpr size_t kTileCount = 840; // tiles held by TileGraphics
inline constexpr int kTileSize = 8;       // pixels

// TileGraphics regions, in bytes: the 16 animated slots (4 tiles each), the common tiles of
// the game, then the tileset's own tiles.
inline constexpr size_t kAnimSlotBytes = kAnimationFrameSize;
inline constexpr size_t kCommonTilesAt = 2048;
inline constexpr size_t kCommonTilesBytes = kCommonTilesSize;
inline constexpr size_t kTilesetTilesAt = 6144;
inline constexpr size_t kTilesetTilesBytes = kTilesetGraphicsSize;

using TileGraphics = std::array<uint8_t, kTileCount * kTileBytes>; // 26,880 bytes
static_assert(kAnimSlotBytes * kAnimSlotCount == kCommonTilesAt &&
              kCommonTilesAt + kCommonTilesBytes == kTilesetTilesAt &&
              kTilesetTilesAt + kTilesetTilesBytes == std::tuple_size_v<TileGraphics>);

// GBA colours: red bits 0-4, green 5-9, blue 10-14, bit 15 unused. Entries 0-255 are the
// background palette, row r at 16r to 16r+15; entries 256-511 are never drawn.
using TilesetPalette = std::array<uint16_t, 512>;

// Converted colours as Surface pixel words, indexed 16 * row + colour index.
using ColourTable = std::array<uint32_t, 256>;

inline constexpr int kPaletteRows = 16;
inline constexpr int kRowColours = 16;

// The 16-bit reference that places a tile: tile number bits 0-9, horizontal flip bit 10,
// vertical flip bit 11, palette row bits 12-15.
struct TileEntry {
    uint16_t value = 0;

    constexpr uint16_t Tile() const { return value & 0x3FF; }
    constexpr bool HFlip() const { return (value & 0x400) != 0; }
    constexpr bool VFlip() const { return (value & 0x800) != 0; }
    constexpr uint8_t PaletteRow() const { return static_cast<uint8_t>(value >> 12); }

    static constexpr TileEntry Make(uint16_t tile, bool hflip, bool vflip, uint8_t row) {
        return {static_cast<uint16_t>((tile & 0x3FF) | (hflip ? 0x400 : 0) | (vflip ? 0x800 : 0) |
                                      ((row & 0xF) << 12))};
    }
};

// A GBA colour as a pixel: each 5-bit component times 8 (0-248; 31 gives 248).
constexpr uint32_t PixelFromGbaColour(uint16_t colour) {
    return MakePixel((colour & 31u) * 8, ((colour >> 5) & 31u) * 8, ((colour >> 10) & 31u) * 8);
}

// Converts colour indexes 0..lastIndex of palette rows 0..lastRow (both inclusive) from
// `source` (entry 16 * row + index) into `target` (same index). Bounds above 15 count as 15;
// entries that either array does not have are skipped.
void ConvertPalette(std::span<const uint16_t> source, std::span<uint32_t> target, int lastIndex,
                    int lastRow);

// Draws the 8x8 tile of `entry` with its top-left pixel at (x, y), colours from palette row
// entry.PaletteRow() of `colours`. Pixel value 0 is never drawn, so what the surface held
// shows through; a tile whose 32 bytes are not all inside `tiles` (with TileGraphics: tile
// 840 and above), or a row that `colours` does not hold, draws nothing.
void DrawTile8(Surface& surface, TileEntry entry, int x, int y, std::span<const uint8_t> tiles,
               std::span<const uint32_t> colours);

} // namespace quarnel
