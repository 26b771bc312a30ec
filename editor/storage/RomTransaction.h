#pragma once
// One write job on the ROM file outside Save Room (a door editor's save, a minimap save, a
// tileset reinsert, a record edit from the command line), with the guarantees of Save Room:
// everything that can fail is checked before the first byte is written; the ROM is backed up
// before its first write in a run; new data goes into free space handed out by the storage
// bookkeeping and is flushed to the disk before anything refers to it; existing records are
// rewritten in place only where they still hold what was read (InPlaceWrite); and every byte
// written is read back and compared. When a write fails, the bytes already written are put
// back, so the file ends byte for byte as it began.
//
// A job is built in two steps, because pointers to new data can only be written once the new
// data has its place: PlaceBlocks gives each new block the offset the bookkeeping will hand
// out, then the caller builds its in-place writes (pointer tables, records) with those offsets,
// then CommitRomWrites does the writing. The in-place writes run in order after the blocks;
// the last one is the commit point (the write that makes the ROM use the new data). Once the
// job reads back as written, the blocks its pointer rewrites superseded are given back to the
// free space where nothing else uses them (GiveBack.h).

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "storage/GiveBack.h"
#include "storage/InPlaceWrite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

class RomBackups;
class RomFile;
class RomWriter;
class StorageSystem;

// New data for free space. Offsets are ROM file offsets.
struct NewBlock {
    std::vector<uint8_t> bytes; // written at the block's start
    int32_t reserved = 0;       // bytes asked of the free space; at least bytes.size()
    std::string what;           // for messages: "minimap 3"
    uint32_t offset = 0;        // set by PlaceBlocks
};

// Gives each block, in order, the offset StorageAlloc would hand out for it now on this ROM:
// space given back first, then blank space past Used (past any data the bookkeeping did not
// know of), never a byte of a block the ROM's known pointers lead to (KnownBlocks). Changes
// nothing: not the bookkeeping, not the file. Errors: StorageExhausted (no area has a blank run for
// a block), BadArgument (a reserved size below the block's length).
Result<void, Error> PlaceBlocks(const StorageSystem& storage, Game game, const RomFile& file,
                                std::vector<NewBlock>& blocks);

// Takes the placed blocks' space from the bookkeeping for real, in order. The bookkeeping must
// hand out exactly the placed offsets (StorageExhausted otherwise, naming the block); nothing
// is written to the ROM here.
Result<void, Error> TakePlacedSpace(StorageSystem& storage, Game game, const RomFile& file,
                                    std::span<const NewBlock> blocks);

struct RomWriteJob {
    std::filesystem::path romPath;
    Game game = Game::None;
    std::vector<NewBlock> blocks;      // placed by PlaceBlocks
    std::vector<InPlaceWrite> inPlace; // in order; the last is the commit point
    std::string what = "the data";     // for messages: "the room", "the minimap"
    // The blocks the in-place writes stop pointing to (the old minimap stream when its pointer
    // is rewritten), given back after the commit where nothing else uses them.
    std::vector<SupersededBlock> superseded{};
};

// What a commit did. Once the commit point is written the job counts as done: a flush that
// fails afterwards is a note, and data that reads back differently is listed for the caller
// to show.
struct RomWriteOutcome {
    std::optional<std::filesystem::path> backup; // the backup this job made, if any
    std::vector<std::string> notes;
    std::vector<std::string> differences; // the `what` of each range that reads back wrong
    GiveBackOutcome givenBack;            // what was given back of `superseded`
};

// The services a write job needs; the GUI and the CLI hold one set for their whole run.
struct RomWriteServices {
    StorageSystem& storage;
    RomBackups& backups;
    // Makes the writer for the ROM file opened for writing; empty: a RomFileWriter. Tests put
    // a writer here that fails at a chosen step.
    std::function<std::unique_ptr<RomWriter>(RomFile&)> writerFor;
};

// Writes a placed job: checks every in-place write against the file, backs the ROM up, takes
// the blocks' space from the bookkeeping (it must hand out exactly the placed offsets, else
// nothing is written), writes the blocks, flushes, writes the in-place records but the last in
// order, flushes, writes the last (the commit point), flushes, and reads everything back. A
// failure before the commit point puts the file back as it was; errors say whether that
// worked. When everything reads back as written, the superseded blocks are given back (a
// failure there is a note: the job stands). The bookkeeping keeps space it handed out for a
// job that then failed. A job with nothing to write does nothing.
Result<RomWriteOutcome, Error> CommitRomWrites(const RomWriteJob& job, RomWriteServices& services);

} // namespace quarnel
