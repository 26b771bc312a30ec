#include "storage/RoomSave.h"

#include "doors/DoorEdits.h"
#include "main/MapEditing.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"
#include "storage/RoomResize.h"

#include "FaultyWriter.h"
#include "SaveRig.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace quarnel {
namespace {

using testing::FaultyWriter;
using testing::ReadWholeFile;
using testing::SaveRig;
using Bytes = std::vector<uint8_t>;

struct Range {
    uint64_t begin, end;
};

// Every byte that differs lies in one of `allowed`.
void ExpectChangesWithin(const Bytes& before, const Bytes& after,
                         const std::vector<Range>& allowed) {
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i] &&
            std::none_of(allowed.begin(), allowed.end(),
                         [i](const Range& r) { return i >= r.begin && i < r.end; })) {
            FAIL() << "byte 0x" << std::hex << i << " changed";
        }
    }
}

int64_t UsedOf(const StorageTable& table, Game game) {
    int64_t used = 0;
    for (const auto& area : UsableAreas(table, game)) {
        used += area.Used;
    }
    return used;
}

Range Block(const WrittenLayer& layer) {
    return {layer.offset, uint64_t{layer.offset} + layer.written};
}

Range HeaderBytes(const SaveRig& rig, uint32_t at, uint32_t size = 4) {
    return {rig.state.HeaderOffset + at, rig.state.HeaderOffset + at + size};
}

// Moves entry 0 of a list one block right, as a drag does; that marks the list.
void DragFirstSprite(EditorState& state, int list) {
    LabelSnap snap;
    snap.blockX = static_cast<uint8_t>(state.Sprites.List(list).at(0).X + 1);
    ASSERT_TRUE(MoveSprite(state.Sprites, list, 0, snap));
}

class SaveCycle : public ::testing::TestWithParam<Game> {};

