#include "doors/DoorData.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::TempFolder;

// Door records fill the ROM from kTables to its end: record i at kTables + 12 i.
constexpr uint32_t kTables = 0x100;
constexpr uint32_t kRecordsInRom = 1300;
constexpr uint32_t kRomSize = kTables + 12 * kRecordsInRom;

// Record i of the ROM: bytes i, i+1, ..., i+11 (so every byte says which record it is from),
// except that the type byte is never 0, which would end a list.
DoorRecord::Bytes RecordBytes(size_t i) {
    DoorRecord::Bytes bytes{};
    for (size_t b = 0; b < bytes.size(); ++b) {
        bytes[b] = static_cast<uint8_t>(i + b);
    }
    bytes[0] = static_cast<uint8_t>(i % 255 + 1);
    return bytes;
}

// Records 1000 and 1003 of the ROM are end records (type byte 0).
constexpr uint32_t kEndRecords[] = {1000, 1003};

struct DoorRom {
    TempFolder folder;
    std::filesystem::path path;

    DoorRom() {
        std::vector<uint8_t> rom(kRomSize);
        for (size_t i = 0; i < kRecordsInRom; ++i) {
            const auto bytes = RecordBytes(i);
            std::copy(bytes.begin(), bytes.end(), rom.begin() + kTables + i * DoorRecord::kSize);
        }
        for (uint32_t i : kEndRecords) {
            rom[kTables + i * DoorRecord::kSize] = 0;
        }
        path = folder.WriteFile("rom.gba", rom);
    }
};

Catalog WithDoorTables(Game game, std::vector<uint32_t> pointers) {
    Catalog catalog;
    catalog.game = game;
    catalog.DoorTablePointers = std::move(pointers);
    return catalog;
}

constexpr uint32_t Record(uint32_t i) {
    return 0x08000000 + kTables + 12 * i;
}

TEST(DoorData, ReadsTheRecordsOfAnArea) {
    struct Case {
        const char* name;
        std::vector<uint32_t> pointers;
        int area;
        size_t count;   // records read when accepted
        uint32_t first; // record number of AreaDoors[0]
        std::optional<ErrorKind> refused;
    };
    const uint32_t end = 0x08000000 + kRomSize;
    const std::vector<uint32_t> areas = {Record(0), Record(3),  Record(5),  Record(5),
                                         Record(4), Record(10), Record(300)};
    for (const auto& c : {
             Case{"area 0", areas, 0, 3, 0, {}},
             Case{"area 1", areas, 1, 2, 3, {}},
             Case{"last area is 85", areas, 6, 85, 300, {}},
             Case{"part record", {Record(0), Record(1) + 11, 0, 0, 0, 0, 0}, 0, 1, 0, {}},
             Case{"255 records", {Record(0), Record(255), 0, 0, 0, 0, 0}, 0, 255, 0, {}},
             Case{"count 0", areas, 2, 0, 0, ErrorKind::BadDoorTable},
             Case{"negative", areas, 3, 0, 0, ErrorKind::BadDoorTable},
             Case{"256 records",
                  {Record(1), Record(257), 0, 0, 0, 0, 0},
                  0,
                  0,
                  0,
                  ErrorKind::BadDoorTable},
             Case{"ends with the file", {end - 24, end, 0, 0, 0, 0, 0}, 0, 2, 1298, {}},
             // The games end each list with a record of type 0, which is not a door.
             Case{"end record", {Record(997), Record(1010), 0, 0, 0, 0, 0}, 0, 3, 997, {}},
             Case{"end record first", {Record(1000), Record(1010), 0, 0, 0, 0, 0}, 0, 0, 0, {}},
             Case{"last area's end", {0, 0, 0, 0, 0, 0, Record(990)}, 6, 10, 990, {}},
             Case{"long span, end", {Record(800), Record(1200), 0, 0, 0, 0, 0}, 0, 200, 800, {}},
             Case{"long span, no end",
                  {Record(0), Record(400), 0, 0, 0, 0, 0},
                  0,
                  0,
                  0,
                  ErrorKind::BadDoorTable},
             Case{"runs off",
                  {end - 24, end + 12, 0, 0, 0, 0, 0},
                  0,
                  0,
                  0,
                  ErrorKind::PointerOutOfRange},
             Case{"last runs off",
                  {0, 0, 0, 0, 0, 0, end - 12 * 84},
                  6,
                  0,
                  0,
                  ErrorKind::PointerOutOfRange},
             Case{"below the ROM",
                  {0x100, 0x100 + 24, 0, 0, 0, 0, 0},
                  0,
                  0,
                  0,
                  ErrorKind::PointerOutOfRange},
             Case{"no such area", areas, 7, 0, 0, ErrorKind::BadArgument},
         }) {
        DoorRom rom;
        auto file = RomFile::Open(rom.path, OpenMode::Read);
        ASSERT_TRUE(file);
        DoorState state;
        state.AreaDoors.resize(9); // an earlier area's records
        auto loaded = LoadAreaDoors(*file, WithDoorTables(Game::ZM, c.pointers), c.area, state);
        if (c.refused) {
            ASSERT_FALSE(loaded) << c.name;
            EXPECT_EQ(loaded.error().kind, *c.refused) << c.name;
            EXPECT_TRUE(state.AreaDoors.empty()) << c.name;
            continue;
        }
        ASSERT_TRUE(loaded) << c.name << ": " << Describe(loaded.error());
        ASSERT_EQ(state.AreaDoors.size(), c.count) << c.name;
        if (c.count == 0) {
            continue;
        }
        EXPECT_EQ(state.AreaDoors[0].ToBytes(), RecordBytes(c.first)) << c.name;
        EXPECT_EQ(state.AreaDoors.back().ToBytes(), RecordBytes(c.first + c.count - 1)) << c.name;
    }
}

