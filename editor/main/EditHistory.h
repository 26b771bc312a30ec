#pragma once
// The undo history of the open ROM: every change the user makes is one step that can be undone
// and redone, kept per room for the whole session (switching rooms keeps each room's steps).
// A step keeps only what it changed (cells before and after, a record's bytes before and
// after) and undoes and redoes through the same functions as the edit, so the change marks stay
// right and views redraw only what the returned EditEffect names.
//
// The history also knows which of a room's positions matches the ROM (after a load or a save):
// a room whose steps were all undone back to that position has no unsaved changes.

#include "rom/RoomHeader.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quarnel {

struct EditorState;

// One changed cell of a layer, in blocks.
struct CellRef {
    LayerKind kind = LayerKind::Level;
    int x = 0;
    int y = 0;
};

// What a step changed, for the views: cells to redraw one by one, or whole parts to refresh.
struct EditEffect {
    std::vector<CellRef> cells;
    bool wholeMap = false; // layers resized, enabled or replaced: redraw the whole map
    bool header = false;   // header fields the main window's lists show
    bool sprites = false;
    bool doors = false;
    bool scrolls = false;
    bool blocks = false; // the tileset's block table
    bool minimap = false;

    bool Empty() const {
        return cells.empty() && !wholeMap && !header && !sprites && !doors && !scrolls && !blocks &&
               !minimap;
    }
    void Add(const EditEffect& other);
};

class EditStep {
public:
    virtual ~EditStep() = default;

    // The step's name as the Edit menu shows it after "Undo " and "Redo ": "Paint 12 blocks".
    virtual std::string Name() const = 0;
    virtual EditEffect Undo(EditorState& state) = 0;
    virtual EditEffect Redo(EditorState& state) = 0;
    // Folds `next`, a later step of the same gesture (one drag), into this one; false when the
    // two cannot be one step.
    virtual bool Absorb(EditStep& next) {
        (void)next;
        return false;
    }
    // Whether the step changes what only Save Room writes, so that the room differs from the
    // ROM while it stands applied. Door, scroll and minimap records are compared with what the
    // file holds by their own editors, which save them on their own.
    virtual bool ChangesRoom() const { return true; }
    // For a step that does not change the room: whether `state` shows its result, so that the
    // step stands applied after the room is read again (its editor saved it).
    virtual bool Shows(const EditorState& state) const {
        (void)state;
        return false;
    }
};

// One record kept before and after a change; undo and redo put it back through Put, the same
// setter as the edit.
template <typename Record>
class RecordStep : public EditStep {
public:
    RecordStep(Record before, Record after)
        : m_before(std::move(before)), m_after(std::move(after)) {}

    EditEffect Undo(EditorState& state) final { return Put(state, m_before); }
    EditEffect Redo(EditorState& state) final { return Put(state, m_after); }

protected:
    // Puts `record` back where the step found it; no effect when that is no longer loaded.
    virtual EditEffect Put(EditorState& state, const Record& record) const = 0;

    Record m_before;
    Record m_after;
};

struct RoomKey {
    int area = -1;
    int room = -1;
    auto operator<=>(const RoomKey&) const = default;
};

class EditHistory {
public:
    // Gestures: every mouse press (or other user action) takes a new number; steps recorded
    // with the same non-zero number are one step when the step can absorb the next.
    uint64_t NewGesture() { return ++m_lastGesture; }

    // Records a step already applied to `state` in room `room`, dropping the steps that were
    // undone, and keeps state.Edited in line with the history.
    void Record(EditorState& state, RoomKey room, std::unique_ptr<EditStep> step,
                uint64_t gesture = 0);

    std::optional<std::string> UndoName(RoomKey room) const;
    std::optional<std::string> RedoName(RoomKey room) const;

    // Undoes or redoes the room's last or next step and returns what it changed (nothing when
    // there is no such step).
    EditEffect Undo(EditorState& state, RoomKey room);
    EditEffect Redo(EditorState& state, RoomKey room);

    // The room as it is now is what the ROM holds (after a save).
    void MarkSaved(RoomKey room);
    // The room was loaded from the ROM again: its state is the saved position's. Steps after
    // it stay as redo steps when that position is known; a room with no known saved position
    // loses its steps. Door, scroll and minimap steps whose result `state` still shows (their
    // editor saved them) stay applied: they move before the steps that became redo steps.
    void Reloaded(const EditorState& state, RoomKey room);
    // Whether the room differs from what the ROM holds, by its history.
    bool Changed(RoomKey room) const;

    // A new ROM: every room's steps are dropped.
    void Clear();

    // Called after every change of the history (a step, undo, redo, save, reload, clear), for
    // views that show the step names or the unsaved-changes marker.
    void SetListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    struct RoomSteps {
        std::vector<std::unique_ptr<EditStep>> steps;
        size_t position = 0;             // steps[0, position) are applied
        std::optional<size_t> saved = 0; // the position the ROM holds; none when unreachable
        uint64_t lastGesture = 0;
    };

    void Notify() const {
        if (m_listener) {
            m_listener();
        }
    }

    std::map<RoomKey, RoomSteps> m_rooms;
    uint64_t m_lastGesture = 0;
    std::function<void()> m_listener;
};

} // namespace quarnel
