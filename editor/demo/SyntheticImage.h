#pragma once
// The image that the synthetic ROM builder fills, with the bookkeeping that keeps its pieces
// apart: fixed tables are claimed at their offsets, everything else is placed by a bump
// allocator that skips claimed ranges and the game's free space. Any overlap, or a write
// outside claimed space, is a fault of the builder and throws std::logic_error.

#include "demo/SyntheticRom.h"
#include "rom/Game.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace quarnel::synthetic {

inline constexpr uint32_t Pointer(uint32_t offset) {
    return 0x08000000u + offset;
}

class Image {
public:
    // An image of kRomImageSize bytes of 0xFF; placed data starts at `dataStart`.
    Image(Game game, uint32_t dataStart);

    // Claims [offset, offset + size) at a fixed place.
    void Claim(uint32_t offset, uint32_t size, std::string what);
    // Claims the next free, 4-aligned `size` bytes from the allocation cursor.
    uint32_t Allocate(uint32_t size, std::string what);
    // Allocates and writes `bytes`.
    uint32_t Place(std::span<const uint8_t> bytes, std::string what);
    // As Place, but bytes equal to earlier shared bytes get the earlier offset, as the games
    // share empty layers and sprite lists between rooms.
    uint32_t PlaceShared(std::span<const uint8_t> bytes, std::string what);

    // Writes into claimed space.
    void Write(uint32_t offset, std::span<const uint8_t> bytes);
    void Write16(uint32_t offset, uint16_t value);
    void Write32(uint32_t offset, uint32_t value);

    std::vector<uint8_t> TakeBytes() { return std::move(m_bytes); }
    // The claimed blocks, sorted by offset.
    std::vector<SyntheticBlock> TakeBlocks();

private:
    struct Taken {
        uint32_t end;
        bool writable; // a block of ours, not a forbidden range
    };
    // The taken range that overlaps [begin, end), or m_taken.end().
    std::map<uint32_t, Taken>::const_iterator FindOverlap(uint32_t begin, uint32_t end) const;

    std::vector<uint8_t> m_bytes;
    std::map<uint32_t, Taken> m_taken;
    std::vector<SyntheticBlock> m_blocks;
    std::map<std::vector<uint8_t>, uint32_t> m_shared;
    uint32_t m_cursor;
};

} // namespace quarnel::synthetic
