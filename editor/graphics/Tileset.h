#pragma once
// The loaded tileset: its tiles, palette, converted colours, block table, the 16 animated
// slots with the settings of their timers, and the tileset picture PicTSA that the map is
// drawn from. One Tileset lives as long as the editor's room state; every room load fills
// it anew from the ROM (nothing is cached between loads, except the slots' frame counters).

#include "common/Error.h"
#include "common/Result.h"
#include "graphics/Gba.h"
#include "graphics/Surface.h"
#include "rom/Catalog.h"
#include "rom/Game.h"
#include "rom/GameTables.h"

#include <array>
#include <cstdint>

namespace quarnel {

class RomFile;

// Word 0 precedes the blocks; block b is words 4b+1 (top-left), 4b+2 (top-right),
// 4b+3 (bottom-left) and 4b+4 (bottom-right), each a TileEntry.
using BlockTable = std::array<uint16_t, kBlockTableWords>;

inline constexpr int kDrawnBlocks = 1024;     // blocks drawn into PicTSA
inline constexpr int kBlocksPerRow = 16;      // PicTSA is 16 blocks (256 pixels) wide
inline constexpr int kPicTsaWidth = 256;      // pixels
inline constexpr int kPicTsaHeight = 1024;    // pixels
inline constexpr int kFrameDelayUnitMs = 500; // a frame delay counts half seconds
inline constexpr int kMaxTimerIntervalMs = 32767;

// One animated slot: its AnimatedGraphicsRecord and the frame it shows. The counter starts
// at 0 and is never reset; a new tileset keeps it.
struct AnimSlot {
    AnimatedGraphicsRecord Record;
    uint8_t Counter = 0;
};

// What the window's timer of a slot must be set to.
struct AnimTimer {
    bool Enabled = false;
    int IntervalMs = 0; // 500 ms per delay step, at most kMaxTimerIntervalMs; 0 when off
};

struct Tileset {
    TileGraphics Tiles{};
    TilesetPalette Palette{};
    ColourTable Colours{};
    BlockTable Blocks{};
    std::array<AnimSlot, kAnimSlotCount> Slots{};
    std::array<AnimTimer, kAnimSlotCount> Timers{};
    Surface PicTSA{kPicTsaWidth, kPicTsaHeight};

    // Where the data came from at the last load: the tileset's number (-1 before any load),
    // the GbaPointer the block table was read at, and the block table as read. Blocks differs
    // from BlocksAsRead where the TSA editor changed entries that are not saved yet.
    int Number = -1;
    uint32_t BlocksPointer = 0;
    BlockTable BlocksAsRead{};

    bool BlocksChanged() const { return Blocks != BlocksAsRead; }
};

// Opening a ROM: the slots' records become entries 0-15 of the game's animated graphics
// table (as read into the catalog). Counters and timers are left as they are.
void SeedAnimSlots(Tileset& tileset, const Catalog& catalog);

// Loads tileset `number` of the catalog's game for a room of area `area` (the area picks
// ZM's common tiles), in this order: the record's compressed tiles, its 449 colours into
// palette entries 32-480, its block table and its animated slots; the decoded tiles into
// tiles 192-839; the game's common tiles and palette (MF's overwrites entries 1-48, so
// entries 32-48 end up common and 49 is the tileset's colour 17); the colour conversion;
// and PicTSA. Pointers below 0x08000000 and data beyond the end of the file read as zeros.
// A number beyond the game's table (ZM 81+, MF 98+) or a catalog of no game changes
// nothing and returns an error for the caller to report.
Result<void, Error> LoadTileset(const RomFile& rom, const Catalog& catalog, uint8_t number,
                                int area, Tileset& tileset);

// Loads the slots of animated tileset `number`: slot s takes the animated graphics record
// named by byte 3s of the 48-byte record (only the first byte of each triple counts) and
// frame 0 of its graphics into tiles 4s to 4s+3, until the first 0. Then the timers: a used
// slot of type 1 with a non-zero delay runs every delay x 500 ms (clamped to 32,767 ms);
// every other slot, including those behind the first empty triple, is off, and the tiles of
// the slots behind the first empty triple are cleared (transparent).
void LoadAnimatedTiles(const RomFile& rom, Game game, uint8_t number, Tileset& tileset);

// The game's common tiles (tiles 64-191) and common palette rows. ZM: tiles from 0x5DA40C
// in area 6 and 0x5D940C elsewhere, entry 0 = 0, entries 1-15 and 16-31 from its two rows.
// MF: entry 0 = 0, entries 1-48 from its 48 colours. Game::None changes nothing.
void LoadCommonGraphics(const RomFile& rom, Game game, int area, Tileset& tileset);

// Draws the block whose four TileEntry words follow word `firstWord` (4b for block b) with
// its top-left pixel at (x, y). Words beyond the block table draw nothing.
void DrawMap16(Surface& surface, const Tileset& tileset, int firstWord, int x, int y);

// Clears PicTSA to black and draws blocks 0-1023 into it, 16 per row: block b at
// (16 * (b % 16), 16 * (b / 16)).
void DrawTileset(Tileset& tileset);

} // namespace quarnel
