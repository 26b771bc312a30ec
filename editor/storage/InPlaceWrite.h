#pragma once
// The one way the editor rewrites existing data where it stands (tileset records, door
// records, scroll records, block tables): a write of the same length as the bytes it replaces,
// which must still be the bytes the editor read there. A write whose target changed since it
// was read (another program, another window, a table that overlaps another) is refused before
// anything is written, so a record is never written over data it does not own. Offsets are ROM
// file offsets.

#include "common/Error.h"
#include "common/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;

struct InPlaceWrite {
    uint32_t offset = 0;
    std::vector<uint8_t> expected; // the bytes read there when the data was loaded
    std::vector<uint8_t> bytes;    // the bytes to write, as many as `expected`
    std::string what;              // for messages: "tileset record 12", "door 1A of area 2"
};

// Checks a write before the save writes anything: the lengths agree (BadArgument), the range
// lies inside the file (PointerOutOfRange), and the file still holds `expected` there
// (VerifyMismatch, naming `what` and the offset).
Result<void, Error> CheckInPlaceWrite(const RomFile& file, const InPlaceWrite& write);

// After the save: whether the file now holds `bytes` at the write's offset.
bool HoldsWrittenBytes(const RomFile& file, const InPlaceWrite& write);

} // namespace quarnel
