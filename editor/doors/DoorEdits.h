#pragma once
// Changing door records in memory, and turning the changed ones into writes of the records
// where they stand. Door tables never move or change length: other tables and the games' save
// files refer to doors by their index, so a save rewrites each changed 12-byte record in place
// and nothing else. An area's doors count as changed while any record differs from what the
// file holds (DoorState::AreaDoorsAsRead).

#include "common/Error.h"
#include "common/Result.h"
#include "doors/DoorData.h"
#include "main/MapLabels.h"
#include "storage/InPlaceWrite.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quarnel {

// The named fields of a door record, bytes 0 to 8 in order.
enum class DoorField { Type, Room, XStart, XEnd, YStart, YEnd, Destination, ExitX, ExitY };

inline constexpr DoorField kDoorFields[] = {
    DoorField::Type, DoorField::Room,        DoorField::XStart, DoorField::XEnd, DoorField::YStart,
    DoorField::YEnd, DoorField::Destination, DoorField::ExitX,  DoorField::ExitY};

// The command line's names: type, room, xstart, xend, ystart, yend, to, exitx, exity.
std::string_view DoorFieldName(DoorField field);
std::optional<DoorField> DoorFieldNamed(std::string_view name);

// The values a field takes: -128 to 127 for the exit offsets, 0 to 255 for the others.
struct FieldRange {
    int minimum = 0;
    int maximum = 0;
};
FieldRange DoorFieldRange(DoorField field);

// A field's value, signed for the exit offsets.
int DoorFieldValue(const DoorRecord& door, DoorField field);

// Sets one field of door `door` (an index into AreaDoors). Returns whether the record changed;
// an error (BadArgument) for a door that is not in the area, a value outside the field's
// range, or type 0 (which ends the list), and then nothing changes.
Result<bool, Error> SetDoorField(DoorState& state, size_t door, DoorField field, int value);

// One drag step of door label `label`: the trigger rectangle (bytes 2-5) moves as a whole so
// that the label's block (X end, Y end) becomes the snapped block; a coordinate the snap could
// not give keeps its place. The move stops where the rectangle would leave blocks 0-255, so
// the rectangle never turns inside out. Returns false, changing nothing, when the label shows
// no door.
bool MoveDoor(DoorState& state, size_t label, const LabelSnap& snap);

// The indexes of the records that differ from what the file holds.
std::vector<size_t> ChangedDoors(const DoorState& state);
bool DoorsChanged(const DoorState& state);

// Puts every record back as the file holds it.
void DiscardDoorEdits(DoorState& state);

// The in-place writes of the changed records: 12 bytes each at TableOffset + 12 * index,
// checked against the bytes read there. Empty when nothing changed or no area is read.
std::vector<InPlaceWrite> DoorWrites(const DoorState& state);

// After a save wrote `doors`: the file now holds them as they are in memory.
void MarkDoorsSaved(DoorState& state, const std::vector<size_t>& doors);

} // namespace quarnel