// Paint, save, reopen three times: the first two saves take free space by exactly the
// reserved sizes; the second gives the first one's layers back and the third takes that space
// again, with a blank byte on each side. The pointers move and
// nothing else changes but the new blocks, the blocks given back (once a tileset record, once
// the list fields of the header).
TEST_P(SaveCycle, PaintSaveReopenThreeTimes) {
    SaveRig rig(GetParam());
    const uint32_t table = LayoutOf(rig.game)->tilesetTable;
    std::vector<Range> firstSave;
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        const Bytes before = rig.Bytes();
        const StorageTable storageBefore = rig.Storage();
        RoomHeader header = rig.state.CurrentRoomHeader;
        const auto value = static_cast<uint16_t>(0x21 + cycle);
        ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, 1 + cycle, 2, value));
        std::vector<Range> allowed = {HeaderBytes(rig, 12), HeaderBytes(rig, 20)};
        if (cycle == 1) {
            rig.state.Tables.TilesetTable[2].Palette ^= 0x10;
            allowed.push_back({table + 40, table + 60});
        }

        HeaderLists lists = ListsOf(header);
        if (cycle == 2) { // the four list fields go into the header
            lists = {3, 0x2A, 7, 9};
            for (Range field :
                 {HeaderBytes(rig, 0, 1), HeaderBytes(rig, 53, 2), HeaderBytes(rig, 58, 1)}) {
                allowed.push_back(field);
            }
            header.Tileset = 3;
            header.Music = 0x2A;
            header.MiniMapX = 7;
            header.MiniMapY = 9;
        }

        auto saved = SaveRoom(rig.state, lists, rig.services);
        ASSERT_TRUE(saved) << Describe(saved.error());
        EXPECT_TRUE(saved->differences.empty());
        ASSERT_EQ(saved->layers.size(), 2u);
        const WrittenLayer& clip = saved->layers[0];
        const WrittenLayer& level = saved->layers[1];
        ASSERT_EQ(clip.kind, LayerKind::Clip);
        ASSERT_EQ(level.kind, LayerKind::Level);
        EXPECT_EQ(clip.reserved, static_cast<int32_t>(clip.written) + 7); // C + 19 for C + 12
        EXPECT_EQ(level.reserved, static_cast<int32_t>(level.written));   // L + H + 6
        const auto& area0 = UsableAreas(storageBefore, rig.game)[0];
        if (cycle < 2) {
            EXPECT_EQ(clip.offset, static_cast<uint32_t>(area0.Offset + area0.Used));
            EXPECT_EQ(level.offset, clip.offset + static_cast<uint32_t>(clip.reserved));
            EXPECT_EQ(UsedOf(rig.Storage(), rig.game),
                      UsedOf(storageBefore, rig.game) + clip.reserved + level.reserved);
        } else {
            // The clipdata goes into the lowest run given back, after one blank byte; the
            // level layer follows it there or extends Used.
            EXPECT_EQ(clip.offset, firstSave[0].begin + 1);
            EXPECT_LE(UsedOf(rig.Storage(), rig.game),
                      UsedOf(storageBefore, rig.game) + level.reserved);
        }
        // The original room data lies outside the areas and is kept; from the second save on,
        // the previous save's two layers are given back.
        const auto& given = saved->givenBack.given;
        ASSERT_EQ(given.size(), cycle == 0 ? 0u : 2u);
        EXPECT_EQ(saved->givenBack.kept.size(), cycle == 0 ? 2u : 0u);
        const Bytes after = rig.Bytes();
        for (const GivenBackBlock& block : given) {
            allowed.push_back({block.offset, uint64_t{block.offset} + block.size});
            EXPECT_EQ(
                Bytes(after.begin() + block.offset, after.begin() + block.offset + block.size),
                Bytes(block.size, 0xFF));
        }
        if (cycle == 1) {
            EXPECT_EQ(given[0].offset, firstSave[0].begin);
            EXPECT_GE(given[0].size, firstSave[0].end - firstSave[0].begin);
            EXPECT_EQ(given[1].offset, firstSave[1].begin);
            EXPECT_EQ(given[1].size, firstSave[1].end - firstSave[1].begin);
        }
        EXPECT_EQ(saved->tilesetRecords.size(), cycle == 1 ? 1u : 0u);
        allowed.push_back(Block(clip));
        allowed.push_back(Block(level));
        ExpectChangesWithin(before, after, allowed);
        if (cycle == 0) {
            firstSave = {Block(clip), Block(level)};
        }

        auto fresh = rig.Reopened();
        EXPECT_EQ(fresh->LevelLayer.Cell(1 + cycle, 2), value);
        header.LevelPointer = 0x08000000 + level.offset;
        header.ClipDataPointer = 0x08000000 + clip.offset;
        EXPECT_EQ(fresh->CurrentRoomHeader, header);
        EXPECT_EQ(fresh->LevelLayer, rig.state.LevelLayer);
        EXPECT_FALSE(rig.state.LevelDirty || rig.state.HasUnsavedChanges()); // reloaded
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, SaveCycle, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

// os.bin is shared by every ROM of a game, so its counters can be stale: here a fresh one
// (every Used 0) after a save put room data at the start of the first area. The next save,
// of another room, goes past that data and writes only over blank bytes, and the room saved
// first still loads as it was saved.
TEST_P(SaveCycle, StaleStorageFileNeverWritesOverEarlierSaves) {
    SaveRig rig(GetParam());
    ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, 1, 1, 0x31));
    auto first = rig.Save();
    ASSERT_TRUE(first) << Describe(first.error());
    const RoomLayer firstLevel = rig.state.LevelLayer;
    const RoomLayer firstClip = rig.state.ClipLayer;
    rig.folder.WriteFile("os.bin", SerializeStorageTable(DefaultStorageTable()));

    const int other = rig.room == 0 ? 1 : 0;
    ASSERT_TRUE(SelectRoom(rig.state, rig.area, other).Loaded);
    ASSERT_TRUE(PaintCell(rig.state, LayerKind::Clip, 0, 0, 0x0B));
    const Bytes before = rig.Bytes();
    auto second = rig.Save();
    ASSERT_TRUE(second) << Describe(second.error());

    const StorageTable defaults = DefaultStorageTable();
    const StorageArea area0 = UsableAreas(defaults, rig.game)[0];
    for (const WrittenLayer& layer : second->layers) {
        SCOPED_TRACE(LayerName(layer.kind));
        EXPECT_GT(layer.offset, static_cast<uint32_t>(area0.Offset)); // the data was skipped
        const auto old =
            std::span(before).subspan(layer.offset, static_cast<size_t>(layer.reserved));
        EXPECT_TRUE(
            std::all_of(old.begin(), old.end(), [&old](uint8_t b) { return b == old[0]; }) &&
            (old[0] == 0xFF || old[0] == 0x00))
            << "written over data at 0x" << std::hex << layer.offset;
    }
    EXPECT_EQ(rig.state.ClipLayer.Cell(0, 0), 0x0B);
    auto fresh = rig.Reopened();
    EXPECT_EQ(fresh->LevelLayer, firstLevel);
    EXPECT_EQ(fresh->ClipLayer, firstClip);
    EXPECT_EQ(fresh->LevelLayer.Cell(1, 1), 0x31);
}

