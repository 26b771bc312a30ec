#pragma once
// RomFile: one open ROM file, read and written at explicit offsets. Each operation of the
// editor opens the file by its path, does its reads or writes and closes it again (the
// destructor closes); there is no in-memory image of the ROM.

#include "common/Error.h"
#include "common/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel {

enum class OpenMode { Read, ReadWrite };

class RomFile {
public:
    static Result<RomFile, Error> Open(const std::filesystem::path& path, OpenMode mode);

    RomFile(RomFile&& other) noexcept;
    RomFile& operator=(RomFile&& other) noexcept;
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;
    ~RomFile();

    // File size in bytes when the file was opened, updated by writes that extend it.
    uint64_t Size() const { return m_size; }
    const std::filesystem::path& Path() const { return m_path; }

    // Reads out.size() bytes at `offset`. Bytes past the end of the file (or that a failing
    // read cannot deliver) read as 0. Returns how many bytes came from the file, so the
    // caller can tell a short read.
    size_t ReadAt(uint64_t offset, std::span<uint8_t> out) const;
    std::vector<uint8_t> ReadBlock(uint64_t offset, size_t size) const;
    uint8_t ReadU8(uint64_t offset) const;
    uint16_t ReadU16(uint64_t offset) const; // little-endian
    uint32_t ReadU32(uint64_t offset) const; // little-endian

    // Writes all bytes at `offset`; an error if any byte cannot be written.
    Result<void, Error> WriteAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Pushes written bytes to the disk (the commit point of a save relies on it).
    Result<void, Error> Flush();

private:
    RomFile(int descriptor, std::filesystem::path path, uint64_t size);
    int m_fd = -1;
    std::filesystem::path m_path;
    uint64_t m_size = 0;
};

} // namespace quarnel
