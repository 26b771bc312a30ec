#pragma once
// How each free-space area of a game is used in one ROM: the bytes handed out that hold data,
// the bytes handed out and blank again (space given back, which StorageAlloc hands out again),
// and the bytes never handed out. The storage window draws it as a bar per area and
// quarnel-cli storage --map prints it.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "storage/Storage.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;

struct AreaUsage {
    size_t index = 0;
    StorageArea area;
    uint32_t inUse = 0;     // handed out, not blank (or used by a known pointer's block)
    uint32_t givenBack = 0; // handed out, 0xFF and used by nothing known
    uint32_t neverUsed = 0; // Length - Used
};

// The usage of each of `game`'s areas of `table` in `file`. An area whose counters are broken
// counts as never used where Used is negative and fully handed out where Used passes Length.
std::vector<AreaUsage> MapStorage(const StorageTable& table, Game game, const RomFile& file);

// The same for the ROM file at `path` (FileOpen when it cannot be opened).
Result<std::vector<AreaUsage>, Error> MapStorage(const StorageTable& table, Game game,
                                                 const std::filesystem::path& path);

// "ZM area 0: 1234 bytes in use, 56 given back, 60000 never used".
std::string AreaUsageLine(Game game, const AreaUsage& usage);

} // namespace quarnel
