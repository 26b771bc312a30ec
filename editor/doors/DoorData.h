#pragma once
// ZM's door records: each area's doors are one packed run of 12-byte records, found through
// DoorTablePointers (one GbaPointer per area, read with the catalog). The editor reads the
// records of the chosen area, picks out those of the loaded room for the map's door labels,
// and looks up where a door leads. Door records are changed only in memory (a dragged door
// label moves its record's X and Y) and are never written back to the ROM. Fusion's doors
// are not read.

#include "common/Error.h"
#include "common/Result.h"
#include "main/MapLabels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarnel {

class RomFile;
struct Catalog;

// One 12-byte door record, bytes as read. The editor names bytes 0-7; bytes 8-11 are kept
// but not interpreted. Positions are in blocks; rooms are indexes within the area.
class DoorRecord {
public:
    static constexpr size_t kSize = 12;
    static constexpr size_t kNamedBytes = 8; // bytes 0-7 have a meaning for the editor
    using Bytes = std::array<uint8_t, kSize>;

    DoorRecord() = default;
    explicit DoorRecord(const Bytes& bytes) : m_bytes(bytes) {}
    static DoorRecord FromBytes(std::span<const uint8_t, kSize> bytes);

    uint8_t Type() const { return m_bytes[kTypeByte]; }
    uint8_t Room() const { return m_bytes[kRoomByte]; } // the room that holds the door
    uint8_t ExitX() const { return m_bytes[kExitXByte]; }
    uint8_t X() const { return m_bytes[kXByte]; } // the door's column on the room map
    uint8_t ExitY() const { return m_bytes[kExitYByte]; }
    uint8_t Y() const { return m_bytes[kYByte]; } // the door's row on the room map
    uint8_t ExitRoom() const { return m_bytes[kExitRoomByte]; }
    uint8_t Unknown() const { return m_bytes[kUnknownByte]; }

    void SetX(uint8_t x) { m_bytes[kXByte] = x; }
    void SetY(uint8_t y) { m_bytes[kYByte] = y; }

    const Bytes& ToBytes() const { return m_bytes; }
    bool operator==(const DoorRecord&) const = default;

private:
    static constexpr size_t kTypeByte = 0;
    static constexpr size_t kRoomByte = 1;
    static constexpr size_t kExitXByte = 2;
    static constexpr size_t kXByte = 3;
    static constexpr size_t kExitYByte = 4;
    static constexpr size_t kYByte = 5;
    static constexpr size_t kExitRoomByte = 6;
    static constexpr size_t kUnknownByte = 7;

    Bytes m_bytes{};
};

// The door state of the editor: the records of the current area, and the doors of the
// loaded room as indexes into AreaDoors (entry k is the door of door label k; entries from
// RoomDoorCount on are not meaningful).
struct DoorState {
    std::vector<DoorRecord> AreaDoors;
    std::array<uint8_t, 256> RoomDoorList{};
    uint8_t RoomDoorCount = 0;
};

// The type byte of the record that ends an area's door list (it is not a door).
inline constexpr uint8_t kDoorListEnd = 0;

// Reads the door records of area `area` into state.AreaDoors. ZM only: for any other game
// it does nothing and leaves `state` as it was. An area's doors are its records up to, not
// including, the first whose type byte is 0, and at most the area's span: 85 records for the
// last area, the whole records between its table and the next area's for any other. A span
// of 0 or less, or of more than 255 records without an end record among the first 255
// (BadDoorTable), a record read outside the file (PointerOutOfRange), or an area the game
// lacks (BadArgument) is an error, and AreaDoors is left empty so that no door labels appear.
Result<void, Error> LoadAreaDoors(const RomFile& file, const Catalog& catalog, int area,
                                  DoorState& state);

// Builds RoomDoorList and RoomDoorCount for room index `room`: the doors of AreaDoors whose
// room byte equals it, in area-list order.
void ShowRoomDoors(DoorState& state, int room);

// Where door `door` (an index into AreaDoors) leads: the last door of the area whose room
// byte equals the door's exit room; 0 when there is none or `door` is not in AreaDoors.
uint8_t FindDoorConnection(const DoorState& state, uint8_t door);

// The index into AreaDoors of the door that door label `label` stands for; nothing when
// the label shows no door.
std::optional<uint8_t> DoorIndexOfLabel(const DoorState& state, size_t label);

// The pixel position of a door's label on the map: left X * 16, top Y * 16.
PixelPosition DoorLabelPosition(const DoorRecord& door);

// Applies one drag step of door label `label` to its record in memory: stores the snapped
// block X and Y that fit a byte (a coordinate above 255 keeps its old value). Returns false,
// changing nothing, when the label shows no door.
bool MoveDoor(DoorState& state, size_t label, const LabelSnap& snap);

} // namespace quarnel
