#include "doors/DoorData.h"
#include "doors/DoorEdits.h"
#include "doors/DoorSave.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include "FaultyWriter.h"
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

TEST(DoorData, FusionListsEndAtTheirEndRecord) {
    struct Case {
        const char* name;
        uint32_t pointer;
        size_t count; // records read when accepted
        std::optional<ErrorKind> refused;
    };
    const uint32_t end = 0x08000000 + kRomSize;
    for (const auto& c : {
             Case{"end record", Record(990), 10, {}},
             Case{"end first", Record(1003), 0, {}},
             Case{"no end within 255", Record(0), 0, ErrorKind::BadDoorTable},
             Case{"runs off", end - 24, 0, ErrorKind::PointerOutOfRange},
         }) {
        DoorRom rom;
        auto file = RomFile::Open(rom.path, OpenMode::Read);
        ASSERT_TRUE(file);
        std::vector<uint32_t> pointers(10, Record(0));
        pointers[4] = c.pointer;
        DoorState state;
        auto loaded = LoadAreaDoors(*file, WithDoorTables(Game::MF, pointers), 4, state);
        if (c.refused) {
            ASSERT_FALSE(loaded) << c.name;
            EXPECT_EQ(loaded.error().kind, *c.refused) << c.name;
            EXPECT_EQ(state.Area, -1) << c.name;
            continue;
        }
        ASSERT_TRUE(loaded) << c.name << ": " << Describe(loaded.error());
        EXPECT_EQ(state.AreaDoors.size(), c.count) << c.name;
        EXPECT_EQ(state.Area, 4);
        EXPECT_EQ(state.TableOffset, c.pointer - 0x08000000u);
    }
}

TEST(DoorData, NamesTheBytesOfARecord) {
    const DoorRecord door({0x13, 5, 2, 3, 6, 9, 0x1A, 0xF0, 0x20, 0xA9, 0xAA, 0xAB});
    EXPECT_EQ(
        (std::array<int, 9>{door.Type(), door.Room(), door.XStart(), door.XEnd(), door.YStart(),
                            door.YEnd(), door.Destination(), door.ExitX(), door.ExitY()}),
        (std::array<int, 9>{0x13, 5, 2, 3, 6, 9, 0x1A, -16, 32}));
    // The label stands at the X end and Y end; the outline covers the whole rectangle, ends
    // in order even when a record holds them reversed.
    EXPECT_EQ(DoorLabelPosition(door), (PixelPosition{48, 144}));
    EXPECT_EQ(DoorTrigger(door), (BlockRect{2, 6, 3, 9}));
    EXPECT_EQ(DoorTrigger(DoorRecord({1, 0, 7, 4, 9, 9})), (BlockRect{4, 9, 7, 9}));
}

// A door of room `room` leading to door `to`, its rectangle from (x, y) to (x + 1, y + 3).
DoorRecord Door(uint8_t room, uint8_t to, uint8_t x = 0, uint8_t y = 0) {
    return DoorRecord({1, room, x, static_cast<uint8_t>(x + 1), y, static_cast<uint8_t>(y + 3), to,
                       0, 0, 0xA9, 0xAA, 0xAB});
}

