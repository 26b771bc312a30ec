#pragma once
// ReinsertTileset: writes the tiles held in memory (TileGraphics) back into the ROM for the
// loaded tileset, through the checked write job of RomTransaction.h (backup, pre-checks,
// free space, write, read back).
//
// Each of the three regions of TileGraphics goes back where it was read, and only when it
// differs from what the ROM holds there:
// - the animated slots the tileset uses: each slot's four tiles over the frame it shows (the
//   frame its counter names; frame 0 unless the animation ran), in place;
// - the game's common tiles (ZM's last area has its own), 4,096 bytes in place;
// - the tileset's own tiles, LZ77-compressed. The stream keeps the size its old stream
//   declared, so graphics the editor does not show (beyond tile 839) are kept and the game
//   unpacks no more than before; it grows only to hold tiles drawn beyond a shorter old end.
//   Zero Mission: the stream goes into free space and only the tileset's own 20-byte record
//   is rewritten to point at it. Fusion: the stream is written over the old one when it fits
//   in the old stream's length, else into free space with the record pointed at it.
// New streams start on a 4-byte boundary, as the GBA's decompressor needs. The record is the
// last write (the commit point).

#include "common/Error.h"
#include "common/Result.h"
#include "main/EditorState.h"
#include "storage/RomTransaction.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

class StorageSystem;

// Graphics streams that declare more than this are taken as damaged: the editor writes a
// fresh stream of the tiles it shows instead of keeping their tail. (The GBA's background
// memory holds 64 KiB.)
inline constexpr uint32_t kLargestTilesetGraphics = 0x10000;

struct ReinsertPlan {
    RomWriteJob job;
    int tileset = -1;
    std::vector<uint8_t> graphics;         // what the new stream decodes to
    std::optional<uint32_t> streamPointer; // GbaPointer of the stream when it is written
    bool streamMoved = false;              // the record points at new space
    std::vector<std::string> written;      // one line per part written, for the user
    std::vector<std::string> notes;        // what the user should know besides
};

// Works out every write, with new space as `storage` would hand it out now; changes nothing.
// Errors: BadArgument (no tileset loaded), BadTileset (its number lies beyond the table),
// FileOpen (the ROM cannot be read), StorageExhausted (no free space for a new stream, or
// free space that is not blank).
Result<ReinsertPlan, Error> PlanReinsertTileset(const EditorState& state,
                                                const StorageSystem& storage);

struct ReinsertOutcome {
    std::vector<std::string> written; // empty: the ROM already held these tiles
    std::vector<std::string> notes;
    std::optional<std::filesystem::path> backup;
    GiveBackOutcome givenBack; // what became of a moved stream's old place
};

// Rereads the storage bookkeeping of `services`, plans, commits, then decodes the stream
// where it now lies and compares it with what was meant. After the commit the tileset record
// in the state follows the file and PicTSA is redrawn, also when that last check fails
// (VerifyMismatch). When the plan or the commit fails the state is unchanged and the error
// says whether the file is as it was. Nothing to write is no error: `written` is empty.
Result<ReinsertOutcome, Error> ReinsertTileset(EditorState& state, RomWriteServices& services);

} // namespace quarnel
