#pragma once
// The bytes a write job is about to overwrite, read before its first write, so that a failure
// before the commit point can put them back. Offsets are ROM file offsets.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/RomFile.h"
#include "storage/RomWriter.h"

#include <cstdint>
#include <vector>

namespace quarnel {

class UndoLog {
public:
    void Remember(const RomFile& file, uint32_t offset, size_t size) {
        m_entries.push_back({offset, file.ReadBlock(offset, size)});
    }

    // Writes the remembered bytes back, the last write first, and flushes.
    Result<void, Error> Restore(RomWriter& writer) const {
        for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
            if (auto put = writer.WriteAt(entry->offset, entry->bytes); !put) {
                return put;
            }
        }
        return writer.Flush();
    }

private:
    struct Entry {
        uint32_t offset;
        std::vector<uint8_t> bytes;
    };
    std::vector<Entry> m_entries;
};

} // namespace quarnel
