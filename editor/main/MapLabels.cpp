#include "main/MapLabels.h"

#include <algorithm>
#include <limits>

namespace quarnel {

namespace {

// The largest block-aligned pixel coordinate an int holds.
constexpr int64_t kLargestAligned =
    std::numeric_limits<int>::max() / kBlockPixels * int64_t{kBlockPixels};

// Rounds (position + offset) down to a block edge, in 64 bits so no input overflows.
int SnapCoordinate(int position, int offset) {
    const int64_t point = int64_t{position} + offset;
    int64_t block = point / kBlockPixels;
    if (point % kBlockPixels < 0) {
        block -= 1; // floor, not truncation, for points left of or above the map
    }
    return static_cast<int>(std::clamp<int64_t>(block * kBlockPixels, 0, kLargestAligned));
}

std::optional<uint8_t> BlockOf(int pixels) {
    const int block = pixels / kBlockPixels;
    if (block > std::numeric_limits<uint8_t>::max()) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(block);
}

} // namespace

LabelSnap SnapLabel(PixelPosition current, int offsetX, int offsetY) {
    LabelSnap snap;
    snap.position = {SnapCoordinate(current.left, offsetX), SnapCoordinate(current.top, offsetY)};
    snap.blockX = BlockOf(snap.position.left);
    snap.blockY = BlockOf(snap.position.top);
    return snap;
}

LabelSnap KeepOnRoom(LabelSnap snap, int widthBlocks, int heightBlocks) {
    const auto keep = [](int pixels, int blocks) {
        return std::min(pixels, std::max(blocks - 1, 0) * kBlockPixels);
    };
    snap.position = {keep(snap.position.left, widthBlocks), keep(snap.position.top, heightBlocks)};
    snap.blockX = BlockOf(snap.position.left);
    snap.blockY = BlockOf(snap.position.top);
    return snap;
}

} // namespace quarnel
