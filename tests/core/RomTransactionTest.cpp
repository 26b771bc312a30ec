// Write jobs outside Save Room: a new block with a pointer to it, on a generated image, through
// success, refusal before the first write, every failing step and a write that reads back wrong.

#include "storage/RomTransaction.h"

#include "rom/GameTables.h"
#include "rom/RomFile.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include "FaultyWriter.h"
#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::FaultyWriter;
using testing::ReadWholeFile;
using testing::TempFolder;

struct Rig {
    TempFolder folder;
    std::filesystem::path rom = testing::WriteGeneratedRom(folder / "game.gba", Game::ZM, 1);
    StorageSystem storage{folder / "os.bin"};
    RomBackups backups;
    RomWriteServices services{storage, backups, {}};

    Rig() { EXPECT_TRUE(storage.ResetStorage()); }

    // A 40-byte block and the minimap pointer 2 moved to it.
    RomWriteJob Job() {
        RomWriteJob job{rom, Game::ZM, {{std::vector<uint8_t>(40, 0x5A), 44, "minimap 2", 0}}, {}};
        auto file = RomFile::Open(rom, OpenMode::Read);
        EXPECT_TRUE(PlaceBlocks(storage, Game::ZM, *file, job.blocks));
        const uint32_t entry = kZmLayout.miniMapPointers + 8;
        const uint32_t pointer = kGbaRomBase + job.blocks[0].offset;
        job.inPlace.push_back(
            {entry,
             file->ReadBlock(entry, 4),
             {static_cast<uint8_t>(pointer), static_cast<uint8_t>(pointer >> 8),
              static_cast<uint8_t>(pointer >> 16), static_cast<uint8_t>(pointer >> 24)},
             "minimap pointer 2"});
        return job;
    }
};

TEST(RomTransaction, WritesTheBlockThenThePointerAndNothingElse) {
    Rig rig;
    const auto before = ReadWholeFile(rig.rom);
    const RomWriteJob job = rig.Job();
    auto done = CommitRomWrites(job, rig.services);
    ASSERT_TRUE(done) << Describe(done.error());
    EXPECT_TRUE(done->backup);
    EXPECT_EQ(ReadWholeFile(*done->backup), before);
    const auto after = ReadWholeFile(rig.rom);
    size_t changed = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        changed += after[i] != before[i] ? 1 : 0;
    }
    EXPECT_LE(changed, 44u);
    EXPECT_TRUE(std::equal(job.blocks[0].bytes.begin(), job.blocks[0].bytes.end(),
                           after.begin() + job.blocks[0].offset));
    EXPECT_EQ(UsableAreas(rig.storage.Table(), Game::ZM)[0].Used, 44);
}

// Moving the same pointer again gives the block it left back to the free space; the game's own
// minimap, outside every area, stays.
TEST(RomTransaction, GivesBackTheBlockItsPointerLeft) {
    Rig rig;
    const uint32_t entry = kZmLayout.miniMapPointers + 8;
    const uint32_t original =
        std::move(RomFile::Open(rig.rom, OpenMode::Read)).value().ReadU32(entry) - kGbaRomBase;
    RomWriteJob first = rig.Job();
    first.superseded.push_back({original, StoredKind::Lz77, 0, "the old minimap 2"});
    auto one = CommitRomWrites(first, rig.services);
    ASSERT_TRUE(one) << Describe(one.error());
    EXPECT_TRUE(one->givenBack.given.empty());
    ASSERT_EQ(one->givenBack.kept.size(), 1u);
    EXPECT_EQ(one->givenBack.kept[0].offset, original);

    RomWriteJob second = rig.Job();
    second.superseded.push_back({first.blocks[0].offset, StoredKind::Raw, 40, "the old minimap 2"});
    auto two = CommitRomWrites(second, rig.services);
    ASSERT_TRUE(two) << Describe(two.error());
    ASSERT_EQ(two->givenBack.given.size(), 1u);
    EXPECT_EQ(two->givenBack.given[0].offset, first.blocks[0].offset);
    EXPECT_EQ(two->givenBack.given[0].size, 40u);
    const auto after = ReadWholeFile(rig.rom);
    EXPECT_TRUE(std::all_of(after.begin() + first.blocks[0].offset,
                            after.begin() + first.blocks[0].offset + 40,
                            [](uint8_t byte) { return byte == 0xFF; }));
}

// A write that reads back wrong comes after the commit point: the job is done, and the
// outcome names what differs.
TEST(RomTransaction, NamesWhatReadsBackDifferently) {
    Rig rig;
    std::vector<std::string> log;
    rig.services.writerFor = [&](RomFile& file) {
        return std::make_unique<FaultyWriter>(file, log, -1, false, 0);
    };
    auto done = CommitRomWrites(rig.Job(), rig.services);
    ASSERT_TRUE(done) << Describe(done.error());
    EXPECT_EQ(done->differences, std::vector<std::string>{"minimap 2"});
    const auto pointerWrite = "write " + std::to_string(kZmLayout.miniMapPointers + 8) + " 4";
    EXPECT_EQ(log, (std::vector<std::string>{"write " + std::to_string(0x760D38) + " 40", "flush",
                                             "flush", pointerWrite, "flush"}));
}

TEST(RomTransaction, RefusesOrRestoresAndTellsWhich) {
    const struct {
        const char* name;
        int failAt;       // writer step that fails (-1: none)
        int corruptAt;    // write whose byte is flipped (-1: none)
        bool changeFirst; // the pointer entry changes in the file after it was read
        const char* message;
        bool fileAsBefore;
    } cases[] = {
        {"block write", 0, -1, false, "put back as it was", true},
        {"flush", 1, -1, false, "put back as it was", true},
        {"pointer write", 3, -1, false, "put back as it was", true},
        {"changed record", -1, -1, true, "no longer holds what the editor read", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const RomWriteJob job = rig.Job();
        if (c.changeFirst) {
            const uint8_t other[] = {0x77};
            ASSERT_TRUE(std::move(RomFile::Open(rig.rom, OpenMode::ReadWrite))
                            .value()
                            .WriteAt(job.inPlace[0].offset, other));
        }
        const auto before = ReadWholeFile(rig.rom);
        std::vector<std::string> log;
        rig.services.writerFor = [&](RomFile& file) {
            return std::make_unique<FaultyWriter>(file, log, c.failAt, true, c.corruptAt);
        };
        auto done = CommitRomWrites(job, rig.services);
        ASSERT_FALSE(done);
        EXPECT_NE(Describe(done.error()).find(c.message), std::string::npos)
            << Describe(done.error());
        EXPECT_EQ(ReadWholeFile(rig.rom) == before, c.fileAsBefore);
    }
}

} // namespace
} // namespace quarnel