TEST(DoorData, FusionReadsNothing) {
    DoorRom rom;
    auto file = RomFile::Open(rom.path, OpenMode::Read);
    DoorState state;
    state.AreaDoors.resize(4);
    EXPECT_TRUE(LoadAreaDoors(*file, WithDoorTables(Game::MF, {}), 0, state));
    EXPECT_EQ(state.AreaDoors.size(), 4u);
}

TEST(DoorData, NamesTheBytesOfARecord) {
    const DoorRecord door(RecordBytes(0x10));
    EXPECT_EQ((std::array{door.Type(), door.Room(), door.ExitX(), door.X(), door.ExitY(), door.Y(),
                          door.ExitRoom(), door.Unknown()}),
              (std::array<uint8_t, 8>{0x11, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}));
    EXPECT_EQ(DoorLabelPosition(DoorRecord({0, 0, 0, 3, 0, 5})), (PixelPosition{48, 80}));
}

// A door of room `room` at block (x, y) leading to room `exitRoom`.
DoorRecord Door(uint8_t room, uint8_t exitRoom, uint8_t x = 0, uint8_t y = 0) {
    return DoorRecord({1, room, 0, x, 0, y, exitRoom, 0, 0xA8, 0xA9, 0xAA, 0xAB});
}

TEST(DoorData, PicksTheRoomsDoorsAndFindsConnections) {
    DoorState state;
    state.AreaDoors = {Door(2, 5), Door(5, 2), Door(2, 9), Door(7, 5), Door(2, 7)};
    ShowRoomDoors(state, 2);
    ASSERT_EQ(state.RoomDoorCount, 3);
    EXPECT_EQ((std::array{state.RoomDoorList[0], state.RoomDoorList[1], state.RoomDoorList[2]}),
              (std::array<uint8_t, 3>{0, 2, 4}));
    ShowRoomDoors(state, 9);
    EXPECT_EQ(state.RoomDoorCount, 0);
    EXPECT_FALSE(DoorIndexOfLabel(state, 0));

    EXPECT_EQ(FindDoorConnection(state, 1), 4); // the last door of room 2
    EXPECT_EQ(FindDoorConnection(state, 0), 1); // room 5 has one door
    EXPECT_EQ(FindDoorConnection(state, 2), 0); // no door lies in room 9
    EXPECT_EQ(FindDoorConnection(state, 5), 0); // not a door of the area
    EXPECT_EQ(FindDoorConnection(DoorState{}, 0), 0);
}

TEST(DoorData, DraggingALabelMovesItsRecordInMemory) {
    DoorState state;
    state.AreaDoors = {Door(1, 0, 9, 9), Door(4, 0, 3, 5), Door(4, 0, 6, 6)};
    ShowRoomDoors(state, 4);
    ASSERT_TRUE(MoveDoor(state, 1, SnapLabel(DoorLabelPosition(state.AreaDoors[2]), 24, 8)));
    EXPECT_EQ(DoorLabelPosition(state.AreaDoors[2]), (PixelPosition{112, 96}));
    // Beyond the top-left edge: 0; beyond block 255: the old value stays.
    ASSERT_TRUE(MoveDoor(state, 0, SnapLabel({48, 80}, -100, 5000)));
    EXPECT_EQ(state.AreaDoors[1].X(), 0);
    EXPECT_EQ(state.AreaDoors[1].Y(), 5);
    EXPECT_EQ(state.AreaDoors[1].ToBytes()[8], 0xA8); // uninterpreted bytes kept
    EXPECT_EQ(state.AreaDoors[0], Door(1, 0, 9, 9));
    EXPECT_FALSE(MoveDoor(state, 2, SnapLabel({0, 0}, 8, 8)));
}

} // namespace
} // namespace quarnel