TEST(RoomSave, TileCellsKeepBitsZeroToNineOnly) {
    SaveRig rig(Game::ZM);
    const uint16_t painted[] = {0x0405, 0x8123, 0x03FF, 0xFFFF};
    const uint16_t stored[] = {0x0005, 0x0123, 0x03FF, 0x03FF};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, i, 1, painted[i]));
    }
    auto saved = rig.Save();
    ASSERT_TRUE(saved) << Describe(saved.error());
    EXPECT_TRUE(saved->differences.empty()) << "dropped bits are no difference";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(static_cast<uint16_t>(rig.state.LevelLayer.Cell(i, 1)), stored[i]);
    }
}

TEST(RoomSave, RefusesATilesetTheGameDoesNotHave) {
    for (const Game game : {Game::ZM, Game::MF}) {
        SaveRig rig(game);
        const Bytes before = rig.Bytes();
        const uint8_t real = static_cast<uint8_t>(RealTilesetCount(*LayoutOf(game)));
        for (const uint8_t tileset : {real, uint8_t{0xFF}}) {
            HeaderLists lists = ListsOf(rig.state.CurrentRoomHeader);
            lists.Tileset = tileset;
            auto saved = SaveRoom(rig.state, lists, rig.services);
            ASSERT_FALSE(saved) << int{tileset};
            EXPECT_EQ(saved.error().kind, ErrorKind::BadTileset);
            EXPECT_EQ(rig.Bytes(), before);
        }
        HeaderLists lists = ListsOf(rig.state.CurrentRoomHeader);
        lists.Tileset = static_cast<uint8_t>(real - 1);
        auto saved = SaveRoom(rig.state, lists, rig.services);
        ASSERT_TRUE(saved) << Describe(saved.error());
        EXPECT_EQ(rig.Reopened()->CurrentRoomHeader.Tileset, real - 1);
    }
}

TEST(RoomSave, WritesEveryMarkedSpriteListInPlace) {
    const std::vector<int> cases[] = {{}, {1, 2}, {2}, {0, 1, 2}};
    for (const auto& marked : cases) {
        SaveRig rig(Game::ZM);
        const SpriteLists original = rig.state.Sprites;
        for (int list : marked) {
            DragFirstSprite(rig.state, list);
        }
        const Bytes before = rig.Bytes();
        auto saved = rig.Save();
        ASSERT_TRUE(saved) << Describe(saved.error());
        std::vector<Range> allowed = {HeaderBytes(rig, 20), Block(saved->layers[0])};
        EXPECT_EQ(saved->layers.size(), 1u); // nothing painted: the clipdata only
        ASSERT_EQ(saved->spriteLists.size(), marked.size());
        for (size_t i = 0; i < marked.size(); ++i) {
            const uint32_t at = SpritePointer(rig.state.CurrentRoomHeader, marked[i]) - 0x08000000;
            EXPECT_EQ(saved->spriteLists[i].listIndex, marked[i]);
            allowed.push_back({at, at + 3u * original.Count(marked[i])}); // not the terminator
        }
        ExpectChangesWithin(before, rig.Bytes(), allowed);
        EXPECT_TRUE(saved->differences.empty());
        const auto fresh = rig.Reopened();
        for (int list = 0; list < 3; ++list) {
            const bool moved = std::find(marked.begin(), marked.end(), list) != marked.end();
            EXPECT_EQ(fresh->Sprites.List(list)[0].X, original.List(list)[0].X + (moved ? 1 : 0));
        }
    }
}

