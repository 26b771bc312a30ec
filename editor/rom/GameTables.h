#pragma once
// Where each game keeps the tables the editor reads, as ROM file offsets, and the fixed
// counts that go with them. One place for every game-dependent constant of the ROM layout.

#include "rom/Game.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quarnel {

struct GameLayout {
    Game game;
    uint32_t areaTable; // GbaPointer per area to its RoomHeader array
    uint32_t areaCount;
    uint32_t doorTablePointers;     // GbaPointer per area to its door records (0: none)
    uint32_t tilesetTable;          // 20-byte TilesetRecords
    uint32_t tilesetCount;          // records read with the table
    uint32_t animatedTilesetTable;  // 48-byte records, 16 triples each
    uint32_t animatedGraphicsTable; // 8-byte records
    uint32_t miniMapPointers;       // GbaPointer per minimap (0: none)
    uint32_t miniMapCount;
    uint32_t commonTiles;         // 4,097 bytes read, 4,096 used
    uint32_t commonTilesLastArea; // the last area's own common tiles (ZM); else commonTiles
    uint8_t fallbackRoomCount;    // rooms of the last area, and of areas whose count fails
    int fixedCountArea;           // an area whose room count is fixed (-1: none)
    uint8_t fixedRoomCount;
    uint32_t doorsInLastArea; // door records of the last area (ZM)
};

inline constexpr uint32_t kGbaRomBase = 0x08000000;
inline constexpr uint32_t kTitleOffset = 0xA0;
inline constexpr uint32_t kTitleLength = 7;
inline constexpr uint32_t kRoomHeaderSize = 60;
inline constexpr uint32_t kTilesetRecordSize = 20;
inline constexpr uint32_t kAnimatedTilesetRecordSize = 48;
inline constexpr uint32_t kAnimatedGraphicsRecordSize = 8;
inline constexpr uint32_t kAnimSlotCount = 16;
inline constexpr uint32_t kDoorRecordSize = 12;
inline constexpr uint32_t kRomImageSize = 0x800000; // both games' images are 8 MiB

// ZM's common palette: 15 colours for row 0 (after the transparent entry) and 16 for row 1.
inline constexpr uint32_t kZmCommonPaletteRow0 = 0x31C72E;
inline constexpr uint32_t kZmCommonPaletteRow1 = 0x3ED51C;
// ZM's minimap tiles (160 tiles, 4bpp, uncompressed) and palette (five rows of 16 colours).
inline constexpr uint32_t kZmMiniMapTiles = 0x40E0C4;
inline constexpr uint32_t kZmMiniMapTilesSize = 0x1400;
inline constexpr uint32_t kZmMiniMapPalette = 0x411360;
inline constexpr uint32_t kZmMiniMapPaletteColours = 80;
// Both games: the word the music viewer reads as a GbaPointer to 12-byte records. In ZM it is
// the voice-group pointer of the first song's header, which begins 4 bytes before it.
inline constexpr uint32_t kMusicTablePointer = 0x22C23C;
inline constexpr uint32_t kMusicRecordSize = 12;
// The games' song tables: 8-byte entries, a GbaPointer to the song header and two 16-bit
// numbers. ZM's table holds 708 entries.
inline constexpr uint32_t kZmSongTable = 0x8F2C0;
inline constexpr uint32_t kMfSongTable = 0xA8D3C;
inline constexpr uint32_t kSongEntrySize = 8;
inline constexpr uint32_t kZmSongCount = 708;
// MF's common palette: 48 colours from entry 1.
inline constexpr uint32_t kMfCommonPalette = 0x40805E;
inline constexpr uint32_t kMfCommonPaletteColours = 48;

inline constexpr GameLayout kZmLayout{
    Game::ZM, 0x75FAC4, 7,        0x75FAA8, 0x33DFDC, 81, 0x35FA78, 0x35F948,
    0x7601EC, 11,       0x5D940C, 0x5DA40C, 99,       -1, 0,        85,
};

inline constexpr GameLayout kMfLayout{
    Game::MF, 0x79B8BC, 10,       0x79B894, 0x3BF888, 98, 0x3C8F90, 0x3C8D58,
    0,        0,        0x3F28C8, 0x3F28C8, 3,        4,  48,       0,
};

// Sizes of the data that a TilesetRecord leads to.
inline constexpr uint32_t kTilesetGraphicsSize = 20736; // decoded bytes used: 648 tiles
inline constexpr uint32_t kTilesetPaletteColours = 449;
inline constexpr uint32_t kBlockTableWords = 20237; // word 0, then 4 words per block
inline constexpr uint32_t kCommonTilesSize = 4096;  // 128 tiles
inline constexpr uint32_t kZmCommonPaletteRow0Colours = 15;
inline constexpr uint32_t kZmCommonPaletteRow1Colours = 16;
inline constexpr uint32_t kMiniMapEntries = 32 * 32; // 16-bit TileEntry values
inline constexpr uint32_t kAnimationFrameSize = 128; // four tiles

// ZM holds 79 real tileset records; the first area's door table follows at once, so the
// editor's read of 81 records runs 40 bytes into it.
inline constexpr uint32_t kZmRealTilesetCount = 79;
inline constexpr uint32_t kZmFirstDoorTable = 0x33E608;

// The tileset records the game really has: beyond them ZM's table as read runs over its
// first door table, so nothing is ever written to such a record or through its pointers.
constexpr uint32_t RealTilesetCount(const GameLayout& layout) {
    return layout.game == Game::ZM ? kZmRealTilesetCount : layout.tilesetCount;
}
// MF's door table pointers (one per area); the first door table begins where the tileset
// table ends.
inline constexpr uint32_t kMfDoorTablePointers = 0x79B894;

// The scroll tables: one GbaPointer per area (ZM: 7 areas, then 4 test areas) to a list of
// GbaPointers to room records, ended by a pointer to a record whose room byte is 0xFF.
inline constexpr uint32_t kZmScrollTable = 0x75FD28;
inline constexpr uint32_t kZmScrollTableEntries = 11;
inline constexpr uint32_t kMfScrollTable = 0x79BB08;
inline constexpr uint32_t kMfScrollTableEntries = 10;

// A half-open range of ROM file offsets.
struct RomRange {
    uint32_t begin;
    uint32_t end;
};

// The default free-space areas of each game, merged where they abut. Nothing of the game's
// own data lies there; the editor hands this space out when it saves.
inline constexpr std::array<RomRange, 2> kZmFreeSpace{{{0x760D38, 0x7D7FFC}, {0x7F7734, 0x800000}}};
inline constexpr std::array<RomRange, 1> kMfFreeSpace{{{0x79ECC8, 0x800000}}};
// ZM: between its two free-space ranges lies another program, which must never be written.
inline constexpr RomRange kZmForeignProgram{0x7D7FFC, 0x7F7734};

// The layout of a game; nullptr for Game::None.
constexpr const GameLayout* LayoutOf(Game game) {
    switch (game) {
    case Game::ZM:
        return &kZmLayout;
    case Game::MF:
        return &kMfLayout;
    case Game::None:
        break;
    }
    return nullptr;
}

inline constexpr std::array<std::string_view, 7> kZmAreaNames{
    "Brinstar", "Kraid", "Norfair", "Ridley", "Tourian", "Crateria", "Chozodia"};
inline constexpr std::array<std::string_view, 10> kMfAreaNames{
    "Main Deck", "SRX", "TRO", "PYR", "AQA", "ARC", "NOC", "Debug1", "Debug2", "Debug3"};

} // namespace quarnel
