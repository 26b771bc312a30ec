#pragma once
// Saving a ZM minimap: the grid is compressed with CompressLZ77, the stream goes into free
// space handed out by the storage bookkeeping, and the area's entry of the minimap pointer
// table is pointed at it, through the checked write job of RomTransaction.h (backup, checks
// before the first write, the stream flushed before the pointer is written, read back after).
// Every save takes new space; the old stream stays where it was, unreferenced.

#include "common/Error.h"
#include "common/Result.h"
#include "side/MiniMap.h"
#include "storage/RomTransaction.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quarnel {

struct Catalog;

struct MiniMapSaveOutcome {
    uint32_t offset = 0; // ROM offset of the new stream
    uint32_t length = 0; // its length in bytes, header included
    std::optional<std::filesystem::path> backup;
    std::vector<std::string> notes;       // what went wrong after the pointer was written
    std::vector<std::string> differences; // what reads back otherwise than it was written
    GiveBackOutcome givenBack;            // what became of the old stream
};

// Saves `map` into the ROM at `romPath`, whose tables `catalog` holds. The storage table is
// read again from its file first, so space handed out meanwhile is not handed out twice. The
// stream starts on a 4-byte boundary, as the console's decompressor needs: the space asked for
// is the stream's length rounded up to 4, plus 3 bytes of slack in front that the block may
// skip. The pointer entry is written only where the file still holds the pointer in `catalog`;
// once the pointer is written `catalog.MiniMapPointers[map.area]` names the new stream, and the
// outcome lists anything that then read back wrong. Errors: BadArgument
// (not a ZM catalog, or an area outside the table), and those of PlaceBlocks and
// CommitRomWrites, which say whether the ROM file is as it was.
Result<MiniMapSaveOutcome, Error> SaveMiniMap(const std::filesystem::path& romPath,
                                              Catalog& catalog, const MiniMap& map,
                                              RomWriteServices& services);

// The status line after a save: where the minimap went and the backup made, if any.
std::string MiniMapSavedText(const MiniMap& map, const MiniMapSaveOutcome& outcome);

} // namespace quarnel