// The first room of the generated image that has a scroll record and a door.
testing::RoomWanted RoomWithDoorAndScrolls(Game game) {
    const SyntheticRoom* wanted = nullptr;
    for (const SyntheticArea& area : testing::GeneratedRom(game, 1).areas) {
        for (const auto& record : area.scrollRooms) {
            const auto door = std::find_if(area.doors.begin(), area.doors.end(), [&](auto& d) {
                return d[0] != 0 && d[1] == record.room;
            });
            if (wanted == nullptr && door != area.doors.end() &&
                record.room < area.expectedRoomCount) {
                wanted = &area.rooms[record.room];
            }
        }
    }
    return [wanted](const SyntheticRoom& room) { return &room == wanted; };
}

class DoorScrollSave : public ::testing::TestWithParam<Game> {};

// A dragged door and an edited scroll reach the file through Save Room, each record rewritten
// where it stands: nothing else changes but the clipdata the save always writes.
TEST_P(DoorScrollSave, WritesTheChangedRecordsInPlace) {
    SaveRig rig(GetParam(), RoomWithDoorAndScrolls(GetParam()));
    EditorState& state = rig.state;
    ASSERT_GT(state.Doors.RoomDoorCount, 0);
    ASSERT_TRUE(state.Scrolls.Stored);
    const uint8_t door = state.Doors.RoomDoorList[0];
    const DoorRecord before = state.Doors.AreaDoors[door];
    LabelSnap snap;
    snap.blockX = static_cast<uint8_t>(before.XEnd() > 0 ? before.XEnd() - 1 : 1);
    snap.blockY = before.YEnd();
    ASSERT_TRUE(MoveDoor(state.Doors, 0, snap));
    ASSERT_TRUE(SetScrollField(state.Scrolls, 0, ScrollField::BreakX, 3));
    const DoorRecord moved = state.Doors.AreaDoors[door];
    const uint32_t doorAt = state.Doors.TableOffset + 12u * door;
    const uint32_t scrollAt = state.Scrolls.Offset;
    const auto scrollBytes = 2 + 8 * state.Scrolls.ScrollList.size();
    ASSERT_TRUE(state.HasUnsavedChanges());

    const Bytes old = rig.Bytes();
    auto saved = rig.Save();
    ASSERT_TRUE(saved) << Describe(saved.error());
    EXPECT_TRUE(saved->differences.empty());
    EXPECT_EQ(saved->doorRecords, std::vector<size_t>{door});
    EXPECT_TRUE(saved->scrollsWritten);
    ExpectChangesWithin(old, rig.Bytes(),
                        {HeaderBytes(rig, 20),
                         Block(saved->layers[0]),
                         {doorAt, doorAt + 12u},
                         {scrollAt, scrollAt + scrollBytes}});
    EXPECT_FALSE(state.HasUnsavedChanges());
    EXPECT_EQ(state.Doors.AreaDoors[door], moved);

    auto fresh = rig.Reopened();
    EXPECT_EQ(fresh->Doors.AreaDoors[door], moved);
    EXPECT_NE(fresh->Doors.AreaDoors[door], before);
    EXPECT_EQ(fresh->Scrolls.ScrollList[0].BreakX(), 3);
}

INSTANTIATE_TEST_SUITE_P(BothGames, DoorScrollSave, ::testing::Values(Game::ZM, Game::MF));

// Four layers, a sprite list and a tileset record: every kind of step, ten in all.
constexpr int kSaveSteps = 10;
void EditEverything(EditorState& state) {
    ASSERT_TRUE(PaintCell(state, LayerKind::Level, 2, 2, 0x33));
    ASSERT_TRUE(PaintCell(state, LayerKind::Foreground, 2, 2, 0x34));
    ASSERT_TRUE(PaintCell(state, LayerKind::Back, 1, 1, 0x35));
    DragFirstSprite(state, 0);
    state.Tables.TilesetTable[5].Tsa ^= 0x100;
}

