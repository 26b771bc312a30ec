#pragma once
// The writes of a room save go through this interface: the save writes and flushes only
// through it, so a test can make any one step fail and check what the file holds then.
// Offsets are ROM file offsets (not GbaPointers).

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <span>

namespace quarnel {

class RomFile;

class RomWriter {
public:
    virtual ~RomWriter() = default;

    // Writes all bytes at `offset`; an error (FileWrite) if any byte cannot be written, in
    // which case any part of the range may hold the new bytes.
    virtual Result<void, Error> WriteAt(uint32_t offset, std::span<const uint8_t> bytes) = 0;

    // Pushes what was written to the disk.
    virtual Result<void, Error> Flush() = 0;
};

// Writes into a ROM file opened for writing; the file must outlive the writer.
class RomFileWriter final : public RomWriter {
public:
    explicit RomFileWriter(RomFile& file) : m_file(file) {}

    Result<void, Error> WriteAt(uint32_t offset, std::span<const uint8_t> bytes) override;
    Result<void, Error> Flush() override;

private:
    RomFile& m_file;
};

} // namespace quarnel
