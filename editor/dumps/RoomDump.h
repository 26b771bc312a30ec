#pragma once
// The text form of a room header: 28 labelled lines, each a label followed directly by the
// field's value in upper-case hexadecimal without leading zeros (16-bit and 32-bit fields
// as unsigned, so a set top bit prints all four or eight digits).

#include "rom/RoomHeader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel {

// The lines without line ends. `headerOffset` is the ROM offset of the record; the first
// line shows it plus one.
std::vector<std::string> RoomDumpLines(const RoomHeader& header, uint32_t headerOffset);

} // namespace quarnel
