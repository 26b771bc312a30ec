// Writing tiles back into generated ROMs of both games: a sheet exported and imported again
// changes nothing; a changed pixel shows in the room loaded again and only the new stream and
// the tileset's record change; Fusion rewrites in place only what fits; graphics the editor
// does not show are kept; block table edits are undo steps, stored by Save Room in place; ZM's
// two table records beyond its real tilesets, which lie over its first door table, are never
// written to or through.

#include "side/TilesetReinsert.h"
#include "graphics/IndexedPng.h"
#include "graphics/Lz77Codec.h"
#include "rom/GameTables.h"
#include "side/BlockEditing.h"
#include "side/TileFiles.h"

#include "RomImage.h"
#include "SaveRig.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>

namespace quarnel {
namespace {

using testing::Image;
using testing::ReadWholeFile;
using testing::SaveRig;

struct ReinsertRig : SaveRig {
    RomWriteServices writeServices{state.Storage, backups, {}};

    explicit ReinsertRig(Game which) : SaveRig(which) {}

    // The tiles after a trip through a tile sheet PNG in palette row 3.
    TileGraphics ThroughSheet(const IndexedImage& sheet) const {
        auto tiles = TilesFromFileBytes(*EncodeIndexedPng(sheet));
        EXPECT_TRUE(tiles) << Describe(tiles.error());
        return *tiles;
    }

    Result<ReinsertOutcome, Error> Reinsert() { return ReinsertTileset(state, writeServices); }

    uint32_t RecordOffset() const {
        return LayoutOf(game)->tilesetTable +
               static_cast<uint32_t>(state.Graphics.Number) * kTilesetRecordSize;
    }
};

// The ranges [begin, end) where two images differ, merged across gaps below 8 bytes.
std::vector<std::pair<size_t, size_t>> Changes(const std::vector<uint8_t>& a,
                                               const std::vector<uint8_t>& b) {
    std::vector<std::pair<size_t, size_t>> ranges;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (!ranges.empty() && i - ranges.back().second < 8) {
                ranges.back().second = i + 1;
            } else {
                ranges.push_back({i, i + 1});
            }
        }
    }
    return ranges;
}

class TilesetReinsert : public ::testing::TestWithParam<Game> {};

TEST_P(TilesetReinsert, AnExportedSheetImportedAgainChangesNothing) {
    ReinsertRig rig(GetParam());
    const auto before = rig.Bytes();
    const Tileset& tileset = rig.state.Graphics;
    rig.state.Graphics.Tiles = rig.ThroughSheet(TileSheet(tileset.Tiles, tileset.Colours, 3));
    auto done = rig.Reinsert();
    ASSERT_TRUE(done) << Describe(done.error());
    EXPECT_TRUE(done->written.empty());
    EXPECT_EQ(rig.Bytes(), before);
}

