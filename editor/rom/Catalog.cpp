#include "rom/Catalog.h"

#include "common/ByteOrder.h"
#include "common/Hex.h"
#include "common/Rounding.h"
#include "rom/GameTables.h"
#include "rom/GbaPointer.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <string>

namespace quarnel {

namespace {

std::vector<uint32_t> ReadPointers(const RomFile& file, uint32_t offset, uint32_t count) {
    const auto bytes = file.ReadBlock(offset, static_cast<size_t>(count) * 4);
    std::vector<uint32_t> pointers(count);
    for (uint32_t i = 0; i < count; ++i) {
        pointers[i] = LoadLe32(bytes, 4 * static_cast<size_t>(i));
    }
    return pointers;
}

} // namespace

TilesetRecord TilesetRecord::FromBytes(std::span<const uint8_t> b) {
    return {LoadLe32(b, 0), LoadLe32(b, 4), LoadLe32(b, 8), LoadLe32(b, 12), LoadLe32(b, 16)};
}

std::array<uint8_t, 20> TilesetRecord::ToBytes() const {
    std::array<uint8_t, 20> bytes{};
    StoreLe32(bytes, 0, Graphics);
    StoreLe32(bytes, 4, Palette);
    StoreLe32(bytes, 8, Third);
    StoreLe32(bytes, 12, Tsa);
    StoreLe32(bytes, 16, Animation);
    return bytes;
}

AnimatedGraphicsRecord AnimatedGraphicsRecord::FromBytes(std::span<const uint8_t> b) {
    return {b[0], b[1], b[2], b[3], LoadLe32(b, 4)};
}

Catalog LoadCatalog(const RomFile& file, Game game) {
    Catalog catalog;
    const GameLayout* layout = LayoutOf(game);
    if (layout == nullptr) {
        return catalog;
    }
    catalog.game = game;
    catalog.AreaTable = ReadPointers(file, layout->areaTable, layout->areaCount);
    if (layout->doorTablePointers != 0) {
        catalog.DoorTablePointers =
            ReadPointers(file, layout->doorTablePointers, layout->areaCount);
    }
    const auto tilesets =
        file.ReadBlock(layout->tilesetTable, size_t{layout->tilesetCount} * kTilesetRecordSize);
    for (uint32_t i = 0; i < layout->tilesetCount; ++i) {
        catalog.TilesetTable.push_back(TilesetRecord::FromBytes(
            std::span(tilesets).subspan(size_t{i} * kTilesetRecordSize, kTilesetRecordSize)));
    }
    catalog.TilesetTableAsRead = catalog.TilesetTable;
    const auto animated = file.ReadBlock(layout->animatedGraphicsTable,
                                         size_t{kAnimSlotCount} * kAnimatedGraphicsRecordSize);
    for (size_t i = 0; i < kAnimSlotCount; ++i) {
        catalog.AnimatedGraphicsTable[i] = AnimatedGraphicsRecord::FromBytes(
            std::span(animated).subspan(i * kAnimatedGraphicsRecordSize));
    }
    if (layout->miniMapPointers != 0) {
        catalog.MiniMapPointers = ReadPointers(file, layout->miniMapPointers, layout->miniMapCount);
    }
    return catalog;
}

std::vector<std::string_view> AreaNames(Game game) {
    switch (game) {
    case Game::ZM:
        return {kZmAreaNames.begin(), kZmAreaNames.end()};
    case Game::MF:
        return {kMfAreaNames.begin(), kMfAreaNames.end()};
    case Game::None:
        break;
    }
    return {};
}

RoomCountAnswer RoomCount(const Catalog& catalog, int area) {
    const GameLayout* layout = LayoutOf(catalog.game);
    if (layout == nullptr || area < 0) {
        return {};
    }
    const RoomCountAnswer fallback{layout->fallbackRoomCount, true};
    if (area == layout->fixedCountArea) {
        return {layout->fixedRoomCount, false};
    }
    const auto next = static_cast<size_t>(area) + 1;
    if (next >= catalog.AreaTable.size()) {
        return fallback;
    }
    const int64_t distance = static_cast<int64_t>(catalog.AreaTable[next]) -
                             static_cast<int64_t>(catalog.AreaTable[next - 1]);
    const int64_t count = RoundHalfEven(distance, kRoomHeaderSize);
    if (count < 0 || count > 255) {
        return fallback;
    }
    return {static_cast<uint8_t>(count), false};
}

Result<uint32_t, Error> RoomHeaderOffset(const Catalog& catalog, int area, int room,
                                         uint64_t fileSize) {
    if (area < 0 || static_cast<size_t>(area) >= catalog.AreaTable.size() || room < 0) {
        return Fail(Error{ErrorKind::BadArgument,
                          "area " + std::to_string(area) + ", room " + std::to_string(room),
                          {}});
    }
    // A room past the area's list would read, and a save would write, the header of a room
    // of the next area.
    const int rooms = RoomCount(catalog, area).count;
    if (room >= rooms) {
        const std::string listed =
            rooms == 0 ? "no rooms"
                       : "rooms 0 to " + ToHex(static_cast<uint32_t>(rooms - 1)) + " (hexadecimal)";
        return Fail(Error{ErrorKind::BadArgument,
                          "room " + ToHex(static_cast<uint32_t>(room)) + " is not a room of area " +
                              std::to_string(area) + ", which lists " + listed,
                          {}});
    }
    return RoomTableEntryOffset(catalog, area, room, fileSize);
}

Result<uint32_t, Error> RoomTableEntryOffset(const Catalog& catalog, int area, int room,
                                             uint64_t fileSize) {
    if (area < 0 || static_cast<size_t>(area) >= catalog.AreaTable.size() || room < 0) {
        return Fail(Error{ErrorKind::BadArgument,
                          "area " + std::to_string(area) + ", room " + std::to_string(room),
                          {}});
    }
    const std::string what = "area " + std::to_string(area) + " room table";
    auto table = ResolvePointer(catalog.AreaTable[static_cast<size_t>(area)], fileSize, what);
    if (!table) {
        return Fail(table.error());
    }
    const uint64_t offset =
        uint64_t{*table} + uint64_t{kRoomHeaderSize} * static_cast<uint32_t>(room);
    if (offset + kRoomHeaderSize > fileSize) {
        return Fail(Error{ErrorKind::PointerOutOfRange,
                          "the header of room " + ToHex(static_cast<uint32_t>(room)) + " of area " +
                              std::to_string(area) + " lies past the end of the file",
                          static_cast<uint32_t>(std::min<uint64_t>(offset, 0xFFFFFFFFu))});
    }
    return static_cast<uint32_t>(offset);
}

Result<RoomHeader, Error> ReadRoomHeader(const RomFile& file, const Catalog& catalog, int area,
                                         int room) {
    auto offset = RoomHeaderOffset(catalog, area, room, file.Size());
    if (!offset) {
        return Fail(offset.error());
    }
    std::array<uint8_t, RoomHeader::kSize> bytes{};
    file.ReadAt(*offset, bytes);
    return RoomHeader::FromBytes(bytes);
}

std::string NotARealTileset(const GameLayout& layout, size_t number) {
    // Hexadecimal, as the tileset list shows them.
    return "tileset " + ToHex(number) + " is not one of the game's tilesets (0 to " +
           ToHex(RealTilesetCount(layout) - 1) +
           "): the game would read other data as its record; choose one of those";
}

} // namespace quarnel
