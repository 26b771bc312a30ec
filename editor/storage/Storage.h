#pragma once
// The free-space bookkeeping: the areas near the end of each game's image that re-encoded data
// is written into, and how much of each has been handed out. The table lives in the file
// os.bin beside the program, so every ROM of a game edited with one installation draws on the
// same counters. Space is handed out first-fit by area index, each area filling from its
// start; space that a save gave back (GiveBack.h) inside the handed-out part of an area is
// handed out again before any area grows. Because the counters are shared, they are not trusted to
// describe the ROM being edited: space is only handed out where that ROM's bytes are blank
// (BlankSpace.h), skipping over whatever data lies in an area.
//
// os.bin is exactly 156 bytes, little-endian: 6 ZM areas from byte 0, then 7 MF areas from
// byte 72, each area 12 bytes (Offset, Used, Length as signed 32-bit values). Only MF areas
// 0 to 4 are ever handed out or shown; slots 5 and 6 are carried through the file unchanged.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "rom/RomView.h"
#include "storage/RangeSet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

// One free-space area. Offset is a ROM file offset (not a GbaPointer); Used and Length are
// bytes. A valid area has 0 <= Used <= Length; the block handed out next starts at
// Offset + Used.
struct StorageArea {
    int32_t Offset = 0;
    int32_t Used = 0;
    int32_t Length = 0;

    bool operator==(const StorageArea&) const = default;
};

struct StorageTable {
    std::array<StorageArea, 6> ZMAreas{};
    std::array<StorageArea, 7> MFAreas{};

    bool operator==(const StorageTable&) const = default;
};

inline constexpr size_t kStorageAreaSize = 12;
inline constexpr size_t kStorageFileSize = 156;
inline constexpr size_t kMFAreasFileOffset = 72;
inline constexpr size_t kZMUsableAreaCount = 6;
inline constexpr size_t kMFUsableAreaCount = 5;

// A block is never handed out from a candidate offset at or above this, even when its area
// has room.
inline constexpr int64_t kStorageCandidateLimit = 0x7FFFFF;

// The default areas of 8 MiB images (Used 0). Each ends where the next begins, except ZM
// area 4, after which ZM leaves 0x7D7FFC..0x7F7734 out; the last area of each game ends at
// 0x800000.
inline constexpr std::array<StorageArea, kZMUsableAreaCount> kDefaultZMAreas = {{
    {0x760D38, 0, 0xF2C8},
    {0x770000, 0, 0x1000},
    {0x771000, 0, 0x5F7C},
    {0x776F7C, 0, 0x591C},
    {0x77C898, 0, 0x5B764},
    {0x7F7734, 0, 0x88CC},
}};
inline constexpr std::array<StorageArea, kMFUsableAreaCount> kDefaultMFAreas = {{
    {0x79ECC8, 0, 0x1CA8},
    {0x7A0970, 0, 0x1180A},
    {0x7B217A, 0, 0x3C53A},
    {0x7EE6B4, 0, 0xCC08},
    {0x7FB2BC, 0, 0x4D44},
}};

// The defaults of both games with every Used 0 and MF slots 5 and 6 all zero: the content of
// a freshly created os.bin.
StorageTable DefaultStorageTable();

// The exact bytes of os.bin for a table.
std::array<uint8_t, kStorageFileSize> SerializeStorageTable(const StorageTable& table);

// Reads a table from the first 156 bytes; bytes missing from a shorter input read as zero,
// bytes past 156 are ignored.
StorageTable ParseStorageTable(std::span<const uint8_t> bytes);

// The areas a game draws on: ZM areas 0-5, MF areas 0-4, none for Game::None.
std::span<const StorageArea> UsableAreas(const StorageTable& table, Game game);

// A storage value as the storage window shows it: six upper-case hex digits, zero-filled,
// the rightmost six when longer (a negative value shows its two's-complement digits).
std::string StorageDisplayHex(int32_t value);

// The bookkeeping of one os.bin. The in-memory table starts all zero; LoadStorage replaces it
// with the file's content. Every operation opens the file, does its one read or write from
// the first byte and closes it again. Writes are atomic: a temporary file in the same folder
// is written, flushed to disk and renamed over os.bin, so the file always holds a whole table
// (the old one or the new one). The file is rewritten as exactly 156 bytes.
class StorageSystem {
public:
    explicit StorageSystem(std::filesystem::path path);

    // os.bin in the program's folder.
    static std::filesystem::path DefaultPath();

    const std::filesystem::path& Path() const { return m_path; }
    const StorageTable& Table() const { return m_table; }

