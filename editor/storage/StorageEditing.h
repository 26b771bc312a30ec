#pragma once
// Changes to the free-space bookkeeping that the user asks for: an area's values typed in the
// storage window, and fitting the counters to a ROM (after os.bin was lost, replaced, or used
// with another ROM).

#include "common/Error.h"
#include "common/Result.h"
#include "rom/Game.h"
#include "storage/Storage.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quarnel {

// An area as typed: hexadecimal text for each field.
struct StorageAreaText {
    std::string offset;
    std::string used;
    std::string length;
};

// The field names the messages use, as the storage window labels them.
inline constexpr const char* kOffsetField = "Offset";
inline constexpr const char* kUsedField = "Space Used";
inline constexpr const char* kLengthField = "Length";

// Reads and checks area `index` of `game` typed by the user. Each field is hexadecimal (1 to
// 6 digits, surrounding blanks ignored); Space Used is at most Length; the area lies inside an
// 8 MiB image and, when `romSize` is given (the open ROM of this game), inside that file; and
// it overlaps neither a range of the game that is never written (NeverWrittenRanges) nor
// another of the game's areas in `table` (two areas over the same bytes could hand them out
// twice in one save). A failure (BadArgument) starts its detail with the name of the field to
// correct.
Result<StorageArea, Error> ParseStorageArea(Game game, size_t index, const StorageAreaText& text,
                                            const StorageTable& table,
                                            std::optional<uint64_t> romSize);

// Reads os.bin again, fits the Used of `game`'s areas to the ROM file at `romPath`
// (StorageSystem::FitToRom) and writes os.bin; a missing os.bin is first created with the
// default areas. FileOpen when the ROM cannot be opened; the storage file's read and write
// errors as LoadStorage, ResetStorage and FitToRom give them.
Result<void, Error> FitStorageToRom(StorageSystem& storage, Game game,
                                    const std::filesystem::path& romPath);

} // namespace quarnel
