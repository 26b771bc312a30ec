#include "side/MiniMapHistory.h"

#include "main/EditSteps.h"
#include "main/EditorState.h"

#include <algorithm>

namespace quarnel {

std::string MiniMapStep::Name() const {
    return "Paint " + std::to_string(m_cells.size()) +
           (m_cells.size() == 1 ? " minimap cell" : " minimap cells");
}

EditEffect MiniMapStep::Undo(EditorState& state) {
    EditEffect effect;
    MiniMap& map = state.MiniMapShown;
    // Another area (or the same one read again after a save) is shown: nothing to put back.
    if (map.area != m_area || map.pointer != m_pointer) {
        return effect;
    }
    for (auto cell = m_cells.rbegin(); cell != m_cells.rend(); ++cell) {
        map.Paint(cell->x, cell->y, cell->before);
    }
    effect.minimap = true;
    return effect;
}

EditEffect MiniMapStep::Redo(EditorState& state) {
    EditEffect effect;
    MiniMap& map = state.MiniMapShown;
    if (map.area != m_area || map.pointer != m_pointer) {
        return effect;
    }
    for (const Cell& cell : m_cells) {
        map.Paint(cell.x, cell.y, cell.after);
    }
    effect.minimap = true;
    return effect;
}

bool MiniMapStep::Shows(const EditorState& state) const {
    const MiniMap& map = state.MiniMapShown;
    return map.area == m_area && map.pointer == m_pointer &&
           std::all_of(m_cells.begin(), m_cells.end(),
                       [&](const Cell& cell) { return map.Cell(cell.x, cell.y) == cell.after; });
}

bool MiniMapStep::Absorb(EditStep& next) {
    auto* other = dynamic_cast<MiniMapStep*>(&next);
    if (other == nullptr || other->m_area != m_area || other->m_pointer != m_pointer) {
        return false;
    }
    for (const Cell& cell : other->m_cells) {
        const auto same = std::find_if(m_cells.begin(), m_cells.end(), [&](const Cell& c) {
            return c.x == cell.x && c.y == cell.y;
        });
        if (same != m_cells.end()) {
            same->after = cell.after;
        } else {
            m_cells.push_back(cell);
        }
    }
    return true;
}

bool PaintMiniMapRecorded(EditorState& state, int x, int y, uint16_t entry, uint64_t gesture) {
    MiniMap& map = state.MiniMapShown;
    const uint16_t before = map.Cell(x, y);
    if (map.entries.empty() || !map.Paint(x, y, entry)) {
        return false;
    }
    state.History.Record(state, CurrentRoom(state),
                         std::make_unique<MiniMapStep>(map.area, map.pointer,
                                                       MiniMapStep::Cell{x, y, before, entry}),
                         gesture);
    return true;
}

} // namespace quarnel
