#pragma once
// Door and scroll edits as undo steps. A door record belongs to its area and a scroll record
// to its room; either step goes into the history of the room loaded when it was made. Each
// keeps the one record before and after and puts it back through the same setter as the
// edit, so "changed" stays the comparison with what the file holds.

#include "doors/DoorEdits.h"
#include "doors/ScrollData.h"
#include "main/EditHistory.h"

#include <cstddef>
#include <cstdint>

namespace quarnel {

struct EditorState;

// Door `door` of area `area` before and after a change; a drag of its label is one step.
class DoorStep final : public RecordStep<DoorRecord> {
public:
    enum class Kind { Move, Change };
    DoorStep(Kind kind, int area, size_t door, const DoorRecord& before, const DoorRecord& after)
        : RecordStep(before, after), m_kind(kind), m_area(area), m_door(door) {}

    std::string Name() const override;
    bool Absorb(EditStep& next) override;
    // The record belongs to an editor that saves it on its own.
    bool ChangesRoom() const override { return false; }
    bool Shows(const EditorState& state) const override;

private:
    EditEffect Put(EditorState& state, const DoorRecord& record) const override;

    Kind m_kind;
    int m_area;
    size_t m_door;
};

// Puts a whole record back into the area's list: false when `door` is not in it.
bool SetDoorRecord(DoorState& doors, size_t door, const DoorRecord& record);

// SetDoorField, recorded: a change of one field is one step ("Change door 1A").
Result<bool, Error> SetDoorFieldRecorded(EditorState& state, size_t door, DoorField field,
                                         int value);

// MoveDoor, recorded as part of gesture `gesture` (one press and its drag: "Move door 1A").
bool MoveDoorRecorded(EditorState& state, size_t label, const LabelSnap& snap, uint64_t gesture);

// Scroll `index` of room (area, room) before and after a drag or a field change.
class ScrollStep final : public RecordStep<ScrollRecord> {
public:
    ScrollStep(int area, int room, size_t index, const ScrollRecord& before,
               const ScrollRecord& after)
        : RecordStep(before, after), m_area(area), m_room(room), m_index(index) {}

    std::string Name() const override;
    bool Absorb(EditStep& next) override;
    // The record belongs to an editor that saves it on its own.
    bool ChangesRoom() const override { return false; }
    bool Shows(const EditorState& state) const override;

private:
    EditEffect Put(EditorState& state, const ScrollRecord& record) const override;

    int m_area;
    int m_room;
    size_t m_index;
};

Result<bool, Error> SetScrollFieldRecorded(EditorState& state, size_t index, ScrollField field,
                                           int value);
bool SetScrollRecorded(EditorState& state, size_t index, const ScrollRecord& scroll,
                       uint64_t gesture);

} // namespace quarnel
