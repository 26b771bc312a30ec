#pragma once
// The games' door records: each area's doors are one packed run of 12-byte records, found
// through a table of one GbaPointer per area (Zero Mission 7 areas, Fusion 10), and ended by a
// record whose type byte is 0. The editor reads the records of the chosen area, picks out those
// of the loaded room for the map's door labels, and looks up where a door leads. Edits change
// the records in memory; DoorEdits.h turns the changed ones into in-place writes.

#include "common/Error.h"
#include "common/Result.h"
#include "main/MapLabels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarnel {

class RomFile;
struct Catalog;

// One 12-byte door record, bytes as read. Bytes 0-8 have names; bytes 9-11 are padding,
// kept as read. Positions are in blocks; rooms are indexes within the area.
class DoorRecord {
public:
    static constexpr size_t kSize = 12;
    static constexpr size_t kNamedBytes = 9; // bytes 0-8 have a meaning
    using Bytes = std::array<uint8_t, kSize>;

    DoorRecord() = default;
    explicit DoorRecord(const Bytes& bytes) : m_bytes(bytes) {}
    static DoorRecord FromBytes(std::span<const uint8_t, kSize> bytes);

    // Low nibble: 0 ends the list, 1 area connection, 2 no hatch, 3 open hatch, 4 closed
    // hatch; bits 0x10, 0x20 and 0x40 are flags.
    uint8_t Type() const { return m_bytes[kTypeByte]; }
    uint8_t Room() const { return m_bytes[kRoomByte]; } // the room that holds the door
    // The trigger rectangle, in blocks, both ends inclusive.
    uint8_t XStart() const { return m_bytes[kXStartByte]; }
    uint8_t XEnd() const { return m_bytes[kXEndByte]; }
    uint8_t YStart() const { return m_bytes[kYStartByte]; }
    uint8_t YEnd() const { return m_bytes[kYEndByte]; }
    // The index of the door it leads to, in the same area's list.
    uint8_t Destination() const { return m_bytes[kDestinationByte]; }
    // Where the player appears beyond the destination door, in pixels (signed bytes).
    int8_t ExitX() const { return static_cast<int8_t>(m_bytes[kExitXByte]); }
    int8_t ExitY() const { return static_cast<int8_t>(m_bytes[kExitYByte]); }

    void SetType(uint8_t value) { m_bytes[kTypeByte] = value; }
    void SetRoom(uint8_t value) { m_bytes[kRoomByte] = value; }
    void SetXStart(uint8_t value) { m_bytes[kXStartByte] = value; }
    void SetXEnd(uint8_t value) { m_bytes[kXEndByte] = value; }
    void SetYStart(uint8_t value) { m_bytes[kYStartByte] = value; }
    void SetYEnd(uint8_t value) { m_bytes[kYEndByte] = value; }
    void SetDestination(uint8_t value) { m_bytes[kDestinationByte] = value; }
    void SetExitX(int8_t value) { m_bytes[kExitXByte] = static_cast<uint8_t>(value); }
    void SetExitY(int8_t value) { m_bytes[kExitYByte] = static_cast<uint8_t>(value); }

    const Bytes& ToBytes() const { return m_bytes; }
    bool operator==(const DoorRecord&) const = default;

private:
    static constexpr size_t kTypeByte = 0;
    static constexpr size_t kRoomByte = 1;
    static constexpr size_t kXStartByte = 2;
    static constexpr size_t kXEndByte = 3;
    static constexpr size_t kYStartByte = 4;
    static constexpr size_t kYEndByte = 5;
    static constexpr size_t kDestinationByte = 6;
    static constexpr size_t kExitXByte = 7;
    static constexpr size_t kExitYByte = 8;

    Bytes m_bytes{};
};

// The door state of the editor: the records of the current area as edited and as the ROM
// holds them, where the area's list lies, and the doors of the loaded room as indexes into
// AreaDoors (entry k is the door of door label k; entries from RoomDoorCount on are not
// meaningful).
struct DoorState {
    std::vector<DoorRecord> AreaDoors;
    std::vector<DoorRecord> AreaDoorsAsRead; // what the file holds; a save updates it
    int Area = -1;                           // the area AreaDoors belongs to; -1: none read
    uint32_t TableOffset = 0;                // ROM file offset of the area's record 0
    std::array<uint8_t, 256> RoomDoorList{};
    uint8_t RoomDoorCount = 0;
};

// The type byte of the record that ends an area's door list (it is not a door).
inline constexpr uint8_t kDoorListEnd = 0;

// Reads the door records of area `area` into `state`. An area's doors are its records up to,
// not including, the first whose type byte is 0. A Fusion list must reach that end record
// within 255 records. A Zero Mission list also ends with its span (85 records for the last
// area, the records between its table and the next area's for any other), and a span of more
// than 255 records needs its end record among the first 255. A span of 0 or less, a list
// without its end (BadDoorTable), a record outside the file (PointerOutOfRange), or an area the
// game lacks (BadArgument) is an error, and `state` is left without doors (Area -1) so that no
// door labels appear.
Result<void, Error> LoadAreaDoors(const RomFile& file, const Catalog& catalog, int area,
                                  DoorState& state);

// Builds RoomDoorList and RoomDoorCount for room index `room`: the doors of AreaDoors whose
// room byte equals it, in area-list order.
void ShowRoomDoors(DoorState& state, int room);

// Where door `door` (an index into AreaDoors) leads: its destination byte when that names a
// door of the area; nothing when it lies beyond the list or `door` is not in AreaDoors.
std::optional<uint8_t> FindDoorConnection(const DoorState& state, size_t door);

// The connection as the door editor shows it: the destination in hexadecimal with its room,
// "1A (room 5)", or "none".
std::string DoorConnectionText(const DoorState& state, size_t door);

// The index into AreaDoors of the door that door label `label` stands for; nothing when
// the label shows no door.
std::optional<uint8_t> DoorIndexOfLabel(const DoorState& state, size_t label);

// The pixel position of a door's label on the map: the block of its X end and Y end
// (bytes 3 and 5), left XEnd * 16, top YEnd * 16.
PixelPosition DoorLabelPosition(const DoorRecord& door);

// A rectangle of blocks, both ends inclusive.
struct BlockRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const BlockRect&) const = default;
};

// The door's trigger rectangle, its ends put in order when a record holds them reversed.
BlockRect DoorTrigger(const DoorRecord& door);

} // namespace quarnel