void ExpectSavedEverything(const SaveRig& rig) {
    auto fresh = rig.Reopened();
    EXPECT_EQ(fresh->LevelLayer.Cell(2, 2), 0x33);
    EXPECT_EQ(fresh->ForegroundLayer.Cell(2, 2), 0x34);
    EXPECT_EQ(fresh->BackLayer.Cell(1, 1), 0x35);
    EXPECT_EQ(fresh->Sprites.SpriteList1[0], rig.state.Sprites.SpriteList1[0]);
    const auto record = rig.state.Tables.TilesetTable[5].ToBytes();
    const auto bytes = rig.Bytes();
    EXPECT_TRUE(std::equal(record.begin(), record.end(),
                           bytes.begin() + LayoutOf(rig.game)->tilesetTable + 100));
}

class FaultInjection : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// A failing step before the header leaves the file byte for byte as it was and the edits in
// the editor; the flush after the header comes past the commit point: the room is saved.
TEST_P(FaultInjection, LeavesTheFileAsItWasOrFullySaved) {
    const auto [failAt, half] = GetParam();
    SaveRig rig(Game::ZM);
    EditEverything(rig.state);
    const Bytes before = rig.Bytes();
    const RoomHeader header = rig.state.CurrentRoomHeader;
    std::vector<std::string> log;
    rig.services.writerFor = [&, failAt = failAt, half = half](RomFile& f) {
        return std::make_unique<FaultyWriter>(f, log, failAt, half);
    };
    auto saved = rig.Save();
    if (failAt == kSaveSteps - 1) {
        ASSERT_TRUE(saved) << Describe(saved.error());
        EXPECT_NE(saved->notes.at(0).find("could not be flushed"), std::string::npos);
        ExpectSavedEverything(rig);
        // The new layers reach the disk before the header that points to them is written,
        // last; each writer reserves its own margin (C + 19, L + H + 8, + 6, + 9).
        const std::string headerWrite = "write " + std::to_string(rig.state.HeaderOffset) + " 60";
        EXPECT_EQ(log[4], "flush");
        EXPECT_EQ(log[7], "flush");
        EXPECT_EQ(log[8], headerWrite);
        const int margins[] = {7, 2, 0, 3};
        for (size_t i = 0; i < 4; ++i) {
            const WrittenLayer& layer = saved->layers[i];
            EXPECT_EQ(log[i], "write " + std::to_string(layer.offset) + " " +
                                  std::to_string(layer.written));
            EXPECT_EQ(layer.reserved - static_cast<int32_t>(layer.written), margins[i]);
        }
        return;
    }
    ASSERT_FALSE(saved);
    EXPECT_NE(Describe(saved.error()).find("injected; the ROM file was put back as it was"),
              std::string::npos);
    EXPECT_TRUE(rig.Bytes() == before);
    EXPECT_EQ(rig.state.CurrentRoomHeader, header);
    EXPECT_EQ(rig.state.LevelLayer.Cell(2, 2), 0x33);
    EXPECT_TRUE(rig.state.LevelDirty && rig.state.Sprites.SpriteListMarked[0]);

    rig.services.writerFor = nullptr; // saving again writes everything
    ASSERT_TRUE(rig.Save());
    ExpectSavedEverything(rig);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FaultInjection,
                         ::testing::Combine(::testing::Range(0, kSaveSteps), ::testing::Bool()));

