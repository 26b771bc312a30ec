#pragma once
// The check after a save: the room as it was loaded again from the ROM against what the save
// wrote. Tile cells are compared on their stored bits 0-9 only (bits 10-15 are not stored),
// clip cells on their byte.

#include "main/EditorState.h"
#include "main/RoomLoading.h"
#include "storage/SavePlan.h"

#include <string>
#include <vector>

namespace quarnel {

// One sentence per difference; empty when the reloaded header, every written layer and
// every written sprite list are what `plan` wrote (a sprite list must read back with the
// count it was written with and the same entries; a difference names the list). `reload`
// is the report of the reload into `state`; a reload that did not load the room is one
// difference.
std::vector<std::string> VerifySavedRoom(const EditorState& state, const SavePlan& plan,
                                         const LoadReport& reload);

// The bits of a cell that a stored layer keeps: 0-9 of a tile cell, 0-7 of a clip cell.
uint16_t StoredBits(LayerKind kind, int16_t cell);

} // namespace quarnel
