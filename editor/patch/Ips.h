#pragma once
// IPS patches: "PATCH", records of a 3-byte big-endian offset, a 2-byte size and the bytes
// (a size of 0 marks a run: a 2-byte count and the byte repeated), "EOF", and optionally a
// 3-byte size that the result is cut to. Offsets are 24-bit, so IPS cannot reach data at or
// above 16 MiB, and a record may not start at 0x454F46, whose bytes read "EOF".

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel {

// The offset whose three bytes spell "EOF": no record starts there.
inline constexpr uint32_t kIpsEofOffset = 0x454F46;
inline constexpr uint64_t kIpsOffsetLimit = uint64_t{1} << 24;

// A patch that turns `source` into `target`. Refused (BadArgument) when a changed byte lies at
// or above 16 MiB or the target is longer than IPS can describe.
Result<std::vector<uint8_t>, Error> MakeIps(std::span<const uint8_t> source,
                                            std::span<const uint8_t> target);

// Applies an IPS patch to a copy of `source`; records past its end extend it (zero-filled).
// Refused (BadPatch) when the magic is wrong, a record is cut off, or "EOF" is missing.
Result<std::vector<uint8_t>, Error> ApplyIps(std::span<const uint8_t> source,
                                             std::span<const uint8_t> patch);

} // namespace quarnel
