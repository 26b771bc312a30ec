#include "main/EditHistory.h"

#include "main/EditorState.h"

#include <algorithm>

namespace quarnel {

void EditEffect::Add(const EditEffect& other) {
    cells.insert(cells.end(), other.cells.begin(), other.cells.end());
    wholeMap = wholeMap || other.wholeMap;
    header = header || other.header;
    sprites = sprites || other.sprites;
    doors = doors || other.doors;
    scrolls = scrolls || other.scrolls;
    blocks = blocks || other.blocks;
    minimap = minimap || other.minimap;
}

void EditHistory::Record(EditorState& state, RoomKey room, std::unique_ptr<EditStep> step,
                         uint64_t gesture) {
    RoomSteps& steps = m_rooms[room];
    if (steps.position < steps.steps.size()) {
        steps.steps.resize(steps.position);
        if (steps.saved && *steps.saved > steps.position) {
            steps.saved.reset(); // the saved state was among the dropped steps
        }
    }
    const bool sameGesture = gesture != 0 && gesture == steps.lastGesture && steps.position > 0 &&
                             steps.saved != steps.position;
    if (!(sameGesture && steps.steps.back()->Absorb(*step))) {
        steps.steps.push_back(std::move(step));
        ++steps.position;
    }
    steps.lastGesture = gesture;
    state.Edited = Changed(room);
    Notify();
}

std::optional<std::string> EditHistory::UndoName(RoomKey room) const {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end() || found->second.position == 0) {
        return std::nullopt;
    }
    return found->second.steps[found->second.position - 1]->Name();
}

std::optional<std::string> EditHistory::RedoName(RoomKey room) const {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end() || found->second.position == found->second.steps.size()) {
        return std::nullopt;
    }
    return found->second.steps[found->second.position]->Name();
}

EditEffect EditHistory::Undo(EditorState& state, RoomKey room) {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end() || found->second.position == 0) {
        return {};
    }
    RoomSteps& steps = found->second;
    const EditEffect effect = steps.steps[--steps.position]->Undo(state);
    steps.lastGesture = 0;
    state.Edited = Changed(room);
    Notify();
    return effect;
}

EditEffect EditHistory::Redo(EditorState& state, RoomKey room) {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end() || found->second.position == found->second.steps.size()) {
        return {};
    }
    RoomSteps& steps = found->second;
    const EditEffect effect = steps.steps[steps.position++]->Redo(state);
    steps.lastGesture = 0;
    state.Edited = Changed(room);
    Notify();
    return effect;
}

void EditHistory::MarkSaved(RoomKey room) {
    RoomSteps& steps = m_rooms[room];
    steps.saved = steps.position;
    steps.lastGesture = 0;
    Notify();
}

void EditHistory::Reloaded(const EditorState& state, RoomKey room) {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end()) {
        Notify(); // another room is shown: the Edit menu names its steps
        return;
    }
    RoomSteps& steps = found->second;
    if (!steps.saved) {
        m_rooms.erase(found);
        Notify();
        return;
    }
    // Between the saved position and the current one, room steps are applied when they lie
    // before the saved position (the ROM holds them); the other steps when the state shows
    // their result. The two kinds touch different data, so their order may change.
    const size_t low = std::min(*steps.saved, steps.position);
    const size_t high = std::max(*steps.saved, steps.position);
    const size_t saved = *steps.saved;
    std::vector<std::unique_ptr<EditStep>> applied;
    std::vector<std::unique_ptr<EditStep>> undone;
    for (size_t i = low; i < high; ++i) {
        auto& step = steps.steps[i];
        const bool holds = step->ChangesRoom() ? i < saved : step->Shows(state);
        (holds ? applied : undone).push_back(std::move(step));
    }
    size_t at = low;
    for (auto* group : {&applied, &undone}) {
        for (auto& step : *group) {
            steps.steps[at++] = std::move(step);
        }
    }
    steps.position = low + applied.size();
    steps.saved = steps.position;
    steps.lastGesture = 0;
    Notify();
}

void EditHistory::Clear() {
    m_rooms.clear();
    Notify();
}

bool EditHistory::Changed(RoomKey room) const {
    const auto found = m_rooms.find(room);
    if (found == m_rooms.end()) {
        return false;
    }
    const RoomSteps& steps = found->second;
    if (!steps.saved) {
        return true;
    }
    // The steps between the saved position and the current one, in either direction.
    const size_t low = std::min(*steps.saved, steps.position);
    const size_t high = std::max(*steps.saved, steps.position);
    for (size_t i = low; i < high; ++i) {
        if (steps.steps[i]->ChangesRoom()) {
            return true;
        }
    }
    return false;
}

} // namespace quarnel