TEST_P(TilesetReinsert, AChangedPixelShowsInTheRoomLoadedAgain) {
    ReinsertRig rig(GetParam());
    const Tileset& tileset = rig.state.Graphics;
    // A tile of the tileset's own that the level layer draws.
    int tile = -1;
    const RoomLayer& level = rig.state.LevelLayer;
    for (int y = 0; y < level.Height && tile < 0; ++y) {
        for (int x = 0; x < level.Width && tile < 0; ++x) {
            const int block = level.Cell(x, y) & 0x3FF;
            const int t = tileset.Blocks[BlockWord(block, 0)] & 0x3FF;
            if (t >= 192 && t < 840) {
                tile = t;
            }
        }
    }
    ASSERT_GE(tile, 0);
    const std::vector<uint32_t> picture(rig.state.MapPicture.Pixels().begin(),
                                        rig.state.MapPicture.Pixels().end());
    const uint32_t oldPointer = rig.state.Tables.TilesetTable[tileset.Number].Graphics;
    const auto before = rig.Bytes();

    IndexedImage sheet = TileSheet(tileset.Tiles, tileset.Colours, 0);
    for (int y = 0; y < 8; ++y) { // the whole tile becomes colour 7 of its row
        for (int x = 0; x < 8; ++x) {
            sheet.Indices[((tile / 16) * 8 + y) * 128 + (tile % 16) * 8 + x] = 7;
        }
    }
    rig.state.Graphics.Tiles = rig.ThroughSheet(sheet);
    // Earlier saves left the free space at an odd offset.
    StorageTable storage = rig.Storage();
    storage.ZMAreas[0].Used = 3;
    storage.MFAreas[0].Used = 3;
    const auto table = SerializeStorageTable(storage);
    rig.folder.WriteFile("os.bin", table);
    auto done = rig.Reinsert();
    ASSERT_TRUE(done) << Describe(done.error());
    ASSERT_FALSE(done->written.empty());

    const auto fresh = rig.Reopened();
    EXPECT_EQ(fresh->Graphics.Tiles, rig.state.Graphics.Tiles);
    EXPECT_FALSE(std::equal(picture.begin(), picture.end(), fresh->MapPicture.Pixels().begin()));
    const uint32_t pointer = fresh->Tables.TilesetTable[tileset.Number].Graphics;
    EXPECT_EQ(pointer, rig.state.Tables.TilesetTable[tileset.Number].Graphics);
    EXPECT_EQ(pointer % 4, 0u) << "the GBA decompressor needs aligned streams";

    // Nothing changed but the stream and, when it moved, the record's graphics pointer.
    const auto after = rig.Bytes();
    const auto changes = Changes(before, after);
    const size_t stream = pointer - kGbaRomBase;
    const size_t length = *Lz77StreamLength(std::span(after).subspan(stream));
    for (const auto& [begin, end] : changes) {
        const bool inStream = begin >= stream && end <= stream + length;
        const bool inRecord = begin >= rig.RecordOffset() && end <= rig.RecordOffset() + 4;
        EXPECT_TRUE(inStream || inRecord) << "changed 0x" << std::hex << begin << "-0x" << end;
    }
    if (GetParam() == Game::ZM) {
        EXPECT_NE(pointer, oldPointer);
        EXPECT_GE(stream, kZmFreeSpace[0].begin);

        // The next import moves the stream again and gives this one back.
        sheet.Indices[(tile / 16) * 8 * 128 + (tile % 16) * 8] = 9;
        rig.state.Graphics.Tiles = rig.ThroughSheet(sheet);
        auto again = rig.Reinsert();
        ASSERT_TRUE(again) << Describe(again.error());
        ASSERT_EQ(again->givenBack.given.size(), 1u);
        const auto last = rig.Bytes();
        EXPECT_NE(rig.state.Tables.TilesetTable[tileset.Number].Graphics, pointer);
        EXPECT_TRUE(std::all_of(last.begin() + static_cast<std::ptrdiff_t>(stream),
                                last.begin() + static_cast<std::ptrdiff_t>(stream + length),
                                [](uint8_t byte) { return byte == 0xFF; }));
    }
}

TEST_P(TilesetReinsert, BlockTableEditsAreSavedInPlaceBySaveRoom) {
    ReinsertRig rig(GetParam());
    const auto before = rig.Bytes();
    const size_t word = BlockWord(37, 2);
    const uint16_t old = rig.state.Graphics.Blocks[word];
    const TileEntry entry = JoinEntry(static_cast<uint16_t>((old & 0x3FF) ^ 0x15), true, false, 4);
    ASSERT_TRUE(SetBlockTile(rig.state, 37, 2, entry));
    EXPECT_TRUE(rig.state.HasUnsavedChanges());
    EXPECT_EQ(BlockTilesOf(rig.state.Graphics, 37)[2].Flip, 0x0400);
    // One undo step, through the same writer.
    const RoomKey room{rig.area, rig.room};
    EXPECT_EQ(rig.state.History.UndoName(room), "Change Block 25 Tile 3");
    EXPECT_TRUE(rig.state.History.Undo(rig.state, room).blocks);
    EXPECT_EQ(rig.state.Graphics.Blocks[word], old);
    EXPECT_FALSE(rig.state.HasUnsavedChanges());
    rig.state.History.Redo(rig.state, room);
    EXPECT_EQ(rig.state.Graphics.Blocks[word], entry.value);

    auto saved = rig.Save();
    ASSERT_TRUE(saved) << Describe(saved.error());
    EXPECT_TRUE(saved->differences.empty());
    EXPECT_FALSE(rig.state.Graphics.BlocksChanged());
    const auto after = rig.Bytes();
    const size_t table = rig.state.Graphics.BlocksPointer - kGbaRomBase;
    EXPECT_EQ(after[table + 2 * word], entry.value & 0xFF);
    EXPECT_EQ(after[table + 2 * word + 1], entry.value >> 8);
    for (size_t i = 0; i < 2 * kBlockTableWords; ++i) {
        if (i / 2 != word) {
            ASSERT_EQ(after[table + i], before[table + i]) << "block table byte " << i;
        }
    }
    EXPECT_EQ(rig.Reopened()->Graphics.Blocks[word], entry.value);
}

INSTANTIATE_TEST_SUITE_P(Games, TilesetReinsert, ::testing::Values(Game::ZM, Game::MF),
                         [](const ::testing::TestParamInfo<Game>& game) {
                             return std::string(GameCodeText(game.param));
                         });

