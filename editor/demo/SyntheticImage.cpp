#include "demo/SyntheticImage.h"

#include "common/ByteOrder.h"
#include "common/Hex.h"
#include "rom/GameTables.h"

#include <algorithm>
#include <stdexcept>

namespace quarnel::synthetic {

namespace {

[[noreturn]] void Fault(const std::string& text) {
    throw std::logic_error("synthetic ROM builder: " + text);
}

} // namespace

Image::Image(Game game, uint32_t dataStart) : m_bytes(kRomImageSize, 0xFF), m_cursor(dataStart) {
    auto forbid = [this](RomRange range) { m_taken.emplace(range.begin, Taken{range.end, false}); };
    if (game == Game::ZM) {
        for (const RomRange& range : kZmFreeSpace) {
            forbid(range);
        }
        forbid(kZmForeignProgram);
    } else {
        for (const RomRange& range : kMfFreeSpace) {
            forbid(range);
        }
    }
}

std::map<uint32_t, Image::Taken>::const_iterator Image::FindOverlap(uint32_t begin,
                                                                    uint32_t end) const {
    auto next = m_taken.lower_bound(end); // first range starting at or after end
    if (next == m_taken.begin()) {
        return m_taken.end();
    }
    --next; // the last range starting before end
    return next->second.end > begin ? next : m_taken.end();
}

void Image::Claim(uint32_t offset, uint32_t size, std::string what) {
    const uint64_t end = static_cast<uint64_t>(offset) + size;
    if (size == 0 || end > kRomImageSize) {
        Fault(what + " does not fit the image");
    }
    const auto overlap = FindOverlap(offset, static_cast<uint32_t>(end));
    if (overlap != m_taken.end()) {
        Fault(what + " at 0x" + ToHex(offset) + " overlaps the range at 0x" +
              ToHex(overlap->first));
    }
    m_taken.emplace(offset, Taken{static_cast<uint32_t>(end), true});
    m_blocks.push_back({offset, size, std::move(what)});
}

uint32_t Image::Allocate(uint32_t size, std::string what) {
    uint32_t offset = (m_cursor + 3u) & ~3u;
    for (;;) {
        if (static_cast<uint64_t>(offset) + size > kRomImageSize) {
            Fault("no room left for " + what + " (0x" + ToHex(size) + " bytes)");
        }
        const auto overlap = FindOverlap(offset, offset + size);
        if (overlap == m_taken.end()) {
            break;
        }
        offset = (overlap->second.end + 3u) & ~3u;
    }
    Claim(offset, size, std::move(what));
    m_cursor = offset + size;
    return offset;
}

uint32_t Image::Place(std::span<const uint8_t> bytes, std::string what) {
    const uint32_t offset = Allocate(static_cast<uint32_t>(bytes.size()), std::move(what));
    Write(offset, bytes);
    return offset;
}

uint32_t Image::PlaceShared(std::span<const uint8_t> bytes, std::string what) {
    std::vector<uint8_t> key(bytes.begin(), bytes.end());
    const auto known = m_shared.find(key);
    if (known != m_shared.end()) {
        return known->second;
    }
    const uint32_t offset = Place(bytes, std::move(what));
    m_shared.emplace(std::move(key), offset);
    return offset;
}

void Image::Write(uint32_t offset, std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    const uint32_t end = offset + static_cast<uint32_t>(bytes.size());
    auto block = m_taken.upper_bound(offset);
    if (block == m_taken.begin() || !std::prev(block)->second.writable ||
        std::prev(block)->second.end < end) {
        Fault("write at 0x" + ToHex(offset) + " outside claimed space");
    }
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + offset);
}

void Image::Write16(uint32_t offset, uint16_t value) {
    uint8_t bytes[2];
    StoreLe16(bytes, 0, value);
    Write(offset, bytes);
}

void Image::Write32(uint32_t offset, uint32_t value) {
    uint8_t bytes[4];
    StoreLe32(bytes, 0, value);
    Write(offset, bytes);
}

std::vector<SyntheticBlock> Image::TakeBlocks() {
    std::sort(m_blocks.begin(), m_blocks.end(),
              [](const SyntheticBlock& a, const SyntheticBlock& b) { return a.offset < b.offset; });
    return std::move(m_blocks);
}

} // namespace quarnel::synthetic
