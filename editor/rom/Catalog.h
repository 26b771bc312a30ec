#pragma once
// The game tables read when a ROM is opened, in one pass: the area room tables, the door
// table pointers, ZM's minimap pointers, the tileset table and the first sixteen records of
// the animated graphics table; the area names; and the room count of an area.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "rom/RoomHeader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

class RomFile;
struct GameLayout;

// One 20-byte record of the tileset table (GbaPointers, and the animation field whose low
// byte is the animated tileset number).
struct TilesetRecord {
    uint32_t Graphics = 0;
    uint32_t Palette = 0;
    uint32_t Third = 0;
    uint32_t Tsa = 0;
    uint32_t Animation = 0;

    static TilesetRecord FromBytes(std::span<const uint8_t> bytes); // 20 bytes
    std::array<uint8_t, 20> ToBytes() const;
    uint8_t AnimatedTileset() const { return static_cast<uint8_t>(Animation & 0xFF); }
    bool operator==(const TilesetRecord&) const = default;
};

// One 8-byte record of the animated graphics table.
struct AnimatedGraphicsRecord {
    uint8_t Type = 0;  // 1: animated
    uint8_t Delay = 0; // frame delay in half seconds
    uint8_t FrameCount = 0;
    uint8_t Unused = 0;
    uint32_t Frames = 0; // GbaPointer to frames of 128 bytes (4 tiles) each

    static AnimatedGraphicsRecord FromBytes(std::span<const uint8_t> bytes); // 8 bytes
    bool operator==(const AnimatedGraphicsRecord&) const = default;
};

struct Catalog {
    Game game = Game::None;
    std::vector<uint32_t> AreaTable;         // GbaPointer per area
    std::vector<uint32_t> DoorTablePointers; // GbaPointer per area
    std::vector<TilesetRecord> TilesetTable; // as edited in memory
    std::vector<TilesetRecord> TilesetTableAsRead;
    std::array<AnimatedGraphicsRecord, 16> AnimatedGraphicsTable{};
    std::vector<uint32_t> MiniMapPointers; // ZM: GbaPointer per minimap
};

// Reads every table of the game (Game::None reads nothing). Table bytes past the end of
// the file read as 0.
Catalog LoadCatalog(const RomFile& file, Game game);

// The game's area names in area order (empty for Game::None).
std::vector<std::string_view> AreaNames(Game game);

// Why nothing is written for tileset `number`, one the game does not have (RealTilesetCount).
std::string NotARealTileset(const GameLayout& layout, size_t number);

struct RoomCountAnswer {
    uint8_t count = 0;
    bool fallback = false; // the count is the game's fixed fallback (last area, or no fit)
};

// The number of rooms the area's room list shows: the distance to the next area's table in
// 60-byte headers, rounded to the nearest whole number with halves to even; the fixed count
// of an area that has one; and the game's fallback for the last area and for a distance
// whose count does not fit a byte.
RoomCountAnswer RoomCount(const Catalog& catalog, int area);

// The ROM offset of room `room`'s header in area `area`, checked against the file size.
// BadArgument for an area the game lacks and for a room not below the area's RoomCount.
Result<uint32_t, Error> RoomHeaderOffset(const Catalog& catalog, int area, int room,
                                         uint64_t fileSize);

// The ROM offset of the header at position `room` of area `area`'s room table, without the
// check against the area's room count (the dumps read past it): the area must exist and the
// header must lie inside the file.
Result<uint32_t, Error> RoomTableEntryOffset(const Catalog& catalog, int area, int room,
                                             uint64_t fileSize);

// Reads the 60-byte header of a room.
Result<RoomHeader, Error> ReadRoomHeader(const RomFile& file, const Catalog& catalog, int area,
                                         int room);

} // namespace quarnel