TEST(DoorData, PicksTheRoomsDoorsAndFindsConnections) {
    DoorState state;
    state.AreaDoors = {Door(2, 3), Door(5, 2), Door(2, 9), Door(7, 0), Door(2, 4)};
    ShowRoomDoors(state, 2);
    ASSERT_EQ(state.RoomDoorCount, 3);
    EXPECT_EQ((std::array{state.RoomDoorList[0], state.RoomDoorList[1], state.RoomDoorList[2]}),
              (std::array<uint8_t, 3>{0, 2, 4}));
    ShowRoomDoors(state, 9);
    EXPECT_EQ(state.RoomDoorCount, 0);
    EXPECT_FALSE(DoorIndexOfLabel(state, 0));

    // Byte 6 is the destination door's index in the same list, not a room.
    EXPECT_EQ(FindDoorConnection(state, 0), uint8_t{3});
    EXPECT_EQ(DoorConnectionText(state, 0), "3 (room 7)");
    EXPECT_EQ(FindDoorConnection(state, 4), uint8_t{4});   // a door may lead to itself
    EXPECT_EQ(FindDoorConnection(state, 2), std::nullopt); // beyond the list
    EXPECT_EQ(DoorConnectionText(state, 2), "none");
    EXPECT_EQ(FindDoorConnection(state, 5), std::nullopt); // not a door of the area
    state.AreaDoors.resize(0x1B, Door(0x1F, 0));
    state.AreaDoors[0x1A] = Door(5, 0);
    state.AreaDoors[2] = Door(2, 0x1A);
    EXPECT_EQ(DoorConnectionText(state, 2), "1A (room 5)");
}

TEST(DoorData, DraggingALabelMovesTheWholeRectangle) {
    DoorState state;
    state.AreaDoors = {Door(1, 0, 9, 9), Door(4, 0, 3, 5), Door(4, 0, 6, 6)};
    state.AreaDoorsAsRead = state.AreaDoors;
    ShowRoomDoors(state, 4);
    // Door 2's label stands at (7, 9); the pointer three blocks right, two up.
    ASSERT_TRUE(MoveDoor(state, 1, SnapLabel(DoorLabelPosition(state.AreaDoors[2]), 50, -30)));
    EXPECT_EQ(DoorTrigger(state.AreaDoors[2]), (BlockRect{9, 4, 10, 7}));
    EXPECT_EQ(DoorLabelPosition(state.AreaDoors[2]), (PixelPosition{160, 112}));
    EXPECT_EQ(ChangedDoors(state), std::vector<size_t>{2});
    // At the top-left edge the rectangle stops whole (bytes 2 and 4 at 0), never inside out;
    // a snap beyond block 255 keeps that coordinate.
    ASSERT_TRUE(MoveDoor(state, 0, SnapLabel({64, 128}, -500, 5000)));
    EXPECT_EQ(DoorTrigger(state.AreaDoors[1]), (BlockRect{0, 5, 1, 8}));
    ASSERT_TRUE(MoveDoor(state, 0, SnapLabel({16, 128}, 0, -500)));
    EXPECT_EQ(DoorTrigger(state.AreaDoors[1]), (BlockRect{0, 0, 1, 3}));
    state.AreaDoors[1].SetXStart(250);
    state.AreaDoors[1].SetXEnd(252);
    ASSERT_TRUE(MoveDoor(state, 0, SnapLabel({4032, 0}, 60, 0)));
    EXPECT_EQ(DoorTrigger(state.AreaDoors[1]), (BlockRect{253, 0, 255, 3}));
    EXPECT_EQ(state.AreaDoors[1].ToBytes()[9], 0xA9); // padding kept
    EXPECT_EQ(state.AreaDoors[0], Door(1, 0, 9, 9));
    EXPECT_FALSE(MoveDoor(state, 2, SnapLabel({0, 0}, 8, 8)));
}

