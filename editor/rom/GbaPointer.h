#pragma once
// GbaPointer: a 32-bit address as the games store it; ROM offset = value - 0x08000000.
// The one place where pointers become offsets, and where a pointer that leads outside the
// file is caught before anything follows it.

#include "common/Error.h"
#include "common/Result.h"
#include "rom/GameTables.h"

#include <cstdint>
#include <string>

namespace quarnel {

constexpr uint32_t PointerFromOffset(uint32_t offset) {
    return offset + kGbaRomBase;
}

// The ROM offset of `pointer` when it lies inside a file of `fileSize` bytes (at least
// `minimumBytes` of the addressed data must start inside the file); otherwise an error
// naming `what` (e.g. "level layer") and the pointer.
Result<uint32_t, Error> ResolvePointer(uint32_t pointer, uint64_t fileSize, const std::string& what,
                                       uint32_t minimumBytes = 1);

} // namespace quarnel
