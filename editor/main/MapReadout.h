#pragma once
// What the map view tells about the room beyond its picture: the status line for the block
// under the pointer, the fixed colour of each clip value in the clipdata overlay, and the
// legend of the clip values a room uses. Plain data, shared by the window and the command line.

#include "main/EditorState.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarnel {

// The overlay colour of clip value `value` as 0xAARRGGBB: a translucent colour from a fixed
// table, the same for a value in every room and every game. Air (0) has no colour (alpha 0).
uint32_t ClipOverlayColour(uint8_t value);

// One line of the clipdata legend: a value the room's clipdata holds, its colour, how many
// cells hold it and its name from the clip name list.
struct ClipLegendEntry {
    uint8_t Value = 0;
    uint32_t Colour = 0;
    size_t Cells = 0;
    std::string Name;
};

// The clip values held by the stored cells of `clip`, in ascending order, named by entry
// `value` of `names` (a "<hex> - ????????" placeholder where the list is short).
std::vector<ClipLegendEntry> ClipLegend(const RoomLayer& clip,
                                        const std::vector<std::string>& names);

// The status line for block (x, y): its position in decimal and hexadecimal, the value of
// each tile layer there ("-" where a layer has no such cell) and the clip value's name, e.g.
// "X 12 (0C), Y 5 (05)   Level 041   Foreground 000   Back 1A0   Clip: 10 - Solid".
// Empty when the block lies outside every layer of the room.
std::string PointerReadout(const EditorState& state, int x, int y,
                           const std::vector<std::string>& clipNames);

} // namespace quarnel
