#include "graphics/Surface.h"

#include <algorithm>
#include <cstring>

namespace quarnel {

namespace {

// The part of a 16x16 copy that lies inside both surfaces, as offsets into the square:
// columns [left, right) and rows [top, bottom).
struct BlockClip {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    bool Empty() const { return left >= right || top >= bottom; }
};

// Clips one axis: offsets k in [0, 16) with 0 <= from + k < fromSize and 0 <= to + k < toSize.
// Works in 64 bits so that no coordinate can overflow.
void ClipAxis(int64_t from, int64_t fromSize, int64_t to, int64_t toSize, int& first, int& last) {
    const int64_t low = std::max({int64_t{0}, -from, -to});
    const int64_t high = std::min({int64_t{Surface::kBlockSize}, fromSize - from, toSize - to});
    first = static_cast<int>(std::clamp<int64_t>(low, 0, Surface::kBlockSize));
    last = static_cast<int>(std::clamp<int64_t>(high, 0, Surface::kBlockSize));
}

BlockClip ClipBlock(int sourceWidth, int sourceHeight, int sourceX, int sourceY, int width,
                    int height, int x, int y) {
    BlockClip clip;
    ClipAxis(sourceX, sourceWidth, x, width, clip.left, clip.right);
    ClipAxis(sourceY, sourceHeight, y, height, clip.top, clip.bottom);
    return clip;
}

// One row of a transparent copy. The full-width form has a fixed trip count and restrict
// pointers so that the compiler turns it into a few vector selects.
inline void BlendRow16(uint32_t* __restrict to, const uint32_t* __restrict from) {
    for (int k = 0; k < Surface::kBlockSize; ++k) {
        const uint32_t pixel = from[k];
        to[k] = pixel == kBlack ? to[k] : pixel;
    }
}

inline void BlendRow(uint32_t* to, const uint32_t* from, int count) {
    for (int k = 0; k < count; ++k) {
        if (from[k] != kBlack) {
            to[k] = from[k];
        }
    }
}

} // namespace

Surface::Surface(int width, int height) {
    Resize(width, height);
}

void Surface::Resize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(Width0() * static_cast<size_t>(m_height), kBlack);
}

void Surface::Clear() {
    std::fill(m_pixels.begin(), m_pixels.end(), kBlack);
}

void Surface::CopyBlock(const Surface& source, int sourceX, int sourceY, int x, int y) {
    const BlockClip clip =
        ClipBlock(source.m_width, source.m_height, sourceX, sourceY, m_width, m_height, x, y);
    if (clip.Empty()) {
        return;
    }
    const size_t count = static_cast<size_t>(clip.right - clip.left);
    for (int row = clip.top; row < clip.bottom; ++row) {
        const uint32_t* from = &source.m_pixels[source.Index(sourceX + clip.left, sourceY + row)];
        uint32_t* to = &m_pixels[Index(x + clip.left, y + row)];
        std::memmove(to, from, count * sizeof(uint32_t));
    }
}

void Surface::CopyBlockTransparent(const Surface& source, int sourceX, int sourceY, int x, int y) {
    const BlockClip clip =
        ClipBlock(source.m_width, source.m_height, sourceX, sourceY, m_width, m_height, x, y);
    if (clip.Empty()) {
        return;
    }
    const int count = clip.right - clip.left;
    // Within one surface rows may overlap, so only distinct surfaces take the fast form.
    const bool fast = count == kBlockSize && &source != this;
    for (int row = clip.top; row < clip.bottom; ++row) {
        const uint32_t* from = &source.m_pixels[source.Index(sourceX + clip.left, sourceY + row)];
        uint32_t* to = &m_pixels[Index(x + clip.left, y + row)];
        if (fast) {
            BlendRow16(to, from);
        } else {
            BlendRow(to, from, count);
        }
    }
}

void Surface::ClearBlock(int x, int y) {
    const BlockClip clip = ClipBlock(kBlockSize, kBlockSize, 0, 0, m_width, m_height, x, y);
    if (clip.Empty()) {
        return;
    }
    const size_t count = static_cast<size_t>(clip.right - clip.left);
    for (int row = clip.top; row < clip.bottom; ++row) {
        uint32_t* to = &m_pixels[Index(x + clip.left, y + row)];
        std::fill_n(to, count, kBlack);
    }
}

} // namespace quarnel
