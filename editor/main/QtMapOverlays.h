#pragma once
// What the map views draw over the room picture for the loaded room's doors and sprites, in
// picture pixels (16 a block), from the editor state.

#include "main/EditorState.h"
#include "main/PictureWidget.h"

#include <vector>

namespace quarnel {

// The trigger rectangle of every door of the room (bytes 2-5, both ends inclusive).
std::vector<MapOverlay> DoorTriggerOverlays(const EditorState& state);

// The trigger rectangles, and a captioned block for each door label ("D") and each sprite of
// the shown list ("S"): the large map shows doors and sprites without their labels.
std::vector<MapOverlay> DoorAndSpriteOverlays(const EditorState& state);

} // namespace quarnel
