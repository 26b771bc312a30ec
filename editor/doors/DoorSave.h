#pragma once
// Saving the area's door records on their own (the door editor's "Save Doors", the command
// line's door --set): each changed record is rewritten in place through one checked write job,
// with the backup, the checks before the first write, the undo on failure and the read-back of
// a room save. Door tables never move or change length.

#include "common/Error.h"
#include "common/Result.h"
#include "doors/DoorData.h"
#include "rom/Game.h"
#include "storage/RomTransaction.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

struct DoorSaveOutcome {
    std::vector<size_t> doors; // the records written (indexes into AreaDoors)
    RomWriteOutcome write;     // the backup made, notes
};

// Writes the changed records of `doors` into the ROM at `romPath`; on success they count as
// saved. Nothing changed: nothing is written. On failure the records keep their edits and the
// error says whether the file is as it was (a record whose bytes in the file differ from what
// was read is refused before anything is written; records that read back differently after
// the write are a VerifyMismatch).
Result<DoorSaveOutcome, Error> SaveDoors(const std::filesystem::path& romPath, Game game,
                                         DoorState& doors, RomWriteServices& services);

// The status line after a door save: "Doors saved (3 records)." and the backup, if one was
// made; "No door was changed." when there was nothing to write.
std::string DoorSaveStatusText(const DoorSaveOutcome& outcome);

} // namespace quarnel
