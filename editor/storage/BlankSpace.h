#pragma once
// Finding blank space in a ROM image. The free-space bookkeeping (Storage.h) is shared by
// every ROM of a game edited with one installation, so its counters may say that space is
// free which this ROM already uses (an earlier save with another os.bin, another editor).
// Before space is handed out, the ROM's own bytes are read: a block is only ever handed out
// where every one of its bytes is blank, all 0xFF (the games' padding) or all 0x00.
//
// Bytes that are never blank, whatever they hold: those of a range the game must never have
// written (NeverWrittenRanges), those that cannot be read, those of `occupied` (blocks that
// known pointers lead to, which may well be all 0xFF, like an empty sprite list, and blocks
// handed out but not yet written), and zeros that directly follow other data (up to
// kDataTailGuard of them), because data often ends in zeros: a stored room layer ends with a
// 0x00 byte, the clipdata with nine.

#include "rom/Game.h"
#include "rom/GameTables.h"
#include "rom/RomView.h"
#include "storage/RangeSet.h"
#include "storage/Storage.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quarnel {

// Zeros within this many bytes after a byte that is neither 0x00 nor 0xFF are taken as part
// of that data.
inline constexpr uint32_t kDataTailGuard = 16;

// The ranges of a game's image that hold shared data of another kind and are never written:
// for ZM the program between its two free-space ranges (kZmForeignProgram); none for MF.
std::span<const RomRange> NeverWrittenRanges(Game game);

// Where `area` can hold a block of `size` bytes in `rom`: the first offset at or after
// Offset + Used from which `size` bytes are all blank and lie inside the area, inside the
// image and outside every never-written range, and which is above 0 and below 0x7FFFFF
// (kStorageCandidateLimit). Nothing when there is none, when `size` is below 1, or when the
// area's counters break 0 <= Used <= Length. Reads each byte of the area at most once.
std::optional<uint32_t> FindBlankBlock(const StorageArea& area, Game game, int32_t size,
                                       const RomView& rom, const RangeSet& occupied = {});

// Where `area` can hold a block of `size` bytes again inside the part it has handed out
// (Offset to Offset + Used): one byte into the lowest run of 0xFF bytes there that holds the
// block with one spare 0xFF byte on each side, outside `occupied` and the never-written
// ranges, starting above 0 and below 0x7FFFFF. The spare bytes keep a reused block from
// touching its neighbours, so each stays decodable on its own. Nothing when there is none.
std::optional<uint32_t> FindReusableBlock(const StorageArea& area, Game game, int32_t size,
                                          const RomView& rom, const RangeSet& occupied);

// The bytes of `area`'s handed-out part (as far as the image reaches) that are 0xFF and
// outside `occupied`: space given back, which FindReusableBlock can hand out again.
uint32_t BlankBytesHandedOut(const StorageArea& area, Game game, const RomView& rom,
                             const RangeSet& occupied);

// The Used that makes `area` fit `rom`: just past the last byte of the area (as far as the
// image reaches) that is not blank, or 0 when all are. An area whose Offset or Length is
// negative keeps its Used.
int32_t FittedUsed(const StorageArea& area, Game game, const RomView& rom,
                   const RangeSet& occupied = {});

} // namespace quarnel
