#include "rom/RoomLayer.h"

#include <algorithm>

namespace quarnel {

RoomLayer::RoomLayer(uint8_t width, uint8_t height)
    : Width(width), Height(height),
      Grid((static_cast<size_t>(width) + 1) * (static_cast<size_t>(height) + 1), 0) {}

std::vector<int16_t> RoomLayer::StoredCells() const {
    std::vector<int16_t> cells;
    cells.reserve(static_cast<size_t>(Width) * Height);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            cells.push_back(Cell(x, y));
        }
    }
    return cells;
}

void RoomLayer::Resize(uint8_t width, uint8_t height) {
    RoomLayer resized(width, height);
    const int keepWidth = std::min(Width, width);
    const int keepHeight = std::min(Height, height);
    for (int y = 0; y <= keepHeight; ++y) {
        for (int x = 0; x <= keepWidth; ++x) {
            resized.SetCell(x, y, Cell(x, y));
        }
    }
    *this = std::move(resized);
}

} // namespace quarnel
