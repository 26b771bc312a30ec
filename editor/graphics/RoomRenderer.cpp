#include "graphics/RoomRenderer.h"

#include <algorithm>

namespace quarnel {

namespace {

constexpr int kBlock = Surface::kBlockSize;
constexpr int kBlocksPerPicTsaRow = 16;
constexpr int kLastDrawnBlock = 1023;
constexpr int kVisibleColumns = 25;
constexpr int kVisibleRows = 17;

bool DrawsIntoPicture(DrawTarget target) {
    return target == DrawTarget::MainMap || target == DrawTarget::LargeMap;
}

bool DrawnBlock(int value) {
    return value >= 0 && value <= kLastDrawnBlock;
}

// The block value of a stored cell, or -1 when (x, y) lies outside the layer's stored cells.
int BlockAt(const RoomLayer& layer, int x, int y) {
    if (x < 0 || y < 0 || x >= layer.Width || y >= layer.Height) {
        return -1;
    }
    return layer.Cell(x, y);
}

enum class Copy { Opaque, Transparent };

void CopyCell(Surface& picture, const Surface& picTsa, int value, int x, int y, Copy copy) {
    if (!DrawnBlock(value)) {
        return;
    }
    const int sourceX = (value % kBlocksPerPicTsaRow) * kBlock;
    const int sourceY = (value / kBlocksPerPicTsaRow) * kBlock;
    if (copy == Copy::Opaque) {
        picture.CopyBlock(picTsa, sourceX, sourceY, kBlock * x, kBlock * y);
    } else {
        picture.CopyBlockTransparent(picTsa, sourceX, sourceY, kBlock * x, kBlock * y);
    }
}

void DrawLayer(Surface& picture, const RoomLayer& layer, const Surface& picTsa, Copy copy) {
    for (int y = 0; y < layer.Height; ++y) {
        for (int x = 0; x < layer.Width; ++x) {
            CopyCell(picture, picTsa, layer.Cell(x, y), x, y, copy);
        }
    }
}

// The start of block v's top row in PicTSA, for a valid block of a full-size PicTSA.
const uint32_t* BlockPixels(const Surface& picTsa, int value) {
    if (!DrawnBlock(value)) {
        return nullptr;
    }
    const auto row = picTsa.Row((value / kBlocksPerPicTsaRow) * kBlock);
    return row.data() + (value % kBlocksPerPicTsaRow) * kBlock;
}

// Lays one 16-pixel source row over a line, leaving the line where the source is black. The
// choice is made with a mask rather than a branch: with a condition per pixel, -O3 unrolls the
// loop into sixteen unpredictable branches (tiles mix black and colour at random), which ran the
// whole room picture three times slower than -O2; the mask form is vectorised at both levels.
inline void Overlay(uint32_t (&line)[kBlock], const uint32_t* from) {
    for (int k = 0; k < kBlock; ++k) {
        const uint32_t pixel = from[k];
        const uint32_t transparent = 0u - static_cast<uint32_t>(pixel == kBlack);
        line[k] = (line[k] & transparent) | (pixel & ~transparent);
    }
}

// The composition of a cell that lies wholly inside the picture, from a full-size PicTSA:
// each picture row is built once in a local line and stored, instead of being cleared and
// then overwritten by up to three block copies.
void ComposeWholeCell(Surface& picture, const Surface& picTsa, int x, int y, int back, int level,
                      int foreground) {
    const uint32_t* backPixels = BlockPixels(picTsa, back);
    const uint32_t* levelPixels = BlockPixels(picTsa, level);
    const uint32_t* foregroundPixels = BlockPixels(picTsa, foreground);
    const auto stride = static_cast<size_t>(picTsa.Width());
    for (int row = 0; row < kBlock; ++row) {
        const size_t at = stride * static_cast<size_t>(row);
        uint32_t line[kBlock];
        if (backPixels != nullptr) {
            std::copy_n(backPixels + at, kBlock, line);
        } else {
            std::fill_n(line, kBlock, kBlack);
        }
        if (levelPixels != nullptr) {
            Overlay(line, levelPixels + at);
        }
        if (foregroundPixels != nullptr) {
            Overlay(line, foregroundPixels + at);
        }
        std::copy_n(line, kBlock, picture.Row(kBlock * y + row).data() + kBlock * x);
    }
}

// One cell of the composition: black, then the shown layers' blocks at the cell. Every
// layer's block at a cell covers only that cell, so composing cell by cell gives the same
// pixels as drawing layer after layer, while each picture pixel is written once.
void ComposeCell(Surface& picture, const RoomScene& scene, int x, int y) {
    const int back = scene.Shown.Back ? BlockAt(scene.Back, x, y) : -1;
    const int level = scene.Shown.Level ? BlockAt(scene.Level, x, y) : -1;
    const int foreground = scene.Shown.Foreground ? BlockAt(scene.Foreground, x, y) : -1;
    const bool wholeCell =
        kBlock * (x + 1) <= picture.Width() && kBlock * (y + 1) <= picture.Height();
    const bool fullPicTsa =
        scene.PicTSA.Width() >= kBlocksPerPicTsaRow * kBlock &&
        scene.PicTSA.Height() >= (kLastDrawnBlock / kBlocksPerPicTsaRow + 1) * kBlock;
    if (wholeCell && fullPicTsa) {
        ComposeWholeCell(picture, scene.PicTSA, x, y, back, level, foreground);
        return;
    }
    picture.ClearBlock(kBlock * x, kBlock * y);
    CopyCell(picture, scene.PicTSA, back, x, y, Copy::Opaque);
    CopyCell(picture, scene.PicTSA, level, x, y, Copy::Transparent);
    CopyCell(picture, scene.PicTSA, foreground, x, y, Copy::Transparent);
}

int CellsAcross(int pixels) {
    return (pixels + kBlock - 1) / kBlock;
}

} // namespace

MapLayout LayoutForBlocks(int width, int height) {
    MapLayout layout;
    layout.Width = std::max(0, width * kBlock);
    layout.Height = std::max(0, height * kBlock);
    layout.Horizontal.Maximum = layout.Width / kBlock - kVisibleColumns;
    layout.Vertical.Maximum = layout.Height / kBlock - kVisibleRows;
    layout.Horizontal.Enabled = layout.Horizontal.Maximum > 0;
    layout.Vertical.Enabled = layout.Vertical.Maximum > 0;
    return layout;
}

MapLayout LevelLayout(const RoomLayer& level) {
    return LayoutForBlocks(level.Width, level.Height);
}

MapLayout LargestLayerLayout(std::span<const RoomLayer* const> present) {
    int width = 0;
    int height = 0;
    for (const RoomLayer* layer : present) {
        if (layer != nullptr) {
            width = std::max<int>(width, layer->Width);
            height = std::max<int>(height, layer->Height);
        }
    }
    return LayoutForBlocks(width, height);
}

void DrawBackLayer(Surface& picture, const RoomLayer& back, const Surface& picTsa) {
    DrawLayer(picture, back, picTsa, Copy::Opaque);
}

void DrawLevelLayer(Surface& picture, const RoomLayer& level, const Surface& picTsa) {
    DrawLayer(picture, level, picTsa, Copy::Transparent);
}

void DrawForegroundLayer(Surface& picture, const RoomLayer& foreground, const Surface& picTsa) {
    DrawLayer(picture, foreground, picTsa, Copy::Transparent);
}

std::optional<MapLayout> DrawRoom(Surface& picture, DrawTarget target, const RoomScene& scene) {
    std::optional<MapLayout> layout;
    if (scene.Shown.Level) {
        layout = LevelLayout(scene.Level);
    }
    if (!DrawsIntoPicture(target)) {
        return layout;
    }
    // Sizing comes first, so that no layer is clipped to the previous room's size. Every
    // cell is cleared as it is composed, so a picture that keeps its size needs no clear.
    if (layout && (layout->Width != picture.Width() || layout->Height != picture.Height())) {
        picture.Resize(layout->Width, layout->Height);
    }
    const int rows = CellsAcross(picture.Height());
    const int columns = CellsAcross(picture.Width());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            ComposeCell(picture, scene, x, y);
        }
    }
    return layout;
}

void RedrawCell(Surface& picture, DrawTarget target, const RoomScene& scene, int x, int y) {
    if (!DrawsIntoPicture(target) || x < 0 || y < 0 || x >= CellsAcross(picture.Width()) ||
        y >= CellsAcross(picture.Height())) {
        return;
    }
    ComposeCell(picture, scene, x, y);
}

} // namespace quarnel
