#include "main/QtMapOverlays.h"

namespace quarnel {

namespace {

const QColor kDoorPen(90, 150, 255);
const QColor kDoorFill(40, 90, 220, 60);
const QColor kSpritePen(255, 120, 120);
const QColor kSpriteFill(200, 40, 40, 160);

QRect BlockRectPixels(const BlockRect& blocks) {
    return {16 * blocks.left, 16 * blocks.top, 16 * (blocks.right - blocks.left + 1),
            16 * (blocks.bottom - blocks.top + 1)};
}

} // namespace

std::vector<MapOverlay> DoorTriggerOverlays(const EditorState& state) {
    std::vector<MapOverlay> overlays;
    const DoorState& doors = state.Doors;
    for (size_t k = 0; k < doors.RoomDoorCount; ++k) {
        if (const auto door = DoorIndexOfLabel(doors, k)) {
            overlays.push_back(
                {BlockRectPixels(DoorTrigger(doors.AreaDoors[*door])), kDoorPen, kDoorFill, {}});
        }
    }
    return overlays;
}

std::vector<MapOverlay> DoorAndSpriteOverlays(const EditorState& state) {
    std::vector<MapOverlay> overlays = DoorTriggerOverlays(state);
    const DoorState& doors = state.Doors;
    for (size_t k = 0; k < doors.RoomDoorCount; ++k) {
        if (const auto door = DoorIndexOfLabel(doors, k)) {
            const PixelPosition at = DoorLabelPosition(doors.AreaDoors[*door]);
            overlays.push_back({QRect(at.left, at.top, 16, 16), Qt::white, QColor(40, 90, 220, 200),
                                QStringLiteral("D")});
        }
    }
    for (const SpritePlacement& sprite : state.Sprites.List(state.ShownSpriteList)) {
        const PixelPosition at = SpriteLabelPosition(sprite);
        overlays.push_back(
            {QRect(at.left, at.top, 16, 16), kSpritePen, kSpriteFill, QStringLiteral("S")});
    }
    return overlays;
}

} // namespace quarnel
