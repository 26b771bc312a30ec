#pragma once
// A safety copy of each ROM file, taken once per run of the program before the first write
// into it: "<file name>.bak" in the same folder (game.gba -> game.gba.bak), replacing an
// older copy. The GUI and the CLI each hold one RomBackups for their whole run.

#include "common/Error.h"
#include "common/Result.h"

#include <filesystem>
#include <optional>
#include <set>

namespace quarnel {

class RomBackups {
public:
    // The backup's path for a ROM path: the same path with ".bak" appended.
    static std::filesystem::path BackupPathOf(const std::filesystem::path& rom);

    // Copies `rom` to its backup path unless this object has already done so for the same
    // file. Returns the backup's path when a copy was made now, nothing when it was made
    // earlier in the run. The copy is written to a temporary file beside the backup, flushed
    // and renamed, so the backup path holds either the older copy or the whole new one. On
    // failure (FileOpen, FileRead, FileWrite) nothing is remembered, so the next call tries
    // again.
    Result<std::optional<std::filesystem::path>, Error>
    EnsureBackup(const std::filesystem::path& rom);

    bool BackedUp(const std::filesystem::path& rom) const;

private:
    static std::filesystem::path Key(const std::filesystem::path& rom);

    std::set<std::filesystem::path> m_done;
};

} // namespace quarnel
