#pragma once
// The room picture: the back layer copied opaquely, then the level and foreground layers
// with pure black as the transparent colour, each block a 16x16 square copied out of
// PicTSA. Block value v is the square at (16 * (v % 16), 16 * (v / 16)) of PicTSA; values
// outside 0-1023 (negative cells included) draw nothing. Pictures are sized in pixels,
// layers in blocks; the clipdata layer is never drawn.

#include "graphics/Surface.h"
#include "rom/RoomLayer.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quarnel {

// Which window's picture a drawing goes to. Other values draw into no picture.
enum class DrawTarget : uint8_t { MainMap = 10, LargeMap = 20 };

// A layer is shown when its view box is ticked and enabled.
constexpr bool LayerShown(bool ticked, bool enabled) {
    return ticked && enabled;
}

// The LayerShown answers of the three view boxes.
struct LayerVisibility {
    bool Back = false;
    bool Level = false;
    bool Foreground = false;
};

// What a room picture is drawn from; the caller owns everything it refers to.
struct RoomScene {
    const RoomLayer& Foreground;
    const RoomLayer& Level;
    const RoomLayer& Back;
    const Surface& PicTSA;
    LayerVisibility Shown;
};

struct ScrollRange {
    int Maximum = 0; // in blocks; below 1 when everything fits
    bool Enabled = false;
};

// A map picture's size in pixels and the ranges of the map window's scroll bars, which can
// bring the picture's last 25 columns and 17 rows of blocks into view.
struct MapLayout {
    int Width = 0;
    int Height = 0;
    ScrollRange Horizontal;
    ScrollRange Vertical;
};

// The layout for a layer of w x h blocks: w * 16 x h * 16 pixels, so that every stored cell
// is shown (never below 0); scroll maxima w - 25 and h - 17 blocks, each bar enabled when
// its maximum is above 0.
MapLayout LayoutForBlocks(int width, int height);
// The layout that drawing the level layer gives the map picture.
MapLayout LevelLayout(const RoomLayer& level);
// The layout for a room without a level layer: the largest width and the largest height
// among the present layers (null entries are skipped).
MapLayout LargestLayerLayout(std::span<const RoomLayer* const> present);

// Draw one layer over the whole picture, row by row: the back layer opaquely, the other two
// transparently. They do not size or clear the picture.
void DrawBackLayer(Surface& picture, const RoomLayer& back, const Surface& picTsa);
void DrawLevelLayer(Surface& picture, const RoomLayer& level, const Surface& picTsa);
void DrawForegroundLayer(Surface& picture, const RoomLayer& foreground, const Surface& picTsa);

// Redraws the whole room into `picture`. When the level layer is shown, the picture first
// takes LevelLayout's size, before any layer is drawn; otherwise it keeps its size. The
// result is the picture cleared to black, then the shown back, level and foreground layers
// in that order. Returns the level layout when the level layer is shown (the window applies
// its scroll ranges), nothing otherwise. A target other than MainMap or LargeMap leaves the
// picture untouched and still returns the layout.
std::optional<MapLayout> DrawRoom(Surface& picture, DrawTarget target, const RoomScene& scene);

// Redraws the 16x16 cell (x, y), in blocks, exactly as DrawRoom would draw it: black, then
// the shown layers' blocks at that cell in order. The picture keeps its size; a cell outside
// it, or a target other than MainMap or LargeMap, does nothing. Painting one block and
// redrawing its cell gives the same pixels as painting it and running DrawRoom.
void RedrawCell(Surface& picture, DrawTarget target, const RoomScene& scene, int x, int y);

} // namespace quarnel