TEST(TilesetReinsertFusion, RewritesInPlaceOnlyWhatFitsTheOldStream) {
    ReinsertRig rig(Game::MF);
    const uint32_t pointer = rig.state.Tables.TilesetTable[rig.state.Graphics.Number].Graphics;
    // Fewer tiles compress smaller: in place, the record untouched.
    std::fill(rig.state.Graphics.Tiles.begin() + 600 * 32, rig.state.Graphics.Tiles.end(), 0);
    auto small = rig.Reinsert();
    ASSERT_TRUE(small) << Describe(small.error());
    EXPECT_EQ(rig.Reopened()->Tables.TilesetTable[rig.state.Graphics.Number].Graphics, pointer);

    // Noise does not fit: new space, and the record at 0x3BF888 points at it.
    testing::TestRandom random(5);
    for (size_t i = kTilesetTilesAt; i < rig.state.Graphics.Tiles.size(); ++i) {
        rig.state.Graphics.Tiles[i] = random.Byte();
    }
    const auto before = rig.Bytes();
    auto large = rig.Reinsert();
    ASSERT_TRUE(large) << Describe(large.error());
    const auto fresh = rig.Reopened();
    const uint32_t moved = fresh->Tables.TilesetTable[rig.state.Graphics.Number].Graphics;
    EXPECT_NE(moved, pointer);
    EXPECT_GE(moved - kGbaRomBase, kMfFreeSpace[0].begin);
    EXPECT_EQ(fresh->Graphics.Tiles, rig.state.Graphics.Tiles);
    // The old stream stays as it was, for any other tileset that uses it.
    const auto after = rig.Bytes();
    EXPECT_TRUE(std::equal(before.begin() + (pointer - kGbaRomBase),
                           before.begin() + (pointer - kGbaRomBase) + 64,
                           after.begin() + (pointer - kGbaRomBase)));
}

TEST(TilesetReinsertTail, GraphicsBeyondTheShownTilesAreKept) {
    ReinsertRig rig(Game::ZM);
    // Give the room's tileset a longer stream, in free space the save does not hand out first.
    std::vector<uint8_t> graphics(24576);
    testing::TestRandom random(9);
    for (auto& byte : graphics) {
        byte = random.Byte();
    }
    const uint32_t at = kZmFreeSpace[1].begin + 0x400;
    {
        auto bytes = rig.Bytes();
        testing::RomImage image(0);
        image.bytes = std::move(bytes);
        image.PutBytes(at, testing::LiteralLz77(graphics));
        image.Put32(rig.RecordOffset(), testing::Pointer(at));
        std::ofstream(rig.rom, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(image.bytes.data()),
                   static_cast<std::streamsize>(image.bytes.size()));
    }
    rig.state = EditorState(rig.storagePath);
    rig.Load(rig.state);
    rig.state.Graphics.Tiles[kTilesetTilesAt + 5] ^= 0x11;

    auto done = rig.Reinsert();
    ASSERT_TRUE(done) << Describe(done.error());
    const uint32_t pointer = rig.state.Tables.TilesetTable[rig.state.Graphics.Number].Graphics;
    ASSERT_NE(pointer, testing::Pointer(at));
    const auto after = rig.Bytes();
    std::vector<uint8_t> decoded(graphics.size() + 1, 0xEE);
    EXPECT_EQ(DecompressLZ77(std::span(after).subspan(pointer - kGbaRomBase), decoded),
              graphics.size());
    graphics[5] ^= 0x11;
    EXPECT_TRUE(std::equal(graphics.begin(), graphics.end(), decoded.begin()));
}

// A room given tileset 79 or 80 in ZM reads records that are the first door table's bytes:
// neither writer may store a record there, nor a block table where those bytes point.
TEST(TilesetReinsertBeyondRealTilesets, NothingIsWrittenForTheRecordsOverTheDoorTable) {
    for (const uint8_t number : {uint8_t{79}, uint8_t{80}}) {
        ReinsertRig rig(Game::ZM);
        {
            auto bytes = rig.Bytes();
            const auto header =
                RoomHeaderOffset(rig.state.Tables, rig.area, rig.room, bytes.size());
            ASSERT_TRUE(header);
            bytes[*header] = number;
            std::ofstream(rig.rom, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        rig.state = EditorState(rig.storagePath);
        rig.Load(rig.state);
        ASSERT_EQ(rig.state.Graphics.Number, number);
        const auto before = rig.Bytes();

        rig.state.Graphics.Tiles[kTilesetTilesAt + 5] ^= 0x11;
        auto reinserted = rig.Reinsert();
        ASSERT_FALSE(reinserted);
        EXPECT_EQ(reinserted.error().kind, ErrorKind::BadTileset);

        rig.state.Graphics.Blocks[BlockWord(3, 0)] ^= 0x0101;
        EXPECT_FALSE(rig.Save());
        EXPECT_EQ(rig.Bytes(), before) << "tileset " << int{number};
    }
}

} // namespace
} // namespace quarnel
