#pragma once
// RomView: read-only access to the bytes of a ROM image, for code that scans a ROM without
// caring whether it is a file on disk or bytes in memory (tests feed it memory). Offsets are
// ROM file offsets.

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarnel {

class RomFile;

class RomView {
public:
    virtual ~RomView() = default;

    // The image's size in bytes.
    virtual uint64_t Size() const = 0;

    // Fills `out` with the bytes from `offset` and returns how many it delivered: fewer than
    // asked past the end of the image or when a read fails, in which case the bytes not
    // delivered are unknown (callers must not take them for anything).
    virtual size_t Read(uint64_t offset, std::span<uint8_t> out) const = 0;
};

// A view of bytes in memory; the bytes must outlive the view.
class SpanRomView final : public RomView {
public:
    explicit SpanRomView(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint64_t Size() const override { return m_bytes.size(); }
    size_t Read(uint64_t offset, std::span<uint8_t> out) const override;

private:
    std::span<const uint8_t> m_bytes;
};

// A view of an open ROM file; the file must outlive the view.
class RomFileView final : public RomView {
public:
    explicit RomFileView(const RomFile& file) : m_file(file) {}

    uint64_t Size() const override;
    size_t Read(uint64_t offset, std::span<uint8_t> out) const override;

private:
    const RomFile& m_file;
};

} // namespace quarnel
