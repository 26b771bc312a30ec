#pragma once
// Surface: a persistent picture in memory that keeps its pixels between paints. Pixels are
// 0xFFRRGGBB words, row-major with a stride of Width() pixels, so a window can show them as a
// 32-bit RGB image without copying. Coordinates and sizes are in pixels; every write is
// clipped to the surface, so no call can touch memory outside it.

#include <cstdint>
#include <span>
#include <vector>

namespace quarnel {

// Pure black: the colour of a cleared surface and the one colour a transparent copy skips.
inline constexpr uint32_t kBlack = 0xFF000000;

// The pixel word of an 8-bit-per-component colour, and its components.
constexpr uint32_t MakePixel(uint32_t red, uint32_t green, uint32_t blue) {
    return 0xFF000000u | ((red & 0xFF) << 16) | ((green & 0xFF) << 8) | (blue & 0xFF);
}
constexpr uint8_t RedOf(uint32_t pixel) {
    return static_cast<uint8_t>((pixel >> 16) & 0xFF);
}
constexpr uint8_t GreenOf(uint32_t pixel) {
    return static_cast<uint8_t>((pixel >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(uint32_t pixel) {
    return static_cast<uint8_t>(pixel & 0xFF);
}

class Surface {
public:
    static constexpr int kBlockSize = 16; // the side of a block copy, in pixels

    Surface() = default;
    Surface(int width, int height); // black; negative sizes count as 0

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // New size with every pixel black (also when the size does not change).
    void Resize(int width, int height);
    // Every pixel black.
    void Clear();

    // Sets one pixel; a position outside the surface changes nothing.
    void SetPixel(int x, int y, uint32_t colour) {
        if (Contains(x, y)) {
            m_pixels[Index(x, y)] = colour;
        }
    }
    // The pixel at (x, y); black outside the surface.
    uint32_t Pixel(int x, int y) const { return Contains(x, y) ? m_pixels[Index(x, y)] : kBlack; }

    // All pixels, row after row (Width() * Height() words).
    std::span<const uint32_t> Pixels() const { return m_pixels; }
    std::span<uint32_t> Pixels() { return m_pixels; }
    // Row y (Width() words); callers keep 0 <= y < Height().
    std::span<uint32_t> Row(int y) { return std::span(m_pixels).subspan(Index(0, y), Width0()); }
    std::span<const uint32_t> Row(int y) const {
        return std::span(m_pixels).subspan(Index(0, y), Width0());
    }

    // Copies the 16x16 square at (sourceX, sourceY) of `source` to (x, y) of this surface.
    // Only pixels that lie inside both surfaces are copied.
    void CopyBlock(const Surface& source, int sourceX, int sourceY, int x, int y);
    // The same, leaving every destination pixel whose source pixel is pure black (kBlack)
    // as it was.
    void CopyBlockTransparent(const Surface& source, int sourceX, int sourceY, int x, int y);
    // Sets the 16x16 square at (x, y) to black, clipped to the surface.
    void ClearBlock(int x, int y);

private:
    size_t Width0() const { return static_cast<size_t>(m_width); }
    size_t Index(int x, int y) const {
        return static_cast<size_t>(y) * Width0() + static_cast<size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

} // namespace quarnel
