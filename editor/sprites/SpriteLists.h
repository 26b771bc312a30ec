#pragma once
// A room's three sprite placement lists: where each sprite ("enemy") of the room stands, in
// blocks, and which sprite it is. The room header points to each list with a GbaPointer
// (SpritePointer1..3). A stored list is a run of 3-byte entries ended by an entry whose
// SpriteNumber byte is 0xFF; lists are rewritten in place and never change length.
//
// The lists are read from and written to the ROM file at explicit offsets; nothing here
// keeps the file open. A list that cannot be read safely is refused: it is left empty and
// unmarked, so a save can never write it.

#include "common/Error.h"
#include "common/Result.h"
#include "main/MapLabels.h"
#include "rom/RoomHeader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

class RomFile;

// One stored entry, 3 bytes: byte 0 Y (row, in blocks), byte 1 X (column, in blocks),
// byte 2 SpriteNumber (which sprite; 0xFF in this byte ends the list).
struct SpritePlacement {
    uint8_t Y = 0;
    uint8_t X = 0;
    uint8_t SpriteNumber = 0;

    static constexpr size_t kSize = 3;
    static constexpr size_t kYByte = 0;
    static constexpr size_t kXByte = 1;
    static constexpr size_t kSpriteNumberByte = 2;

    static SpritePlacement FromBytes(std::span<const uint8_t, kSize> bytes);
    std::array<uint8_t, kSize> ToBytes() const;
    bool operator==(const SpritePlacement&) const = default;
};

inline constexpr uint8_t kSpriteListEnd = 0xFF; // SpriteNumber of the closing entry
inline constexpr size_t kSpriteListsPerRoom = 3;
// Entries read for one list: the map has 255 sprite labels, so a list must end among its
// first 255 entries (at most 254 sprites before the closing entry).
inline constexpr size_t kSpriteEntriesRead = 256;
inline constexpr size_t kSpriteEntriesScanned = 255;

// Where a list in memory came from: its ROM offset and how many entries the ROM held
// before the closing entry. A save never writes more than that, nor anywhere else.
struct SpriteListOrigin {
    uint32_t offset = 0;
    uint8_t countRead = 0;
    bool operator==(const SpriteListOrigin&) const = default;
};

// The sprite lists of the room in the editor. List index 0, 1, 2 stands for list 1, 2, 3.
// SpriteCountN is the number of entries list N holds (the entries before its closing entry);
// SpriteListMarked says which lists a save may write.
struct SpriteLists {
    std::vector<SpritePlacement> SpriteList1;
    std::vector<SpritePlacement> SpriteList2;
    std::vector<SpritePlacement> SpriteList3;
    uint8_t SpriteCount1 = 0;
    uint8_t SpriteCount2 = 0;
    uint8_t SpriteCount3 = 0;
    std::array<bool, kSpriteListsPerRoom> SpriteListMarked{};
    // Set when a list is read; nothing for a list never read or refused.
    std::array<std::optional<SpriteListOrigin>, kSpriteListsPerRoom> origin{};

    // The list and count of list index 0-2 (any other index: list 3's).
    std::vector<SpritePlacement>& List(int listIndex);
    const std::vector<SpritePlacement>& List(int listIndex) const;
    uint8_t& Count(int listIndex);
    uint8_t Count(int listIndex) const;
};

// Counts the entries of a stored list: the entries before the first whose SpriteNumber byte
// is 0xFF, which must lie among the first 255 entries of `stored`. A list that runs out of
// `stored` before its closing entry, or has none among 255 entries, is refused
// (BadSpriteList, detail only; the caller adds the list and offset).
Result<uint8_t, Error> CountSpriteEntries(std::span<const uint8_t> stored);

