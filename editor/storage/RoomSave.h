#pragma once
// Save Room: writes the room loaded in the editor back into its ROM file, then loads it again
// by running room selection, and compares what was loaded with what was written.
//
// The save plans everything first (SavePlan.h) and writes nothing when any check fails. Then:
// the ROM file is copied to its backup (once per run, RomBackup.h); the free space of each
// layer is taken from the storage bookkeeping; the layers are written into it and the file
// is flushed; the marked sprite lists, the changed tileset and door records, a changed scroll
// record and the changed words of the block table are written in place and the file is flushed
// again; last of all the 60-byte room header, which is the one write that makes the room use the
// new data (the commit point). Until the header is written the ROM's room is the old one; when a
// write fails before then, the bytes already written are put back as they were, so the file ends
// byte for byte as it began. Space taken from the bookkeeping for a save that then fails stays
// taken; the ROM does not refer to it. Once everything written, the header included, reads back
// byte for byte, the old place of each layer written is given back to the free space where
// nothing else uses it (GiveBack.h).

#include "common/Error.h"
#include "common/Result.h"
#include "main/EditorState.h"
#include "main/RoomLoading.h"
#include "storage/RomWriter.h"
#include "storage/SavePlan.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

class PelnixBinding;
class RomBackups;
class RomFile;

// What a save needs besides the editor state; the GUI and the CLI each hold one set for the
// whole run.
struct SaveServices {
    PelnixBinding& pelnix;
    RomBackups& backups;
    // Makes the writer of the save's writes for the ROM file opened for writing; empty: a
    // RomFileWriter. Tests put a writer here that fails at a chosen step.
    std::function<std::unique_ptr<RomWriter>(RomFile&)> writerFor;
};

struct WrittenLayer {
    LayerKind kind = LayerKind::Clip;
    uint32_t offset = 0;  // ROM offset of the stored layer
    int32_t reserved = 0; // bytes taken from the free space
    uint32_t written = 0; // bytes written there
};

struct SaveOutcome {
    std::vector<WrittenLayer> layers;
    std::vector<SpriteListWrite> spriteLists;    // the sprite lists written in place
    std::vector<size_t> tilesetRecords;          // tileset records written
    std::vector<size_t> doorRecords;             // door records of the area written
    bool scrollsWritten = false;                 // the room's scroll record written
    std::optional<InPlaceWrite> blockTable;      // the changed words of the block table
    std::optional<std::filesystem::path> backup; // the backup this save made
    // Where the room loaded after the save differs from what was written; empty when all
    // matched (bits 10-15 of tile cells are not stored and are not compared).
    std::vector<std::string> differences;
    std::vector<Error> reloadProblems; // what the reload reported
    std::vector<std::string> notes;    // what the save left out, or could not flush
    GiveBackOutcome givenBack;         // the old layers given back to the free space
};

// Saves the room in `state` with the header fields of `lists`, then reloads it with
// SelectRoom (which clears the change marks) and verifies it. The storage table is read
// again from os.bin first, so space another program handed out meanwhile is not handed out
// twice. On failure the editor state keeps every edit (nothing is reloaded), and the error
// says what failed and whether the ROM file is as it was.
Result<SaveOutcome, Error> SaveRoom(EditorState& state, const HeaderLists& lists,
                                    SaveServices& services);

// The status bar line after a save: "Room saved." when the room read back as written
// (otherwise a line that sends the user to the warning), with the free space given back and
// the backup, if this save made one.
std::string SaveStatusText(const SaveOutcome& outcome);

// The message that a save needs to show besides the status bar: the differences found
// after the reload, the reload's problems and the notes; nothing when all went well.
std::optional<std::string> SaveWarningText(const SaveOutcome& outcome);

// The message for a failed save.
std::string SaveFailureText(const Error& error);

} // namespace quarnel
