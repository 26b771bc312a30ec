#pragma once
// Safety copies of a ROM file, taken before the first write into it in each run of the
// program, in the ROM's folder:
//
// - "<file name>.bak" (game.gba -> game.gba.bak) is made by the first save ever and never
//   written again: it keeps the ROM as it was before this editor first changed it.
// - Every later run that writes makes one more copy before its first write,
//   "<file name>.<YYYYMMDD-HHMMSS>.bak" in local time; when that name is taken, "-2", "-3"
//   and so on go before ".bak". The ten newest of these timestamped copies are kept; older
//   ones of exactly that name pattern for that ROM are removed. No other file is touched.
//
// One RomBackups object stands for one run: the GUI and the CLI each hold one for their
// whole run. Every writer of a ROM file opens it through OpenRomForWriting, so no write
// happens before the run's copy exists.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/RomFile.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string_view>

namespace quarnel {

class RomBackups {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // How many timestamped copies of one ROM are kept.
    static constexpr size_t kKeptCopies = 10;

    // `clock` names the copies; empty: the system clock.
    explicit RomBackups(Clock clock = {});

    // The first copy's path for a ROM path: the same path with ".bak" appended.
    static std::filesystem::path BackupPathOf(const std::filesystem::path& rom);

    // The timestamped copy's path for a copy made at `when` (local time), without suffix.
    static std::filesystem::path TimedCopyPathOf(const std::filesystem::path& rom,
                                                 std::chrono::system_clock::time_point when);

    // Whether `fileName` (a name without folder) is a timestamped copy of the ROM named
    // `romFileName`: "<romFileName>.<8 digits>-<6 digits>[-<number>].bak".
    static bool IsTimedCopyName(std::string_view romFileName, std::string_view fileName);

    // Copies `rom` unless this object has already done so for the same file: to its .bak
    // when there is none, else to a new timestamped copy, then removes timestamped copies
    // beyond the ten newest. Returns the copy's path when one was made now, nothing when it
    // was made earlier in the run. An existing file is never overwritten: the copy is
    // written to a temporary file beside it, flushed, and linked in under a free name. A
    // .bak that exists but is not a file is refused (FileWrite). On failure (FileOpen,
    // FileRead, FileWrite) nothing is remembered, so the next call tries again; a copy that
    // cannot be removed when pruning is left alone.
    Result<std::optional<std::filesystem::path>, Error>
    EnsureBackup(const std::filesystem::path& rom);

    bool BackedUp(const std::filesystem::path& rom) const;

    // The copy this run made of `rom`, if any.
    std::optional<std::filesystem::path> CopyOf(const std::filesystem::path& rom) const;

private:
    static std::filesystem::path Key(const std::filesystem::path& rom);

    Clock m_clock;
    std::map<std::filesystem::path, std::filesystem::path> m_done; // ROM -> copy made
};

// A ROM file open for writing, with the copy the run's backup step made for it (nothing
// when it was made earlier in the run).
struct RomWriteAccess {
    RomFile file;
    std::optional<std::filesystem::path> backup;
};

// The one way into a ROM file for writing: the run's backup step (EnsureBackup), then the
// file opened for reading and writing. On failure nothing has been written to the ROM.
Result<RomWriteAccess, Error> OpenRomForWriting(RomBackups& backups,
                                                const std::filesystem::path& rom);

} // namespace quarnel
