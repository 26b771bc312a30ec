#include "main/EditorState.h"

#include "doors/DoorEdits.h"

namespace quarnel {

RoomLayer& EditorState::Layer(LayerKind kind) {
    switch (kind) {
    case LayerKind::Foreground:
        return ForegroundLayer;
    case LayerKind::Level:
        return LevelLayer;
    case LayerKind::Back:
        return BackLayer;
    case LayerKind::Clip:
        break;
    }
    return ClipLayer;
}

const RoomLayer& EditorState::Layer(LayerKind kind) const {
    return const_cast<EditorState*>(this)->Layer(kind);
}

bool EditorState::LayerUsable(LayerKind kind) const {
    return LayerPresent(CurrentRoomHeader, kind) && !LayerRefused[static_cast<size_t>(kind)];
}

LayerVisibility EditorState::Shown() const {
    const auto shown = [](const ViewBox& box) { return LayerShown(box.Ticked, box.Enabled); };
    return {shown(Switches.ViewBack), shown(Switches.ViewLevel), shown(Switches.ViewForeground)};
}

bool EditorState::HasUnsavedChanges() const {
    return Edited || DoorsChanged(Doors) || ScrollsChanged(Scrolls);
}

RoomScene EditorState::Scene() const {
    return {ForegroundLayer, LevelLayer, BackLayer, Graphics.PicTSA, Shown()};
}

} // namespace quarnel
