#pragma once
// BPS patches (beat's format): "BPS1", the source, target and metadata sizes as
// variable-length numbers, the metadata, a run of actions that build the target from the
// source (SourceRead, TargetRead, SourceCopy, TargetCopy), then the CRC-32 of the source, of
// the target and of the patch itself, little-endian. Patches are built and applied in memory;
// the caller reads and writes the files.

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel {

// A patch that turns `source` into `target`. It copies unchanged and moved data from the
// source and repeated data from the target written so far, so a ROM with a few edits gives a
// patch of about the size of the edits.
std::vector<uint8_t> MakeBps(std::span<const uint8_t> source, std::span<const uint8_t> target);

// Applies a BPS patch to `source`. Refused (BadPatch) when the patch is truncated or malformed,
// when its own checksum does not match, when it was made for another source (size or CRC-32),
// when an action reaches outside the source or the target, or when the result does not have
// the target's size and CRC-32.
Result<std::vector<uint8_t>, Error> ApplyBps(std::span<const uint8_t> source,
                                             std::span<const uint8_t> patch);

} // namespace quarnel
