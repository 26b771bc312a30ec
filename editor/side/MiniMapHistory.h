#pragma once
// Minimap painting as undo steps: the minimap editor's map lives in the EditorState
// (MiniMapShown), and a stroke of painted cells is one step of the room loaded when it was
// painted. Undo puts the cells back through MiniMap::Paint while the same minimap is shown.

#include "main/EditHistory.h"
#include "side/MiniMap.h"

#include <cstdint>
#include <vector>

namespace quarnel {

struct EditorState;

class MiniMapStep final : public EditStep {
public:
    struct Cell {
        int x = 0;
        int y = 0;
        uint16_t before = 0;
        uint16_t after = 0;
    };
    MiniMapStep(int area, uint32_t pointer, Cell first)
        : m_area(area), m_pointer(pointer), m_cells{first} {}

    std::string Name() const override;
    EditEffect Undo(EditorState& state) override;
    EditEffect Redo(EditorState& state) override;
    bool Absorb(EditStep& next) override;
    bool ChangesRoom() const override { return false; }
    bool Shows(const EditorState& state) const override;

private:
    int m_area;
    uint32_t m_pointer;
    std::vector<Cell> m_cells;
};

// Paints `entry` into cell (x, y) of the shown minimap and records it as part of gesture
// `gesture` (one press and its drag). False when the cell is outside or already holds it.
bool PaintMiniMapRecorded(EditorState& state, int x, int y, uint16_t entry, uint64_t gesture);

} // namespace quarnel
