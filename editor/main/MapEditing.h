#pragma once
// Editing the room cell by cell: every write of a layer cell, by painting, dragging, a script
// or the command line, goes through PaintOrPick, which knows what changed and redraws only
// that cell of the map picture.

#include "main/EditorState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quarnel {

enum class MapButton { Left, Right };

// One cell's change, for the undo history.
struct CellChange {
    LayerKind kind = LayerKind::Level;
    int x = 0;
    int y = 0;
    int16_t before = 0;
    int16_t after = 0;
};

struct EditOutcome {
    bool CellChanged = false;         // a layer cell took a new value
    bool PictureChanged = false;      // the map picture was redrawn at the cell
    bool Picked = false;              // CurrentBlock was taken from the map
    std::optional<CellChange> Change; // the cell's old and new value, when it changed
};

// The one write of a layer cell, used by painting, scripts and undo alike: stores `value` at
// stored cell (x, y) of layer `kind`, marks a tile layer changed (so the next save writes it)
// and redraws that cell of the map picture. Returns whether the cell took a new value; a cell
// outside the layer's stored cells is not written.
bool WriteCell(EditorState& state, LayerKind kind, int x, int y, int16_t value);

// The map's button-down at cell (x, y), in blocks. Left paints CurrentBlock into the layer
// being edited (level, then foreground, then back layer, each only when the edit box is
// ticked and the layer is usable) or, for clipdata, the clip attribute `clipValue` (nothing
// when there is none). Right picks CurrentBlock from that layer instead; clipdata picks
// nothing. Painting or picking a tile layer sets its change mark, even when no cell changes.
// A cell outside the layer's stored cells (the spare column and row included) is passed over.
EditOutcome PaintOrPick(EditorState& state, MapButton button, int x, int y,
                        std::optional<uint8_t> clipValue);

// The cells a drag passes over between two pointer positions that arrive as separate events:
// a straight line of 8-connected cells from (fromX, fromY), which is left out (it was painted
// already), to (toX, toY), which is included. A fast drag paints every cell it crosses, not
// only the cells where the pointer was seen.
std::vector<std::pair<int, int>> CellsAlongDrag(int fromX, int fromY, int toX, int toY);

// The cells of one drag of the map: the cell painted or picked last, and the cells a pointer
// event adds to it.
class DragTrail {
public:
    // A new press: the drag has no cell yet.
    void Clear() { m_last.reset(); }
    // The cells to paint or pick, in order, for a drag event over cell (x, y): the cell itself
    // when the drag has no cell yet or stays on it, else CellsAlongDrag from the last cell.
    std::vector<std::pair<int, int>> CellsTo(int x, int y) const;
    // The drag painted or picked cell (x, y).
    void Reached(int x, int y) { m_last = {x, y}; }

private:
    std::optional<std::pair<int, int>> m_last;
};

// Sets one cell as a left-click paint would, with `value` as the block or clip value and
// the edit target `kind`; used by the command line and tests. Returns false when the layer
// is not usable or the cell lies outside it.
bool PaintCell(EditorState& state, LayerKind kind, int x, int y, uint16_t value);

// The "Enable Layer" entries: a layer whose property byte is not 0 is switched off (0) and
// hidden; a layer whose property is 0 is switched on (0x10): it takes the size of the level
// layer, or of the foreground (then the back layer, then the clipdata) when there is no level
// layer, keeping the cells it held in this room (new cells 0), and is marked changed so that the
// next save stores it. The map is redrawn in every case.
void ToggleLayer(EditorState& state, LayerKind kind);

// The texts of the value labels for cell (x, y): the last three hexadecimal digits of the
// level, foreground and back cells ("" where a layer has no such cell).
struct CellValues {
    std::string Level;
    std::string Foreground;
    std::string Back;
    std::optional<uint8_t> Clip;
};
CellValues ValuesAt(const EditorState& state, int x, int y);

// "X:" + x + CR LF + "Y:" + y, in hexadecimal.
std::string CellCaption(int x, int y);

} // namespace quarnel
