#pragma once
// The blocks of a ROM that the editor knows something points to: the layers, background image
// and sprite lists of every room header of every area, the data of every tileset record and
// every minimap. Free space is only ever handed out, or given back, where none of them lies.
//
// The index is read from the ROM file in one pass: the game's tables, then each area's room
// headers as one read. Only blocks whose pointer leads into a free-space area are decoded to
// find how far they reach (the only place where their extent matters), so a ROM whose areas
// are still empty costs a few small reads. Offsets are ROM file offsets.

#include "rom/Game.h"
#include "storage/RangeSet.h"
#include "storage/Storage.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;

// What a pointer leads to, which says how the block's end is found.
enum class StoredKind : uint8_t {
    TileLayer,  // a stored tile layer: width, height, two run-length passes
    ClipLayer,  // stored clipdata: width, height, one pass, and the zeros a save puts after it
    Lz77,       // a BIOS LZ77 stream (tile graphics, minimaps, background images)
    SpriteList, // 3-byte entries up to the closing entry
    Raw,        // plain data of a known size (palettes, block tables)
};

struct KnownPointer {
    uint32_t target = 0; // the ROM offset it leads to
    StoredKind kind = StoredKind::Raw;
    uint32_t rawSize = 0; // Raw: the block's size
    std::string what;     // for messages: "room 3 of area 0 (clipdata)"
};

// How many bytes the block at `offset` occupies, found by decoding it; never past the end of
// the file, and at least 1 for an offset inside it (0 outside). A tile layer reaches to the
// end of its second pass; clipdata to the end of its pass and the up to eight zeros that
// follow it (the games read a second pass there, which a save writes as zeros); an LZ77 stream
// to the byte that completes its declared size; a sprite list to the end of its closing entry
// as the editor reads it (SpriteNumber 0xFF) and as the games read it (Y 0xFF within 24
// entries), whichever is later. Data that does not decode counts as 1 byte.
uint32_t StoredExtent(const RomFile& file, uint32_t offset, StoredKind kind, uint32_t rawSize = 0);

class KnownBlocks {
public:
    // Reads the pointers of `game` from `file` and decodes the extent of each block that
    // starts inside one of `areas` (areas whose counters are broken are ignored).
    static KnownBlocks Build(const RomFile& file, Game game, std::span<const StorageArea> areas);

    // The bytes of the decoded blocks, for the free-space searches to step over.
    const RangeSet& Occupied() const { return m_occupied; }

    // A pointer that leads into [begin, end), or nullptr when none does.
    const KnownPointer* PointerInto(uint32_t begin, uint32_t end) const;

    size_t PointerCount() const { return m_pointers.size(); }

private:
    std::vector<KnownPointer> m_pointers; // sorted by target
    RangeSet m_occupied;
};

} // namespace quarnel
