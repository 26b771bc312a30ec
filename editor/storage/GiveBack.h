#pragma once
// Giving free space back. A save relocates the clipdata and every layer it writes, and a write
// job that rewrites a pointer (a minimap, tile graphics) leaves the data the pointer led to
// behind; without this, every save would leak 1 to 4 KiB of the free-space areas for good.
//
// After a write has committed and read back as written, each block it superseded is given
// back, that is overwritten with 0xFF, when (a) it lies wholly inside a free-space area of the
// storage table (never the games' own data, never a never-written range) and (b) nothing the
// editor knows still points into it or overlaps it (KnownBlocks: every room header of every
// area, the sprite lists, tileset records and minimap pointers), read from the file after the
// commit. StorageAlloc then hands the space out again (FindReusableBlock). Offsets are ROM file
// offsets.

#include "rom/Game.h"
#include "storage/KnownBlocks.h"
#include "storage/Storage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;
class RomWriter;

// A block that a committed write stopped pointing to: where the old pointer led.
struct SupersededBlock {
    uint32_t offset = 0;
    StoredKind kind = StoredKind::Raw;
    uint32_t rawSize = 0; // Raw: the block's size
    std::string what;     // for messages: "the old clipdata"
};

struct GivenBackBlock {
    uint32_t offset = 0;
    uint32_t size = 0;
    std::string what;
};

struct KeptBlock {
    uint32_t offset = 0;
    std::string what;
    std::string reason; // why it was not given back
};

struct GiveBackOutcome {
    std::vector<GivenBackBlock> given; // now all 0xFF
    std::vector<KeptBlock> kept;       // left as they were
    // A write or flush that failed, or a block that does not read back blank. A block whose
    // write failed is put back as it was; if even that fails it is left partly blank, which
    // is harmless since nothing points into it. Either way the commit stands.
    std::optional<std::string> problem;

    uint64_t BytesGiven() const;
};

// Gives back `blocks` (duplicates count once) in the ROM `file`, which the write that
// superseded them has committed to; writes go through `writer` (on `file`), which is flushed at
// the end. `table` is the storage table the areas come from. Stops at the first write that
// fails.
GiveBackOutcome GiveBackBlocks(const RomFile& file, RomWriter& writer, Game game,
                               const StorageTable& table, std::span<const SupersededBlock> blocks);

// The status text of a give-back: "N bytes of free space given back." or nothing when none.
std::optional<std::string> GiveBackSummary(const GiveBackOutcome& outcome);

} // namespace quarnel
