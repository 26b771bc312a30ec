#pragma once
// Reading and checking what opening a ROM reads, before anything of the ROM that is open
// now is replaced: the title, the game's fixed tables, every area's room table with its
// room headers, the tileset records, the animated graphics records and every area's door
// table. The window and the command line open ROMs through it, so both refuse
// the same files with the same reasons.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Catalog.h"
#include "rom/Game.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;

// The file size the game's fixed tables need: one past the last byte of the table that
// lies furthest into the file (0 for Game::None).
uint64_t TablesEnd(Game game);

// Checks the tables of `catalog` against `file`: every area's room table pointer and its
// RoomCount headers inside the file, the graphics, palette and block table pointers of the
// game's tileset records, the frames of every animated graphics record in use, and every
// area's door table as the area selection reads it. The first fault found is the
// error; its detail names the table and the entry, its offset is where the entry lies.
Result<void, Error> CheckCatalog(const RomFile& file, const Catalog& catalog);

// Opens the file, recognises the game (NotARom says why not), checks that the file holds
// the game's tables (RomTooSmall), reads them and checks them with CheckCatalog. Nothing
// of any editor state is touched.
Result<Catalog, Error> ReadRomTables(const std::filesystem::path& path);

} // namespace quarnel

namespace quarnel {

struct EditorState;

// "Save As": copies the open ROM's file to `target` (through a temporary file and a rename, so
// `target` is either untouched or the whole copy) and makes `target` the open ROM. The edits
// not yet saved stay in memory and go into the copy with the next save. BadArgument when no
// ROM is open or `target` is the open file; the copy's errors otherwise, the open ROM then
// unchanged.
Result<void, Error> SaveRomAs(EditorState& state, const std::filesystem::path& target);

// The "Open Recent" list after opening `path`: it comes first, once, and the list keeps at most
// kRecentRoms entries.
inline constexpr size_t kRecentRoms = 8;
std::vector<std::string> WithRecentRom(std::vector<std::string> recent, const std::string& path);

} // namespace quarnel
