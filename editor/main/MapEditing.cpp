#include "main/MapEditing.h"

#include "common/Hex.h"
#include "main/RoomLoading.h"

#include <algorithm>
#include <cstdlib>

namespace quarnel {

namespace {

struct Target {
    LayerKind kind;
    bool* dirty;
};

// The tile layer a click acts on, in the order level, foreground, back; none for clipdata.
std::optional<Target> TileTarget(EditorState& state) {
    const struct {
        EditTarget box;
        LayerKind kind;
        bool* dirty;
    } order[] = {{EditTarget::Level, LayerKind::Level, &state.LevelDirty},
                 {EditTarget::Foreground, LayerKind::Foreground, &state.ForegroundDirty},
                 {EditTarget::Back, LayerKind::Back, &state.BackDirty}};
    for (const auto& entry : order) {
        if (state.Editing == entry.box && state.LayerUsable(entry.kind)) {
            return Target{entry.kind, entry.dirty};
        }
    }
    return std::nullopt;
}

std::string LastThreeDigits(int16_t cell) {
    const std::string digits = "000" + ToHex(static_cast<uint16_t>(cell));
    return digits.substr(digits.size() - 3);
}

// The layer whose size a newly enabled layer takes: the level layer, else the foreground,
// else the back layer (whichever is usable and is not the layer itself), else the clipdata,
// which every room has.
const RoomLayer& SizeModel(const EditorState& state, LayerKind enabling) {
    for (LayerKind kind : {LayerKind::Level, LayerKind::Foreground, LayerKind::Back}) {
        if (kind != enabling && state.LayerUsable(kind)) {
            return state.Layer(kind);
        }
    }
    return state.ClipLayer;
}

} // namespace

bool WriteCell(EditorState& state, LayerKind kind, int x, int y, int16_t value) {
    RoomLayer& layer = state.Layer(kind);
    if (!layer.IsStored(x, y)) {
        return false;
    }
    switch (kind) {
    case LayerKind::Foreground:
        state.ForegroundDirty = true;
        break;
    case LayerKind::Level:
        state.LevelDirty = true;
        break;
    case LayerKind::Back:
        state.BackDirty = true;
        break;
    case LayerKind::Clip:
        break;
    }
    if (layer.Cell(x, y) == value) {
        return false;
    }
    layer.SetCell(x, y, value);
    state.Edited = true;
    if (kind != LayerKind::Clip) {
        RedrawCell(state.MapPicture, DrawTarget::MainMap, state.Scene(), x, y);
    }
    return true;
}

EditOutcome PaintOrPick(EditorState& state, MapButton button, int x, int y,
                        std::optional<uint8_t> clipValue) {
    EditOutcome outcome;
    std::optional<LayerKind> kind;
    int16_t value = 0;
    if (auto target = TileTarget(state)) {
        RoomLayer& layer = state.Layer(target->kind);
        *target->dirty = true;
        if (!layer.IsStored(x, y)) {
            return outcome;
        }
        if (button == MapButton::Right) {
            state.CurrentBlock = static_cast<uint16_t>(layer.Cell(x, y));
            outcome.Picked = true;
            return outcome;
        }
        kind = target->kind;
        value = static_cast<int16_t>(state.CurrentBlock);
    } else if (state.Editing == EditTarget::Clip && button == MapButton::Left && clipValue) {
        kind = LayerKind::Clip;
        value = *clipValue;
    }
    if (!kind) {
        return outcome;
    }
    const RoomLayer& layer = state.Layer(*kind);
    const int16_t before = layer.IsStored(x, y) ? layer.Cell(x, y) : int16_t{0};
    if (WriteCell(state, *kind, x, y, value)) {
        outcome.CellChanged = true;
        outcome.PictureChanged = *kind != LayerKind::Clip;
        outcome.Change = CellChange{*kind, x, y, before, value};
    }
    return outcome;
}

std::vector<std::pair<int, int>> CellsAlongDrag(int fromX, int fromY, int toX, int toY) {
    // Bresenham's line: one cell per step of the longer axis.
    const int dx = std::abs(toX - fromX);
    const int dy = -std::abs(toY - fromY);
    const int stepX = fromX < toX ? 1 : -1;
    const int stepY = fromY < toY ? 1 : -1;
    std::vector<std::pair<int, int>> cells;
    cells.reserve(static_cast<size_t>(std::max(dx, -dy)));
    int x = fromX;
    int y = fromY;
    int error = dx + dy;
    while (x != toX || y != toY) {
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
        cells.emplace_back(x, y);
    }
    return cells;
}

std::vector<std::pair<int, int>> DragTrail::CellsTo(int x, int y) const {
    if (!m_last || *m_last == std::pair{x, y}) {
        return {{x, y}};
    }
    return CellsAlongDrag(m_last->first, m_last->second, x, y);
}

bool PaintCell(EditorState& state, LayerKind kind, int x, int y, uint16_t value) {
    const EditTarget saved = state.Editing;
    const uint16_t savedBlock = state.CurrentBlock;
    switch (kind) {
    case LayerKind::Foreground:
        state.Editing = EditTarget::Foreground;
        break;
    case LayerKind::Level:
        state.Editing = EditTarget::Level;
        break;
    case LayerKind::Back:
        state.Editing = EditTarget::Back;
        break;
    case LayerKind::Clip:
        state.Editing = EditTarget::Clip;
        break;
    }
    const RoomLayer& layer = state.Layer(kind);
    const bool usable = (kind == LayerKind::Clip ? layer.Width > 0 : state.LayerUsable(kind)) &&
                        layer.IsStored(x, y);
    if (usable) {
        state.CurrentBlock = value;
        PaintOrPick(state, MapButton::Left, x, y, static_cast<uint8_t>(value & 0xFF));
    }
    state.Editing = saved;
    state.CurrentBlock = savedBlock;
    return usable;
}

void ToggleLayer(EditorState& state, LayerKind kind) {
    if (kind == LayerKind::Clip) {
        return;
    }
    RoomHeader& header = state.CurrentRoomHeader;
    uint8_t& props = kind == LayerKind::Foreground ? header.BG0Props
                     : kind == LayerKind::Level    ? header.BG1Props
                                                   : header.BG2Props;
    ViewBox& box = kind == LayerKind::Foreground ? state.Switches.ViewForeground
                   : kind == LayerKind::Level    ? state.Switches.ViewLevel
                                                 : state.Switches.ViewBack;
    const auto slot = static_cast<size_t>(kind);
    if (props != 0) {
        props = 0;
        box = ViewBox{false, false};
    } else {
        props = kLayerPresent;
        RoomLayer& layer = state.Layer(kind);
        const RoomLayer& model = SizeModel(state, kind);
        if (!state.LayerOfThisRoom[slot] || state.LayerRefused[slot]) {
            layer = RoomLayer{};
        }
        layer.Resize(model.Width, model.Height);
        state.LayerRefused[slot] = false;
        state.LayerOfThisRoom[slot] = true;
        box = ViewBox{true, true};
        (kind == LayerKind::Foreground ? state.ForegroundDirty
         : kind == LayerKind::Level    ? state.LevelDirty
                                       : state.BackDirty) = true;
    }
    state.Edited = true;
    RedrawMap(state);
}

CellValues ValuesAt(const EditorState& state, int x, int y) {
    CellValues values;
    const auto text = [&](LayerKind kind) {
        const RoomLayer& layer = state.Layer(kind);
        return layer.IsStored(x, y) ? LastThreeDigits(layer.Cell(x, y)) : std::string();
    };
    values.Level = text(LayerKind::Level);
    values.Foreground = text(LayerKind::Foreground);
    values.Back = text(LayerKind::Back);
    if (state.ClipLayer.IsStored(x, y)) {
        values.Clip = static_cast<uint8_t>(state.ClipLayer.Cell(x, y) & 0xFF);
    }
    return values;
}

std::string CellCaption(int x, int y) {
    return "X:" + ToHex(static_cast<uint32_t>(x)) + "\r\nY:" + ToHex(static_cast<uint32_t>(y));
}

} // namespace quarnel
