#pragma once
// Synthetic ROM images: complete 8 MiB images of Zero Mission (ZM) or Fusion (MF) made only
// from our own procedural data, at the games' offsets and in the games' formats, so that the
// editor can be tested and shown without a real cartridge image.
//
// BuildSyntheticRom returns the image together with a plain description of what it holds;
// tests compare the editor's readers with the description. The same (game, seed) always gives
// the same bytes, on any platform. All offsets in the description are ROM file offsets unless
// a field says GbaPointer (file offset + 0x08000000).

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "rom/RoomHeader.h"
#include "rom/RoomLayer.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

using SpriteEntry = std::array<uint8_t, 3>;    // Y, X, SpriteNumber (blocks)
using DoorBytes = std::array<uint8_t, 12>;     // one stored door record
using MusicBytes = std::array<uint8_t, 12>;    // one stored music table record
using SongEntryBytes = std::array<uint8_t, 8>; // one song table entry
using ScrollBytes = std::array<uint8_t, 8>;    // one stored scroll

// A range of the image that the builder wrote; `what` names it for messages.
struct SyntheticBlock {
    uint32_t offset;
    uint32_t size;
    std::string what;
};

struct SyntheticRoom {
    uint32_t headerOffset; // where the 60-byte RoomHeader lies
    RoomHeader header;
    // The tile layers as built; set exactly for the layers whose property byte is 0x10. The
    // pointer of an absent layer still leads to a valid stored layer (an empty one).
    std::optional<RoomLayer> foreground;
    std::optional<RoomLayer> level;
    std::optional<RoomLayer> back;
    RoomLayer clip;
    // The three sprite lists, entries before the FF FF FF terminator.
    std::array<std::vector<SpriteEntry>, 3> spriteLists;
};

// One room record of a scroll list: the room byte, a count byte, then 8 bytes per scroll
// (X start, X end, Y start, Y end in blocks, inclusive; a breakable block's X and Y, 0xFF for
// none; the bound it extends, 0-3; the value that bound then takes).
struct SyntheticScrollRoom {
    uint8_t room;
    uint32_t offset; // ROM offset of the record
    std::vector<ScrollBytes> scrolls;
};

struct SyntheticArea {
    uint32_t roomTablePointer; // GbaPointer in the area table
    // The room count the editor's rule gives: rounded quotient of the gap to the next table,
    // or the fixed count (MF AQA 48; the last area 99 for ZM, 3 for MF). Never more than
    // rooms.size(), so the editor never lists a room that is not there.
    uint8_t expectedRoomCount;
    std::vector<SyntheticRoom> rooms;
    // GbaPointer of the area's door table (ZM: DoorTablePointers; MF: the table at
    // kMfDoorTablePointers) and its records, the closing type-0 record included. Door tables of
    // consecutive areas abut.
    uint32_t doorTablePointer;
    std::vector<DoorBytes> doors;
    // GbaPointer of the area's scroll list (its entry in the game's scroll table) and the room
    // records the list leads to, in list order; the list then ends with a pointer to a record
    // whose room byte is 0xFF. A room without a record has no scrolls.
    uint32_t scrollListPointer = 0;
    std::vector<SyntheticScrollRoom> scrollRooms;
};

// The tiles and block table that tileset records lead to; records may share one.
struct SyntheticTilesetArt {
    uint32_t graphicsOffset;    // LZ77 stream (type 0x10)
    std::vector<uint8_t> tiles; // its decoded kTilesetGraphicsSize bytes (648 tiles)
    uint32_t blockTableOffset;  // kBlockTableWords little-endian words
    std::vector<uint16_t> blockTable;
};

struct SyntheticPalette {
    uint32_t offset;
    std::vector<uint16_t> colours; // kTilesetPaletteColours GBA colours
};

// One TilesetRecord as written, with the indexes of the art and palette it leads to.
struct SyntheticTileset {
    uint32_t graphicsPointer;
    uint32_t palettePointer;
    uint32_t thirdPointer; // an LZ77 stream of backdrop tiles
    uint32_t blockTablePointer;
    uint32_t animation; // low byte: animated tileset number
    size_t art;
    size_t palette;
};

struct SyntheticAnimatedGraphics {
    std::array<uint8_t, 8> record; // type, delay, frame count, 0, GbaPointer to the frames
    std::vector<uint8_t> frames;   // frame count x kAnimationFrameSize bytes
};

struct SyntheticMiniMap {
    uint32_t pointer;              // GbaPointer in the minimap pointer table
    std::vector<uint16_t> entries; // kMiniMapEntries TileEntry values, row by row
};

// A song header: track count, block count, priority, reverb, the GbaPointer of its voice
// group, then one GbaPointer per track.
struct SyntheticSong {
    uint32_t offset;
    std::vector<uint8_t> header;
};

struct SyntheticRom {
    Game game = Game::None;
    uint32_t seed = 0;
    std::vector<uint8_t> image; // kRomImageSize bytes, 0xFF where nothing was written

    std::vector<SyntheticArea> areas; // in area order

    std::vector<SyntheticTileset> tilesets; // the real records (ZM 79, MF 98)
    std::vector<SyntheticTilesetArt> tilesetArt;
    std::vector<SyntheticPalette> tilesetPalettes;
    std::vector<std::array<uint8_t, 48>> animatedTilesets;   // the game's AnimatedTilesetTable
    std::vector<SyntheticAnimatedGraphics> animatedGraphics; // its AnimatedGraphicsTable
    std::vector<uint8_t> commonTiles;         // kCommonTilesSize bytes at the common tiles
    std::vector<uint8_t> commonTilesLastArea; // ZM: the last area's variant; MF: empty
    std::vector<uint16_t> commonPalette;      // ZM: 15 then 16 colours; MF: 48 colours

    std::vector<SyntheticMiniMap> miniMaps; // ZM: one per minimap pointer; MF: none
    std::vector<uint8_t> miniMapTiles;      // ZM: kZmMiniMapTilesSize bytes
    std::vector<uint16_t> miniMapPalette;   // ZM: kZmMiniMapPaletteColours colours

    // Every entry of the game's scroll table (ZM 11, MF 10); the entries past the areas (ZM's
    // test areas) lead to a list that holds only the end record.
    std::vector<uint32_t> scrollTable;

    // The 12-byte records at the GbaPointer stored at kMusicTablePointer: the voice group of
    // the first song, whose header lies 4 bytes before that word.
    uint32_t musicTablePointer = 0;
    std::vector<MusicBytes> musicRecords;
    // The song table at the game's offset and the song headers its entries lead to.
    uint32_t songTable = 0;
    std::vector<SongEntryBytes> songEntries;
    std::vector<SyntheticSong> songs;

    // Every range the builder wrote, sorted by offset; no two overlap and none lies in the
    // game's default free space.
    std::vector<SyntheticBlock> blocks;
};

// Builds the image of `game` (ZM or MF; Game::None throws std::invalid_argument). Takes well
// under a second.
SyntheticRom BuildSyntheticRom(Game game, uint32_t seed);

// Builds the image and writes it to `path` through a temporary file beside it that is then
// renamed, so `path` is either the old file or the whole new image. Errors: FileOpen,
// FileWrite, BadArgument (Game::None).
Result<void, Error> WriteSyntheticRom(const std::filesystem::path& path, Game game, uint32_t seed);

} // namespace quarnel