// What can fail is checked before the first write: then the ROM, os.bin and the edits stay.
TEST(RoomSave, ChecksEverythingBeforeTheFirstWrite) {
    enum class Fault {
        Unwritable,
        NoPelnix,
        StorageFull,
        RoomForClipOnly,
        NoBlankRun,
        NoBackup,
        RecordChanged
    };
    const struct {
        Fault fault;
        const char* message;
    } cases[] = {
        {Fault::Unwritable, "Cannot write file: "},
        {Fault::NoPelnix, "Pelnix library not found: "},
        {Fault::StorageFull, "Free space is exhausted: the clip layer needs "},
        {Fault::RoomForClipOnly, "Free space is exhausted: the level layer needs "},
        {Fault::NoBlankRun, "blank bytes left in this ROM; nothing was written"},
        {Fault::NoBackup, "Cannot write file: backup "},
        {Fault::RecordChanged, "tileset record 3 at 0x"},
    };
    for (const auto& c : cases) {
        if (c.fault == Fault::Unwritable && ::geteuid() == 0) {
            continue; // file permissions do not stop root
        }
        SaveRig rig(Game::MF);
        ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, 0, 0, 0x12));
        PelnixBinding missing({rig.folder / "nowhere"});
        SaveServices services{c.fault == Fault::NoPelnix ? missing : rig.pelnix, rig.backups, {}};
        StorageTable table = rig.Storage();
        auto areas = std::span(table.MFAreas).first(kMFUsableAreaCount);
        const uint32_t next = static_cast<uint32_t>(areas[0].Offset);
        auto plan = PlanRoomSave(rig.state, ListsOf(rig.state.CurrentRoomHeader), rig.pelnix);
        ASSERT_TRUE(plan);
        if (c.fault == Fault::StorageFull || c.fault == Fault::RoomForClipOnly) {
            for (auto& area : areas) {
                area.Used = area.Length;
            }
            if (c.fault == Fault::RoomForClipOnly) {
                areas[0].Used -= plan->layers[0].reserved;
            }
            rig.folder.WriteFile("os.bin", SerializeStorageTable(table));
            // What was handed out holds data, so no space given back is found there either.
            Bytes rom = rig.Bytes();
            for (const auto& area : areas) {
                for (int32_t at = 0; at < area.Used; at += 8) {
                    rom[static_cast<size_t>(area.Offset + at)] = 0x5A;
                }
            }
            rig.folder.WriteFile("game.gba", rom);
        } else if (c.fault == Fault::NoBlankRun) {
            // Data every eight bytes of every area: os.bin says all is free, the ROM says not.
            Bytes rom = rig.Bytes();
            for (uint32_t at = next; at < rom.size(); at += 8) {
                rom[at] = 0x5A;
            }
            rig.folder.WriteFile("game.gba", rom);
        } else if (c.fault == Fault::NoBackup) {
            std::filesystem::create_directories(RomBackups::BackupPathOf(rig.rom) / "keep");
        } else if (c.fault == Fault::RecordChanged) {
            // An edited record whose bytes in the file changed since they were read.
            rig.state.Tables.TilesetTable[3].Palette ^= 0x10;
            const uint8_t other[] = {0xAB};
            ASSERT_TRUE(std::move(RomFile::Open(rig.rom, OpenMode::ReadWrite))
                            .value()
                            .WriteAt(LayoutOf(Game::MF)->tilesetTable + 3 * 20 + 8, other));
        } else if (c.fault == Fault::Unwritable) {
            std::filesystem::permissions(rig.rom, std::filesystem::perms::owner_read);
        }
        const Bytes before = rig.Bytes();
        const Bytes storageBefore = ReadWholeFile(rig.storagePath);

        auto saved = SaveRoom(rig.state, ListsOf(rig.state.CurrentRoomHeader), services);
        ASSERT_FALSE(saved);
        const std::string text = Describe(saved.error());
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_TRUE(rig.Bytes() == before) << text;
        EXPECT_EQ(ReadWholeFile(rig.storagePath), storageBefore) << text;
        EXPECT_EQ(rig.state.LevelLayer.Cell(0, 0), 0x12);
        EXPECT_TRUE(rig.state.LevelDirty);
    }
}