// Reads list `listIndex` (0-2) of the room whose header is `header` into `lists`, replacing
// that list, and marks it, as choosing a list in the window does. A pointer below 0x08000000
// or past the end of the file (PointerOutOfRange), or a list without a closing entry inside
// the file and among its first 255 entries (BadSpriteList), is refused: the list becomes
// empty and unmarked, and the error names the list and its offset. A listIndex outside 0-2
// is BadArgument and changes nothing.
Result<void, Error> LoadSprites(const RomFile& file, const RoomHeader& header, int listIndex,
                                SpriteLists& lists);

// Reads all three lists for a room load and leaves none marked. Returns, per list index,
// the error of a list that was refused (and left empty); nothing for a list that was read.
using SpriteListErrors = std::array<std::optional<Error>, kSpriteListsPerRoom>;
SpriteListErrors LoadRoomSprites(const RomFile& file, const RoomHeader& header, SpriteLists& lists);

void ClearMarks(SpriteLists& lists);

// The bytes a save writes for a sprite list, at a ROM offset.
struct SpriteListWrite {
    int listIndex = 0;
    uint32_t offset = 0;
    std::vector<uint8_t> bytes; // 3 x count: Y, X, SpriteNumber per entry, no closing entry
};

// What SaveEnemies will write, without writing: every marked list that holds entries, in
// the order list 1, 2, 3, each in place at the offset it was read from. Refused with nothing
// planned (BadSpriteList) when a marked list was not read from the ROM, when its pointer in
// `header` no longer leads to where it was read, when its count exceeds the entries it was
// read with or the entries it holds, or when an entry has the sprite number 0xFF (which would
// end the stored list early); PointerOutOfRange when its bytes would not lie inside `file`.
//
// Lists that share their place in the ROM (one pointer for two lists, or overlapping
// entries) are one stored list loaded more than once: every shared byte is written with the
// value that differs from what the file holds, so each list's edits reach the file and merely
// choosing a list never undoes another's; a byte that two lists changed to different values
// is refused (BadSpriteList), since one of the edits would be lost.
Result<std::vector<SpriteListWrite>, Error>
PlanSaveEnemies(const RomFile& file, const RoomHeader& header, const SpriteLists& lists);

// Writes the marked lists in place, as PlanSaveEnemies plans them; a refused plan writes
// nothing. The file must be open for writing; the caller flushes.
Result<void, Error> SaveEnemies(RomFile& file, const RoomHeader& header, const SpriteLists& lists);

// The pixel position of a sprite's label on the map: left X * 16, top Y * 16.
PixelPosition SpriteLabelPosition(const SpritePlacement& entry);

// Applies one drag step to entry `entry` of list `listIndex`: stores the snapped block X and
// Y that fit a byte (a coordinate that does not keeps its old value) and marks the list.
// Returns false, changing nothing, when there is no such entry.
bool MoveSprite(SpriteLists& lists, int listIndex, size_t entry, const LabelSnap& snap);

// Stores `number` as the sprite number of entry `entry` of list `listIndex`, as the answer to
// the right-click question does, and marks the list when the number changes. Returns whether
// it changed; false, changing nothing, when there is no such entry or `number` is 0xFF,
// which ends a stored list and so can never be a sprite's number.
bool SetSpriteNumber(SpriteLists& lists, int listIndex, size_t entry, uint8_t number);

// The question the right-click on sprite label `entry` asks: its index and the current
// sprite number in upper-case hexadecimal, on two lines (carriage return and line feed).
std::string SpriteNumberPrompt(size_t entry, uint8_t currentSpriteNumber);

// The largest number a sprite can have: 0xFF ends a stored list.
inline constexpr uint8_t kMaxSpriteNumber = 254;

// The answer to that question: a decimal number from 0 to 254 (blanks around it allowed).
// Empty text, anything else that is not a decimal number, and values above 254 give nothing.
std::optional<uint8_t> ParseSpriteNumber(std::string_view answer);

// Why a non-empty answer was refused, for a message; nothing for an accepted or blank answer
// (a blank answer is taken as Cancel).
std::optional<std::string> SpriteNumberRefusal(std::string_view answer);

} // namespace quarnel
