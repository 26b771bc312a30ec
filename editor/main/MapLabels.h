#pragma once
// Geometry of the markers that stand on the room map (sprite and door labels): where a
// marker of a block sits, and where a dragged marker snaps to. Positions are pixels of the
// map picture, 16 pixels a block; block coordinates are the bytes the records store.

#include <cstdint>
#include <optional>

namespace quarnel {

inline constexpr int kBlockPixels = 16;

struct PixelPosition {
    int left = 0;
    int top = 0;
    bool operator==(const PixelPosition&) const = default;
};

// The marker of block (x, y) stands at pixel (16x, 16y).
constexpr PixelPosition BlockLabelPosition(uint8_t x, uint8_t y) {
    return {x * kBlockPixels, y * kBlockPixels};
}

// Where a dragged marker lands, and the block it then marks.
struct LabelSnap {
    PixelPosition position;        // the marker's new left and top, never below 0
    std::optional<uint8_t> blockX; // position / 16, when it fits a byte; otherwise the
    std::optional<uint8_t> blockY; // record keeps its old value for that coordinate
    bool operator==(const LabelSnap&) const = default;
};

// One drag step of a marker at `current` with the pointer at (`offsetX`, `offsetY`) pixels
// relative to it (outside it too, while a drag holds the mouse): the marker lands on the block
// under the pointer, left = floor((left + offsetX) / 16) * 16 and top likewise, so it follows
// the pointer block for block. A result below 0 is clamped to 0; there is no clamp at the
// right or bottom.
LabelSnap SnapLabel(PixelPosition current, int offsetX, int offsetY);

// `snap` kept on a room of `widthBlocks` x `heightBlocks` blocks: a marker past the last
// column or row stops on it, so a sprite or door is never dragged off the map, where its
// marker could no longer be grabbed. A room without blocks keeps the marker at 0.
LabelSnap KeepOnRoom(LabelSnap snap, int widthBlocks, int heightBlocks);

} // namespace quarnel
