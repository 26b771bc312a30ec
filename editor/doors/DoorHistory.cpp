#include "doors/DoorHistory.h"

#include "common/Hex.h"
#include "main/EditSteps.h"
#include "main/EditorState.h"

namespace quarnel {

bool SetDoorRecord(DoorState& doors, size_t door, const DoorRecord& record) {
    if (door >= doors.AreaDoors.size()) {
        return false;
    }
    doors.AreaDoors[door] = record;
    return true;
}

std::string DoorStep::Name() const {
    return (m_kind == Kind::Move ? "Move door " : "Change door ") +
           ToHex(static_cast<uint32_t>(m_door));
}

EditEffect DoorStep::Put(EditorState& state, const DoorRecord& record) const {
    EditEffect effect;
    // The area's doors were read again since (another area was chosen): nothing to put back.
    if (state.Doors.Area != m_area || !SetDoorRecord(state.Doors, m_door, record)) {
        return effect;
    }
    // The room byte may have changed: the room's door list follows the records.
    ShowRoomDoors(state.Doors, state.Room);
    effect.doors = true;
    return effect;
}

bool DoorStep::Shows(const EditorState& state) const {
    return state.Doors.Area == m_area && m_door < state.Doors.AreaDoors.size() &&
           state.Doors.AreaDoors[m_door] == m_after;
}

bool DoorStep::Absorb(EditStep& next) {
    auto* door = dynamic_cast<DoorStep*>(&next);
    if (door == nullptr || door->m_kind != m_kind || door->m_area != m_area ||
        door->m_door != m_door) {
        return false;
    }
    m_after = door->m_after;
    return true;
}

Result<bool, Error> SetDoorFieldRecorded(EditorState& state, size_t door, DoorField field,
                                         int value) {
    const DoorRecord before =
        door < state.Doors.AreaDoors.size() ? state.Doors.AreaDoors[door] : DoorRecord{};
    auto changed = SetDoorField(state.Doors, door, field, value);
    if (changed && *changed) {
        state.History.Record(state, CurrentRoom(state),
                             std::make_unique<DoorStep>(DoorStep::Kind::Change, state.Doors.Area,
                                                        door, before, state.Doors.AreaDoors[door]));
    }
    return changed;
}

bool MoveDoorRecorded(EditorState& state, size_t label, const LabelSnap& snap, uint64_t gesture) {
    const auto door = DoorIndexOfLabel(state.Doors, label);
    if (!door) {
        return false;
    }
    const DoorRecord before = state.Doors.AreaDoors[*door];
    if (!MoveDoor(state.Doors, label, snap)) {
        return false;
    }
    const DoorRecord& after = state.Doors.AreaDoors[*door];
    if (after != before) {
        state.History.Record(state, CurrentRoom(state),
                             std::make_unique<DoorStep>(DoorStep::Kind::Move, state.Doors.Area,
                                                        *door, before, after),
                             gesture);
    }
    return true;
}

std::string ScrollStep::Name() const {
    return "Change scroll " + std::to_string(m_index);
}

EditEffect ScrollStep::Put(EditorState& state, const ScrollRecord& record) const {
    EditEffect effect;
    if (state.Scrolls.Area != m_area || state.Scrolls.Room != m_room ||
        !SetScroll(state.Scrolls, m_index, record)) {
        return effect;
    }
    effect.scrolls = true;
    return effect;
}

bool ScrollStep::Shows(const EditorState& state) const {
    return state.Scrolls.Area == m_area && state.Scrolls.Room == m_room &&
           m_index < state.Scrolls.ScrollList.size() &&
           state.Scrolls.ScrollList[m_index] == m_after;
}

bool ScrollStep::Absorb(EditStep& next) {
    auto* scroll = dynamic_cast<ScrollStep*>(&next);
    if (scroll == nullptr || scroll->m_area != m_area || scroll->m_room != m_room ||
        scroll->m_index != m_index) {
        return false;
    }
    m_after = scroll->m_after;
    return true;
}

namespace {

void RecordScroll(EditorState& state, size_t index, const ScrollRecord& before, uint64_t gesture) {
    const ScrollRecord& after = state.Scrolls.ScrollList[index];
    if (after != before) {
        state.History.Record(state, CurrentRoom(state),
                             std::make_unique<ScrollStep>(state.Scrolls.Area, state.Scrolls.Room,
                                                          index, before, after),
                             gesture);
    }
}

} // namespace

Result<bool, Error> SetScrollFieldRecorded(EditorState& state, size_t index, ScrollField field,
                                           int value) {
    const ScrollRecord before =
        index < state.Scrolls.ScrollList.size() ? state.Scrolls.ScrollList[index] : ScrollRecord{};
    auto changed = SetScrollField(state.Scrolls, index, field, value);
    if (changed && *changed) {
        RecordScroll(state, index, before, 0);
    }
    return changed;
}

bool SetScrollRecorded(EditorState& state, size_t index, const ScrollRecord& scroll,
                       uint64_t gesture) {
    if (index >= state.Scrolls.ScrollList.size()) {
        return false;
    }
    const ScrollRecord before = state.Scrolls.ScrollList[index];
    if (!SetScroll(state.Scrolls, index, scroll)) {
        return false;
    }
    RecordScroll(state, index, before, gesture);
    return true;
}

} // namespace quarnel
