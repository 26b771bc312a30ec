#pragma once
// Reading graphics data at a GbaPointer taken from the ROM, which is untrusted: a pointer
// below 0x08000000 reads as zeros, and so does every byte beyond the end of the file.

#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace quarnel {

// Fills `out` with the bytes at (pointer - 0x08000000) + skip; zeros where there is no data.
inline void ReadAtPointer(const RomFile& rom, uint32_t pointer, uint64_t skip,
                          std::span<uint8_t> out) {
    if (pointer < kGbaRomBase) {
        std::fill(out.begin(), out.end(), uint8_t{0});
        return;
    }
    rom.ReadAt(uint64_t{pointer - kGbaRomBase} + skip, out);
}

} // namespace quarnel
