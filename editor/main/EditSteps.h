#pragma once
// The undo steps of the room's own edits: painted cells, sprite moves and number changes,
// header field changes, and changes of the layers as a whole (enabling a layer, a resize).
// Each keeps only what it changed and undoes through the edit's own functions.

#include "main/EditHistory.h"
#include "main/EditorState.h"
#include "main/MapEditing.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace quarnel {

// Cells painted into one layer; a drag is one step ("Paint 12 blocks", "Paint 3 clip values").
class CellsStep final : public EditStep {
public:
    explicit CellsStep(const CellChange& first) : m_changes{first} {}

    std::string Name() const override;
    EditEffect Undo(EditorState& state) override;
    EditEffect Redo(EditorState& state) override;
    bool Absorb(EditStep& next) override;

    const std::vector<CellChange>& Changes() const { return m_changes; }

private:
    std::vector<CellChange> m_changes; // in the order painted; one entry per cell
};

// One sprite entry before and after a move or a number change; a drag is one step.
class SpriteStep final : public RecordStep<SpritePlacement> {
public:
    enum class Kind { Move, Renumber };
    SpriteStep(Kind kind, int listIndex, size_t entry, SpritePlacement before,
               SpritePlacement after)
        : RecordStep(before, after), m_kind(kind), m_list(listIndex), m_entry(entry) {}

    std::string Name() const override;
    bool Absorb(EditStep& next) override;

private:
    EditEffect Put(EditorState& state, const SpritePlacement& entry) const override;

    Kind m_kind;
    int m_list;
    size_t m_entry;
};

// The room header before and after a change of its fields (tileset, music, minimap
// position, sprite sets): "Change Music".
class HeaderStep final : public EditStep {
public:
    HeaderStep(std::string name, const RoomHeader& before, const RoomHeader& after)
        : m_name(std::move(name)), m_before(before), m_after(after) {}

    std::string Name() const override { return m_name; }
    EditEffect Undo(EditorState& state) override;
    EditEffect Redo(EditorState& state) override;

private:
    EditEffect Put(EditorState& state, const RoomHeader& from, const RoomHeader& to) const;

    std::string m_name;
    RoomHeader m_before;
    RoomHeader m_after;
};

// The room's layers as a whole, with the header's layer bytes, the layer switches and the
// change marks: what enabling a layer or a resize changes.
struct LayersSnapshot {
    RoomHeader header;
    RoomLayer foreground;
    RoomLayer level;
    RoomLayer back;
    RoomLayer clip;
    std::array<bool, 4> refused{};
    std::array<bool, 4> ofThisRoom{};
    LayerSwitches switches;
    bool foregroundDirty = false;
    bool levelDirty = false;
    bool backDirty = false;

    static LayersSnapshot Of(const EditorState& state);
    void RestoreInto(EditorState& state) const;
};

class LayersStep final : public RecordStep<LayersSnapshot> {
public:
    LayersStep(std::string name, LayersSnapshot before, LayersSnapshot after)
        : RecordStep(std::move(before), std::move(after)), m_name(std::move(name)) {}

    std::string Name() const override { return m_name; }

private:
    // Restores `snapshot`: the whole map and the header change.
    EditEffect Put(EditorState& state, const LayersSnapshot& snapshot) const override;

    std::string m_name;
};

// The room's key in the history: the loaded area and room.
inline RoomKey CurrentRoom(const EditorState& state) {
    return {state.Area, state.Room};
}

// Paints or picks as PaintOrPick does and records a painted cell in the history as part of
// gesture `gesture` (one mouse press and its drag).
EditOutcome PaintOrPickRecorded(EditorState& state, MapButton button, int x, int y,
                                std::optional<uint8_t> clipValue, uint64_t gesture);

} // namespace quarnel
