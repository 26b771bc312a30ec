#include "main/EditSteps.h"

#include "main/RoomLoading.h"

#include <algorithm>

namespace quarnel {

namespace {

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string CellsStep::Name() const {
    if (m_changes.front().kind == LayerKind::Clip) {
        return "Paint " + Count(m_changes.size(), "clip value", "clip values");
    }
    return "Paint " + Count(m_changes.size(), "block", "blocks");
}

EditEffect CellsStep::Undo(EditorState& state) {
    EditEffect effect;
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        WriteCell(state, change->kind, change->x, change->y, change->before);
        effect.cells.push_back({change->kind, change->x, change->y});
    }
    return effect;
}

EditEffect CellsStep::Redo(EditorState& state) {
    EditEffect effect;
    for (const CellChange& change : m_changes) {
        WriteCell(state, change.kind, change.x, change.y, change.after);
        effect.cells.push_back({change.kind, change.x, change.y});
    }
    return effect;
}

bool CellsStep::Absorb(EditStep& next) {
    auto* cells = dynamic_cast<CellsStep*>(&next);
    if (cells == nullptr || cells->m_changes.front().kind != m_changes.front().kind) {
        return false;
    }
    for (const CellChange& change : cells->m_changes) {
        const auto same = std::find_if(m_changes.begin(), m_changes.end(), [&](const auto& c) {
            return c.x == change.x && c.y == change.y;
        });
        if (same != m_changes.end()) {
            same->after = change.after; // painted twice in one drag: keep the first "before"
        } else {
            m_changes.push_back(change);
        }
    }
    return true;
}

std::string SpriteStep::Name() const {
    return (m_kind == Kind::Move ? "Move sprite " : "Renumber sprite ") + std::to_string(m_entry);
}

EditEffect SpriteStep::Put(EditorState& state, const SpritePlacement& entry) const {
    auto& list = state.Sprites.List(m_list);
    if (m_entry < list.size()) {
        list[m_entry] = entry;
        state.Sprites.SpriteListMarked[static_cast<size_t>(m_list)] = true;
    }
    EditEffect effect;
    effect.sprites = true;
    return effect;
}

bool SpriteStep::Absorb(EditStep& next) {
    auto* sprite = dynamic_cast<SpriteStep*>(&next);
    if (sprite == nullptr || sprite->m_kind != m_kind || sprite->m_list != m_list ||
        sprite->m_entry != m_entry) {
        return false;
    }
    m_after = sprite->m_after;
    return true;
}

EditEffect HeaderStep::Put(EditorState& state, const RoomHeader& from, const RoomHeader& to) const {
    // Only the bytes the step changed are put back: a save since may have moved the room's
    // layers or sprite lists, and the header must keep pointing where they are now (their old
    // places were given back to free space).
    const RoomHeader::Bytes fromBytes = from.ToBytes();
    const RoomHeader::Bytes toBytes = to.ToBytes();
    RoomHeader::Bytes now = state.CurrentRoomHeader.ToBytes();
    for (size_t i = 0; i < now.size(); ++i) {
        if (fromBytes[i] != toBytes[i]) {
            now[i] = toBytes[i];
        }
    }
    state.CurrentRoomHeader = RoomHeader::FromBytes(now);
    EditEffect effect;
    effect.header = true;
    return effect;
}

EditEffect HeaderStep::Undo(EditorState& state) {
    return Put(state, m_after, m_before);
}

EditEffect HeaderStep::Redo(EditorState& state) {
    return Put(state, m_before, m_after);
}

LayersSnapshot LayersSnapshot::Of(const EditorState& state) {
    return {state.CurrentRoomHeader, state.ForegroundLayer, state.LevelLayer,      state.BackLayer,
            state.ClipLayer,         state.LayerRefused,    state.LayerOfThisRoom, state.Switches,
            state.ForegroundDirty,   state.LevelDirty,      state.BackDirty};
}

void LayersSnapshot::RestoreInto(EditorState& state) const {
    // Only the layer switches of the header come back. Its pointers stay as they are now: a
    // save since (a resize saves) moved the layers and sprite lists and gave their old places
    // back to free space. Every layer is marked changed below, so the next save writes the
    // restored cells to new places.
    state.CurrentRoomHeader.BG0Props = header.BG0Props;
    state.CurrentRoomHeader.BG1Props = header.BG1Props;
    state.CurrentRoomHeader.BG2Props = header.BG2Props;
    state.ForegroundLayer = foreground;
    state.LevelLayer = level;
    state.BackLayer = back;
    state.ClipLayer = clip;
    state.LayerRefused = refused;
    state.LayerOfThisRoom = ofThisRoom;
    state.Switches = switches;
    // A restored layer differs from what the ROM holds as long as it differs at all from the
    // loaded one: marking it keeps the next save writing it.
    state.ForegroundDirty = true;
    state.LevelDirty = true;
    state.BackDirty = true;
    RedrawMap(state);
}

EditEffect LayersStep::Put(EditorState& state, const LayersSnapshot& snapshot) const {
    snapshot.RestoreInto(state);
    EditEffect effect;
    effect.wholeMap = true;
    effect.header = true;
    return effect;
}

EditOutcome PaintOrPickRecorded(EditorState& state, MapButton button, int x, int y,
                                std::optional<uint8_t> clipValue, uint64_t gesture) {
    EditOutcome outcome = PaintOrPick(state, button, x, y, clipValue);
    if (outcome.Change) {
        state.History.Record(state, CurrentRoom(state),
                             std::make_unique<CellsStep>(*outcome.Change), gesture);
    }
    return outcome;
}

} // namespace quarnel