TEST(DoorData, EditsFieldsInRangeAndWritesOnlyChangedRecords) {
    DoorState state;
    state.AreaDoors = {Door(1, 0), Door(1, 2), Door(3, 1)};
    state.AreaDoorsAsRead = state.AreaDoors;
    state.Area = 2;
    state.TableOffset = 0x1000;
    struct Case {
        const char* field;
        int value;
        bool accepted;
    };
    for (const auto& c :
         {Case{"type", 0x14, true}, Case{"to", 255, true}, Case{"exitx", -128, true},
          Case{"exity", 127, true}, Case{"room", 256, false}, Case{"xstart", -1, false},
          Case{"exitx", 128, false}, Case{"exity", -129, false},
          Case{"type", 0, false}}) { // type 0 would end the list there
        const auto field = DoorFieldNamed(c.field);
        ASSERT_TRUE(field) << c.field;
        const DoorRecord before = state.AreaDoors[1];
        const auto set = SetDoorField(state, 1, *field, c.value);
        EXPECT_EQ(set.has_value(), c.accepted) << c.field << "=" << c.value;
        if (c.accepted) {
            EXPECT_EQ(DoorFieldValue(state.AreaDoors[1], *field), c.value) << c.field;
        } else {
            EXPECT_EQ(state.AreaDoors[1], before) << c.field;
        }
    }
    EXPECT_FALSE(DoorFieldNamed("unknown"));
    EXPECT_FALSE(SetDoorField(state, 3, DoorField::Type, 1));

    const auto writes = DoorWrites(state);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].offset, 0x1000u + 12);
    const auto read = Door(1, 2).ToBytes();
    EXPECT_EQ(writes[0].expected, std::vector<uint8_t>(read.begin(), read.end()));
    EXPECT_EQ(writes[0].bytes,
              (std::vector<uint8_t>{0x14, 1, 0, 1, 0, 3, 255, 0x80, 127, 0xA9, 0xAA, 0xAB}));
    MarkDoorsSaved(state, {1});
    EXPECT_FALSE(DoorsChanged(state));
    SetDoorField(state, 0, DoorField::Room, 9).value();
    DiscardDoorEdits(state);
    EXPECT_EQ(state.AreaDoors[0], Door(1, 0));
}

// "Save Doors": the changed records alone, in place; a record that reads back wrong is a
// failure and stays changed, and a failed write leaves the file as it was.
TEST(DoorData, SavesChangedRecordsAndNeverReportsAFailureAsSaved) {
    struct Case {
        int failAt;
        int corruptAt;
        std::optional<ErrorKind> refused;
    };
    for (const auto& c : {Case{-1, -1, {}}, Case{-1, 0, ErrorKind::VerifyMismatch},
                          Case{0, -1, ErrorKind::FileWrite}}) {
        DoorRom rom;
        const auto before = testing::ReadWholeFile(rom.path);
        DoorState state;
        {
            auto file = RomFile::Open(rom.path, OpenMode::Read);
            ASSERT_TRUE(LoadAreaDoors(
                *file, WithDoorTables(Game::ZM, {Record(0), Record(5), 0, 0, 0, 0, 0}), 0, state));
        }
        ASSERT_TRUE(SetDoorField(state, 2, DoorField::XEnd, 0x77));
        ASSERT_TRUE(SetDoorField(state, 4, DoorField::ExitY, -1));
        StorageSystem storage(rom.folder / "os.bin");
        RomBackups backups;
        std::vector<std::string> log;
        RomWriteServices services{storage, backups, [&](RomFile& file) {
                                      return std::make_unique<testing::FaultyWriter>(
                                          file, log, c.failAt, false, c.corruptAt);
                                  }};
        auto saved = SaveDoors(rom.path, Game::ZM, state, services);
        auto expected = before;
        if (c.refused) {
            ASSERT_FALSE(saved);
            EXPECT_EQ(saved.error().kind, *c.refused);
            EXPECT_EQ(ChangedDoors(state), (std::vector<size_t>{2, 4}));
            if (c.failAt >= 0) {
                EXPECT_EQ(testing::ReadWholeFile(rom.path), before);
            }
            continue;
        }
        ASSERT_TRUE(saved) << Describe(saved.error());
        EXPECT_EQ(saved->doors, (std::vector<size_t>{2, 4}));
        EXPECT_FALSE(DoorsChanged(state));
        expected[kTables + 12 * 2 + 3] = 0x77;
        expected[kTables + 12 * 4 + 8] = 0xFF;
        EXPECT_EQ(testing::ReadWholeFile(rom.path), expected);
        EXPECT_EQ(DoorSaveStatusText(*saved).substr(0, 28), "Doors saved (2 records). A b");
    }
}

} // namespace
} // namespace quarnel
