#pragma once
// RoomLayer: one layer of a room in memory. Width and Height are in blocks (1-255 for a
// stored layer); cells are 16-bit, addressed (x, y) with x <= Width and y <= Height, so
// there is one spare column and one spare row beyond the cells that are stored.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel {

struct RoomLayer {
    uint8_t Width = 0;
    uint8_t Height = 0;
    // (Width + 1) x (Height + 1) cells, row by row; cell (x, y) at y * (Width + 1) + x.
    std::vector<int16_t> Grid = std::vector<int16_t>(1, 0);

    RoomLayer() = default;
    RoomLayer(uint8_t width, uint8_t height);

    // Cell addressing; callers keep x <= Width and y <= Height (see Contains).
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x <= Width && y <= Height; }
    // Whether (x, y) is one of the stored cells, the ones the map shows and edits.
    bool IsStored(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
    int16_t Cell(int x, int y) const { return Grid[Index(x, y)]; }
    void SetCell(int x, int y, int16_t value) { Grid[Index(x, y)] = value; }

    // The stored cells only (x < Width, y < Height), row-major: what the ROM holds.
    std::vector<int16_t> StoredCells() const;

    // New size, keeping every cell that exists both before and after; new cells are 0.
    void Resize(uint8_t width, uint8_t height);

    bool operator==(const RoomLayer&) const = default;

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * (static_cast<std::size_t>(Width) + 1) +
               static_cast<std::size_t>(x);
    }
};

} // namespace quarnel
