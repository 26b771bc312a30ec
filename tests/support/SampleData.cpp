#include "SampleData.h"

#include "TestRandom.h"

#include <array>

namespace quarnel::testing {

namespace {

using Random = TestRandom;

constexpr size_t kTileBytes = 32;
constexpr size_t kTileSide = 8;
using Tile = std::array<uint8_t, kTileBytes>;
using Pixels = std::array<std::array<uint8_t, kTileSide>, kTileSide>;

Tile Pack(const Pixels& pixels) {
    Tile tile{};
    for (size_t y = 0; y < kTileSide; ++y) {
        for (size_t x = 0; x < kTileSide; x += 2) {
            tile[y * 4 + x / 2] = static_cast<uint8_t>(pixels[y][x] | (pixels[y][x + 1] << 4));
        }
    }
    return tile;
}

Tile MirroredTile(const Tile& tile) {
    Tile mirrored{};
    for (size_t y = 0; y < kTileSide; ++y) {
        for (size_t b = 0; b < 4; ++b) {
            const uint8_t byte = tile[y * 4 + 3 - b];
            mirrored[y * 4 + b] = static_cast<uint8_t>((byte >> 4) | (byte << 4));
        }
    }
    return mirrored;
}

// A fresh tile: blank, solid, striped or a coherent texture over two to four colours.
Tile NewTile(Random& random) {
    Pixels pixels{};
    const uint32_t kind = random.Below(100);
    if (kind < 20) {
        return Tile{};
    }
    if (kind < 30) {
        const auto colour = static_cast<uint8_t>(random.Below(16));
        for (auto& row : pixels) {
            row.fill(colour);
        }
        return Pack(pixels);
    }
    std::array<uint8_t, 4> palette{};
    for (auto& colour : palette) {
        colour = static_cast<uint8_t>(random.Below(16));
    }
    const uint32_t colours = 2 + random.Below(3);
    if (kind < 45) {
        for (auto& row : pixels) {
            row.fill(palette[random.Below(colours)]);
        }
        return Pack(pixels);
    }
    uint8_t pixel = palette[0];
    for (size_t y = 0; y < kTileSide; ++y) {
        if (y > 0 && random.Chance(35)) {
            pixels[y] = pixels[y - 1];
            continue;
        }
        for (size_t x = 0; x < kTileSide; ++x) {
            if (!random.Chance(70)) {
                pixel = palette[random.Below(colours)];
            }
            pixels[y][x] = pixel;
        }
    }
    return Pack(pixels);
}

} // namespace

std::vector<uint8_t> TileLikeData(size_t size, uint32_t seed) {
    Random random(seed);
    std::vector<Tile> drawn;
    std::vector<uint8_t> data;
    data.reserve(size + kTileBytes);
    while (data.size() < size) {
        Tile tile;
        const uint32_t choice = random.Below(100);
        if (!drawn.empty() && choice < 30) {
            tile = drawn[random.Below(static_cast<uint32_t>(drawn.size()))];
        } else if (!drawn.empty() && choice < 38) {
            tile = MirroredTile(drawn[random.Below(static_cast<uint32_t>(drawn.size()))]);
        } else {
            tile = NewTile(random);
        }
        drawn.push_back(tile);
        data.insert(data.end(), tile.begin(), tile.end());
    }
    data.resize(size);
    return data;
}

std::vector<uint8_t> MinimapLikeData(size_t size, uint32_t seed) {
    Random random(seed);
    constexpr size_t kWidth = 32;
    const size_t entries = (size + 1) / 2;
    const size_t height = (entries + kWidth - 1) / kWidth;
    constexpr uint16_t kBackground = 0x0140;
    std::vector<uint16_t> map(height * kWidth, kBackground);

    const auto entry = [](uint32_t tile, uint32_t flips, uint32_t palette) {
        return static_cast<uint16_t>((tile & 0x3FF) | (flips & 3) << 10 | (palette & 0xF) << 12);
    };
    // Rooms: rectangles with a border of edge and corner tiles around a filled inside.
    const size_t rooms = 1 + height / 3;
    for (size_t r = 0; r < rooms && height > 0; ++r) {
        const uint32_t palette = 1 + random.Below(4);
        const uint32_t inside = 0x20 + random.Below(4);
        const size_t w = 1 + random.Below(10);
        const size_t h = 1 + random.Below(6);
        const size_t x0 = random.Below(static_cast<uint32_t>(kWidth));
        const size_t y0 = random.Below(static_cast<uint32_t>(height));
        for (size_t y = y0; y < y0 + h && y < height; ++y) {
            for (size_t x = x0; x < x0 + w && x < kWidth; ++x) {
                const bool left = x == x0;
                const bool right = x + 1 == x0 + w;
                const bool top = y == y0;
                const bool bottom = y + 1 == y0 + h;
                uint32_t tile = inside;
                uint32_t flips = (right ? 1u : 0u) | (bottom ? 2u : 0u);
                if ((left || right) && (top || bottom)) {
                    tile = 0x10;
                } else if (left || right) {
                    tile = 0x11;
                } else if (top || bottom) {
                    tile = 0x12;
                } else {
                    flips = 0;
                }
                map[y * kWidth + x] = entry(tile, flips, palette);
            }
        }
        // Now and then an item or a door icon inside.
        if (random.Chance(40)) {
            const size_t x = x0 + random.Below(static_cast<uint32_t>(w));
            const size_t y = y0 + random.Below(static_cast<uint32_t>(h));
            if (x < kWidth && y < height) {
                map[y * kWidth + x] = entry(0x40 + random.Below(8), 0, palette);
            }
        }
    }
    std::vector<uint8_t> data;
    data.reserve(map.size() * 2);
    for (const uint16_t value : map) {
        data.push_back(static_cast<uint8_t>(value & 0xFF));
        data.push_back(static_cast<uint8_t>(value >> 8));
    }
    data.resize(size);
    return data;
}

} // namespace quarnel::testing
