#include "graphics/Gba.h"

#include <algorithm>

namespace quarnel {

void ConvertPalette(std::span<const uint16_t> source, std::span<uint32_t> target, int lastIndex,
                    int lastRow) {
    const int indexes = std::min(lastIndex, kRowColours - 1);
    const int rows = std::min(lastRow, kPaletteRows - 1);
    for (int row = 0; row <= rows; ++row) {
        for (int index = 0; index <= indexes; ++index) {
            const size_t entry = static_cast<size_t>(kRowColours * row + index);
            if (entry < source.size() && entry < target.size()) {
                target[entry] = PixelFromGbaColour(source[entry]);
            }
        }
    }
}

void DrawTile8(Surface& surface, TileEntry entry, int x, int y, std::span<const uint8_t> tiles,
               std::span<const uint32_t> colours) {
    const size_t first = size_t{entry.Tile()} * kTileBytes;
    const size_t rowAt = size_t{entry.PaletteRow()} * kRowColours;
    if (first + kTileBytes > tiles.size() || rowAt + kRowColours > colours.size()) {
        return;
    }
    // A tile wholly outside draws nothing; returning early also keeps x + 7 from overflowing.
    if (x <= -kTileSize || y <= -kTileSize || x >= surface.Width() || y >= surface.Height()) {
        return;
    }
    const auto tile = tiles.subspan(first, kTileBytes);
    const auto row = colours.subspan(rowAt, kRowColours);
    const bool hflip = entry.HFlip();
    const bool vflip = entry.VFlip();
    // A tile wholly inside the surface is written through its rows; one that crosses an edge
    // goes pixel by pixel through the clipped SetPixel.
    const bool inside =
        x >= 0 && y >= 0 && x <= surface.Width() - kTileSize && y <= surface.Height() - kTileSize;
    for (int p = 0; p < static_cast<int>(kTileBytes); ++p) {
        const uint8_t byte = tile[static_cast<size_t>(p)];
        if (byte == 0) {
            continue;
        }
        int x0 = (2 * p) % kTileSize;
        int x1 = x0 + 1;
        int py = p / 4;
        if (hflip) {
            x0 = kTileSize - 1 - x0;
            x1 = kTileSize - 1 - x1;
        }
        if (vflip) {
            py = kTileSize - 1 - py;
        }
        const unsigned low = byte & 0x0Fu;
        const unsigned high = byte >> 4;
        if (inside) {
            const auto line = surface.Row(y + py).subspan(static_cast<size_t>(x));
            if (low != 0) {
                line[static_cast<size_t>(x0)] = row[low];
            }
            if (high != 0) {
                line[static_cast<size_t>(x1)] = row[high];
            }
        } else {
            if (low != 0) {
                surface.SetPixel(x + x0, y + py, row[low]);
            }
            if (high != 0) {
                surface.SetPixel(x + x1, y + py, row[high]);
            }
        }
    }
}

} // namespace quarnel