TEST(RoomSave, BacksTheRomUpBeforeItsFirstWriteInARun) {
    SaveRig rig(Game::ZM);
    const auto backup = rig.folder / "game.gba.bak";
    const Bytes original = rig.Bytes();
    auto first = rig.Save();
    ASSERT_TRUE(first) << Describe(first.error());
    EXPECT_EQ(first->backup, backup);
    EXPECT_EQ(ReadWholeFile(backup), original);
    EXPECT_EQ(SaveStatusText(*first),
              "Room saved. A backup of the ROM was written to " + backup.string() + ".");

    const Bytes marker = {'o', 'l', 'd'};
    rig.folder.WriteFile("game.gba.bak", marker);
    auto second = rig.Save(); // the same run: the backup is left alone
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->backup);
    EXPECT_EQ(ReadWholeFile(backup), marker);

    // The next run keeps the .bak and copies the file to a timestamped name instead; the
    // status bar names that copy.
    const auto when = std::chrono::system_clock::now();
    RomBackups nextRun([when] { return when; });
    SaveServices services{rig.pelnix, nextRun, {}};
    const Bytes beforeThird = rig.Bytes();
    auto third = SaveRoom(rig.state, ListsOf(rig.state.CurrentRoomHeader), services);
    ASSERT_TRUE(third);
    EXPECT_EQ(ReadWholeFile(backup), marker);
    const auto copy = RomBackups::TimedCopyPathOf(rig.rom, when);
    EXPECT_EQ(third->backup, copy);
    EXPECT_EQ(ReadWholeFile(copy), beforeThird);
    EXPECT_NE(SaveStatusText(*third).find(copy.string()), std::string::npos);
}

TEST(RoomSave, LayersLongerThanTheOldReaderLimitReadBackWhole) {
    for (Game game : {Game::ZM, Game::MF}) {
        SaveRig rig(game);
        ApplyRoomResize(rig.state, RoomSize{255, 255});
        uint32_t seed = 12345;
        for (int i = 0; i < 255 * 255; ++i) {
            seed = seed * 1103515245u + 12345u;
            rig.state.LevelLayer.SetCell(i % 255, i / 255,
                                         static_cast<int16_t>((seed >> 16) & 0x3FF));
        }
        const auto cells = rig.state.LevelLayer.StoredCells();
        auto saved = rig.Save();
        ASSERT_TRUE(saved) << Describe(saved.error());
        EXPECT_GT(saved->layers.at(2).written, 32572u); // clip, foreground, level
        EXPECT_TRUE(saved->differences.empty() && saved->reloadProblems.empty());
        EXPECT_EQ(rig.Reopened()->LevelLayer.StoredCells(), cells);
    }
}

// "Room saved." only when everything written reads back; otherwise the warning names what.
TEST(RoomSave, VerifyReportsDataThatReadsBackDifferently) {
    const struct {
        int corruptAt; // writes: clipdata, level layer, sprite list 1, sprite list 3
        const char* named;
    } cases[] = {{1, "level layer"}, {2, "sprite list 1 "}, {3, "sprite list 3 "}, {-1, nullptr}};
    for (const auto& c : cases) {
        SaveRig rig(Game::ZM);
        ASSERT_TRUE(PaintCell(rig.state, LayerKind::Level, 1, 1, 0x44));
        DragFirstSprite(rig.state, 0);
        DragFirstSprite(rig.state, 2);
        std::vector<std::string> log;
        rig.services.writerFor = [&log, at = c.corruptAt](RomFile& f) {
            return std::make_unique<FaultyWriter>(f, log, -1, false, at);
        };
        auto saved = rig.Save();
        ASSERT_TRUE(saved) << Describe(saved.error());
        if (c.named == nullptr) {
            EXPECT_TRUE(saved->differences.empty());
            EXPECT_EQ(SaveStatusText(*saved).rfind("Room saved.", 0), 0u);
            continue;
        }
        ASSERT_EQ(saved->differences.size(), 1u) << c.named;
        EXPECT_NE(saved->differences[0].find(c.named), std::string::npos) << saved->differences[0];
        EXPECT_EQ(SaveWarningText(*saved)->rfind(
                      "The room was saved, but loading it again shows differences:", 0),
                  0u);
        EXPECT_EQ(SaveStatusText(*saved).find("Room saved."), std::string::npos);
    }
}

} // namespace
} // namespace quarnel
