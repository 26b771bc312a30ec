#include "doors/DoorEdits.h"

#include "common/Hex.h"

#include <algorithm>
#include <string>

namespace quarnel {

namespace {

constexpr int kLastBlock = 255;

// How far a rectangle from `low` to `high` can shift by `wanted` blocks and stay inside
// blocks 0-255.
int LimitShift(int wanted, int low, int high) {
    return std::clamp(wanted, -low, kLastBlock - high);
}

std::string DoorWhat(const DoorState& state, size_t door) {
    return "door " + ToHex(door) + " of area " + std::to_string(state.Area);
}

} // namespace

std::string_view DoorFieldName(DoorField field) {
    switch (field) {
    case DoorField::Type:
        return "type";
    case DoorField::Room:
        return "room";
    case DoorField::XStart:
        return "xstart";
    case DoorField::XEnd:
        return "xend";
    case DoorField::YStart:
        return "ystart";
    case DoorField::YEnd:
        return "yend";
    case DoorField::Destination:
        return "to";
    case DoorField::ExitX:
        return "exitx";
    case DoorField::ExitY:
        return "exity";
    }
    return "";
}

std::optional<DoorField> DoorFieldNamed(std::string_view name) {
    for (DoorField field : kDoorFields) {
        if (DoorFieldName(field) == name) {
            return field;
        }
    }
    return std::nullopt;
}

FieldRange DoorFieldRange(DoorField field) {
    if (field == DoorField::ExitX || field == DoorField::ExitY) {
        return {-128, 127};
    }
    return {0, 255};
}

int DoorFieldValue(const DoorRecord& door, DoorField field) {
    switch (field) {
    case DoorField::Type:
        return door.Type();
    case DoorField::Room:
        return door.Room();
    case DoorField::XStart:
        return door.XStart();
    case DoorField::XEnd:
        return door.XEnd();
    case DoorField::YStart:
        return door.YStart();
    case DoorField::YEnd:
        return door.YEnd();
    case DoorField::Destination:
        return door.Destination();
    case DoorField::ExitX:
        return door.ExitX();
    case DoorField::ExitY:
        return door.ExitY();
    }
    return 0;
}

Result<bool, Error> SetDoorField(DoorState& state, size_t door, DoorField field, int value) {
    if (door >= state.AreaDoors.size()) {
        return Fail(Error{ErrorKind::BadArgument,
                          "door " + ToHex(door) + " is not in the area, which has " +
                              std::to_string(state.AreaDoors.size()) + " doors",
                          std::nullopt});
    }
    const FieldRange range = DoorFieldRange(field);
    if (value < range.minimum || value > range.maximum) {
        return Fail(Error{ErrorKind::BadArgument,
                          std::string(DoorFieldName(field)) + " takes " +
                              std::to_string(range.minimum) + " to " +
                              std::to_string(range.maximum) + ", not " + std::to_string(value),
                          std::nullopt});
    }
    // The games end an area's list at the first record of type 0: such a door would cut off
    // itself and every door after it.
    if (field == DoorField::Type && value == kDoorListEnd) {
        return Fail(Error{ErrorKind::BadArgument,
                          "type 0 marks the end of the area's door list; door " + ToHex(door) +
                              " and every door after it would be lost",
                          std::nullopt});
    }
    DoorRecord& record = state.AreaDoors[door];
    const DoorRecord before = record;
    const auto byte = static_cast<uint8_t>(value);
    const auto offset = static_cast<int8_t>(value);
    switch (field) {
    case DoorField::Type:
        record.SetType(byte);
        break;
    case DoorField::Room:
        record.SetRoom(byte);
        break;
    case DoorField::XStart:
        record.SetXStart(byte);
        break;
    case DoorField::XEnd:
        record.SetXEnd(byte);
        break;
    case DoorField::YStart:
        record.SetYStart(byte);
        break;
    case DoorField::YEnd:
        record.SetYEnd(byte);
        break;
    case DoorField::Destination:
        record.SetDestination(byte);
        break;
    case DoorField::ExitX:
        record.SetExitX(offset);
        break;
    case DoorField::ExitY:
        record.SetExitY(offset);
        break;
    }
    return record != before;
}

bool MoveDoor(DoorState& state, size_t label, const LabelSnap& snap) {
    const auto index = DoorIndexOfLabel(state, label);
    if (!index) {
        return false;
    }
    DoorRecord& door = state.AreaDoors[*index];
    const BlockRect trigger = DoorTrigger(door);
    if (snap.blockX) {
        const int dx = LimitShift(*snap.blockX - door.XEnd(), trigger.left, trigger.right);
        door.SetXStart(static_cast<uint8_t>(door.XStart() + dx));
        door.SetXEnd(static_cast<uint8_t>(door.XEnd() + dx));
    }
    if (snap.blockY) {
        const int dy = LimitShift(*snap.blockY - door.YEnd(), trigger.top, trigger.bottom);
        door.SetYStart(static_cast<uint8_t>(door.YStart() + dy));
        door.SetYEnd(static_cast<uint8_t>(door.YEnd() + dy));
    }
    return true;
}

std::vector<size_t> ChangedDoors(const DoorState& state) {
    std::vector<size_t> changed;
    const size_t count = std::min(state.AreaDoors.size(), state.AreaDoorsAsRead.size());
    for (size_t i = 0; i < count; ++i) {
        if (state.AreaDoors[i] != state.AreaDoorsAsRead[i]) {
            changed.push_back(i);
        }
    }
    return changed;
}

bool DoorsChanged(const DoorState& state) {
    return !ChangedDoors(state).empty();
}

void DiscardDoorEdits(DoorState& state) {
    state.AreaDoors = state.AreaDoorsAsRead;
}

std::vector<InPlaceWrite> DoorWrites(const DoorState& state) {
    std::vector<InPlaceWrite> writes;
    if (state.Area < 0) {
        return writes;
    }
    for (size_t index : ChangedDoors(state)) {
        const auto& bytes = state.AreaDoors[index].ToBytes();
        const auto& read = state.AreaDoorsAsRead[index].ToBytes();
        writes.push_back({static_cast<uint32_t>(state.TableOffset + index * DoorRecord::kSize),
                          {read.begin(), read.end()},
                          {bytes.begin(), bytes.end()},
                          DoorWhat(state, index)});
    }
    return writes;
}

void MarkDoorsSaved(DoorState& state, const std::vector<size_t>& doors) {
    for (size_t index : doors) {
        if (index < state.AreaDoors.size() && index < state.AreaDoorsAsRead.size()) {
            state.AreaDoorsAsRead[index] = state.AreaDoors[index];
        }
    }
}

} // namespace quarnel