    // Whether something exists at the path (a failing test counts as absent).
    bool FileExists() const;

    // Replaces the table with the file's first 156 bytes. A missing file, or the missing end
    // of a short one, reads as zeros (an area of Length 0 never serves a request), so a
    // missing file is not an error. A file that exists but cannot be opened or read is an
    // error (FileOpen, FileRead) and leaves the table as it was.
    Result<void, Error> LoadStorage();

    // Puts the default Offset and Length back into ZM areas 0-5 and MF areas 0-4, keeping
    // every Used and MF slots 5 and 6, and writes the table to the file. If the write fails
    // (FileWrite) the table is left as it was.
    Result<void, Error> ResetStorage();

    // Hands out `size` bytes of free space for `game` in the ROM seen through `rom` and
    // returns the ROM offset of the block. Space given back comes first: the areas are tried
    // by index for a block inside the part they have handed out (FindReusableBlock: the lowest
    // run of 0xFF bytes that holds the block with a spare 0xFF byte on each side), which
    // leaves Used as it is. That search needs `occupied` to hold every block known pointers
    // lead to (KnownBlocks.h): without it, a block handed out but not yet written, or an empty
    // sprite list, would look given back. Only when no area has one are the areas tried again
    // by index for the first block at or after Offset + Used whose bytes are all blank in
    // `rom` (FindBlankBlock: all 0xFF or all 0x00, inside the area and the image, outside the
    // never-written ranges, starting below 0x7FFFFF), and that area's Used moves just past the
    // block, over the bytes it skipped. Blocks taken that way abut. Neither search hands out a
    // byte of `occupied` (blocks that known pointers lead to, blocks handed out but not yet
    // written); the block handed out is added to it, so a caller that takes several blocks
    // before writing any passes the same set each time.
    //
    // The value 0 means no area has such a block (0 lies in no area); nothing is reserved
    // then, and the caller must write nothing. Areas whose counters break
    // 0 <= Used <= Length, or whose next block would not start above 0, are passed over. The
    // table is written to the file in every case; when that write fails the reservation is
    // undone and the result is a FileWrite error, so the bookkeeping never claims space the
    // file does not record. A size of 0 or less is refused (BadArgument) with nothing
    // changed: a negative size would shrink Used and hand the same bytes out twice.
    Result<uint32_t, Error> StorageAlloc(Game game, int32_t size, const RomView& rom,
                                         RangeSet& occupied);
    // Without a set of occupied blocks: only the blank space at or after each Offset + Used
    // is handed out (the second search above), so blocks handed out one after the other abut.
    Result<uint32_t, Error> StorageAlloc(Game game, int32_t size, const RomView& rom);

    // The offsets that StorageAlloc would return for these sizes, called in this order on the
    // current table, the same ROM and a copy of `occupied` (when given), with 0 where a request
    // cannot be served (including a size of 0 or less). Changes nothing and touches no file,
    // so a caller can learn before writing anything whether all its requests fit and where
    // they go.
    std::vector<uint32_t> PlanAllocations(Game game, std::span<const int32_t> sizes,
                                          const RomView& rom) const;
    std::vector<uint32_t> PlanAllocations(Game game, std::span<const int32_t> sizes,
                                          const RomView& rom, const RangeSet& occupied) const;

    // Sets the Used of each of `game`'s areas so that it ends just past the area's last byte
    // that is not blank in `rom` (0 when the area is all blank; FittedUsed) and writes the
    // table. Offsets, lengths and the other game's areas stay. If the write fails (FileWrite)
    // the table is left as it was.
    Result<void, Error> FitToRom(Game game, const RomView& rom);

    // Replaces area `index` of `game` (ZM 0-5, MF 0-4) and writes the table. The values are
    // stored as given: callers check them first (ParseStorageArea). An index outside the
    // game's areas is refused (BadArgument); if the write fails (FileWrite) the table is left
    // as it was.
    Result<void, Error> SetArea(Game game, size_t index, const StorageArea& area);

private:
    Result<uint32_t, Error> Allocate(Game game, int32_t size, const RomView& rom,
                                     RangeSet* occupied);
    std::vector<uint32_t> Plan(Game game, std::span<const int32_t> sizes, const RomView& rom,
                               const RangeSet* occupied) const;
    Result<void, Error> WriteTable(const StorageTable& table) const;
    // Writes `table` and, once it is on disk, makes it the table in memory.
    Result<void, Error> Commit(const StorageTable& table);

    std::filesystem::path m_path;
    StorageTable m_table{};
};

} // namespace quarnel
