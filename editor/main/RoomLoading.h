#pragma once
// Opening a ROM and selecting areas and rooms: the editor's steps without the windows.
// Each returns what went wrong as a list of errors for the caller to report; a room with a
// broken layer still loads, with that layer treated as absent.

#include "common/Error.h"
#include "common/Result.h"
#include "main/EditorState.h"

#include <filesystem>
#include <vector>

namespace quarnel {

// Takes a ROM whose tables ReadRomTables has read and checked as the open ROM: its path,
// game and tables, no area or room selected yet, no doors, no change marks (the caller has
// agreed to drop any edits), and the animated slots seeded from its table.
void AdoptRom(EditorState& state, const std::filesystem::path& path, Catalog tables);

// ReadRomTables, then AdoptRom. On failure (not a ROM, too small, a bad table, unreadable)
// the state is left exactly as it was, so the ROM, room and edits that were open stay.
// Selects nothing and leaves the storage bookkeeping to the caller.
Result<void, Error> OpenRomFile(EditorState& state, const std::filesystem::path& path);

// Clears the change marks of the loaded room: layers, sprite lists and the edited flag.
void ClearChangeMarks(EditorState& state);

struct LoadReport {
    bool Loaded = false;         // the header was read and the room is the selected one
    std::vector<Error> Problems; // corrupt or refused parts, each already handled
};

// Loads room `room` of area `area` into the state, in this order: header, tileset, the
// present tile layers, the layer switches, the map picture, clipdata, sprite lists. Layers
// the header does not declare keep their previous content and are hidden. A layer whose
// data is refused is emptied and treated as absent. When the header itself cannot be read,
// or `room` is not below the area's room count, nothing changes and Loaded is false.
LoadReport LoadRoom(EditorState& state, int area, int room);

// Room selection: LoadRoom, then the room's doors, then the change marks are cleared.
LoadReport SelectRoom(EditorState& state, int area, int room);

struct AreaSelection {
    int RoomCount = 0;
    bool FallbackCount = false; // the game's fixed count was used
    LoadReport Room0;           // the load of the area's first room
};

// Area selection: works out the room count, reads the area's doors and selects room 0.
// All or nothing: when the area lists no room or its room 0 cannot be loaded, Room0.Loaded
// is false and the state (room, doors, change marks) is left as it was.
AreaSelection SelectArea(EditorState& state, int area);

// Opens the ROM as the editor does when the user opens it and then picks a room: the ROM's
// area 0 and its room 0 load first, then area `area` (its room 0) and room `room`. Returns
// the problems met on the way; an error when the ROM cannot be opened or the room not
// loaded.
Result<std::vector<Error>, Error> OpenAtRoom(EditorState& state, const std::filesystem::path& path,
                                             int area, int room);

// Redraws the whole map picture from the state's layers and switches.
void RedrawMap(EditorState& state);

} // namespace quarnel
