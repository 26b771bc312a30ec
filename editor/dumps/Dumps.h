#pragma once
// The three text dumps, one file per room or tileset, for study outside the editor:
//
//   rooms             <root>/Header/<game>/Room/Area<area, decimal>/Room<room, hex>.txt
//   tilesets          <root>/Header/<game>/Tilesets/Tileset/Tileset<tileset, hex>.txt
//   tileset pointers  <root>/Header/<game>/Tilesets/Tileset_Pointer_List/Tileset<hex>.txt
//
// <game> is "ZM" or "MF". Every file is written anew, every line ends with CR LF, every number
// is upper-case hexadecimal without leading zeros. The folders are created as needed. A file
// or folder that cannot be written stops the dump with an error naming it; the files written
// before it stay.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Catalog.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;

enum class DumpKind { Rooms, Tilesets, TilesetPointers };

// Called before each file with the files done so far and the total; false cancels the dump
// (files written before stay).
using DumpProgress = std::function<bool(size_t done, size_t total)>;

struct DumpOutcome {
    size_t files = 0;
    bool cancelled = false;
    // What was passed over, one sentence each: a tileset whose block table pointer leads
    // outside the file gets no file (its content would be another tileset's).
    std::vector<std::string> skipped;
};

// The rooms the room dump writes for an area: the last area's fixed count (ZM 99, MF 3);
// otherwise the distance to the next area's room table in 60-byte headers, rounded to the
// nearest whole number with halves to even; a distance whose count does not fit a byte takes
// the room list's count instead.
int DumpRoomCount(const Catalog& catalog, int area);

// The file contents: lines joined, each followed by CR LF.
std::string DumpText(std::span<const std::string> lines);

// "Group: " and word 0, "Start TSA Block Dump:", then each later word alone.
std::vector<std::string> TilesetDumpLines(std::span<const uint16_t> blockTable);
// The five GbaPointers of a tileset record: "Tiles: ", "Palette: ", "Background: ", "Main: ",
// "Special Effect: ".
std::vector<std::string> TilesetPointerDumpLines(const TilesetRecord& record);

// The folder of a dump's files below `root`.
std::filesystem::path DumpFolder(const std::filesystem::path& root, Game game, DumpKind kind);

// Room dump: every room of every area, each header read from `file` into a scratch record.
// A header that lies past the end of the file stops the dump (FileRead, naming its file).
Result<DumpOutcome, Error> DumpRooms(const RomFile& file, const Catalog& catalog,
                                     const std::filesystem::path& root,
                                     const DumpProgress& progress = {});

// Tileset dump: for each record of the catalog's tileset table, the 20,237 words of the block
// table at its "Main" pointer (bytes past the end of the file read as 0). Reads into a buffer
// of its own: the editor's loaded tileset is not touched.
Result<DumpOutcome, Error> DumpTilesets(const RomFile& file, const Catalog& catalog,
                                        const std::filesystem::path& root,
                                        const DumpProgress& progress = {});

// Tileset pointer dump: each record of the catalog's tileset table as it is in memory; the ROM
// is not read.
Result<DumpOutcome, Error> DumpTilesetPointers(const Catalog& catalog,
                                               const std::filesystem::path& root,
                                               const DumpProgress& progress = {});

} // namespace quarnel
