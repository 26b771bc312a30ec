#include "Lz77SampleData.h"

#include <algorithm>
#include <array>
#include <random>

namespace quarnel::testing {

namespace {

using Tile = std::array<uint8_t, 32>;

uint32_t Below(std::mt19937& random, uint32_t limit) {
    return static_cast<uint32_t>(random() % limit);
}

Tile TexturedTile(std::mt19937& random) {
    std::array<uint8_t, 4> colours{};
    for (auto& colour : colours) {
        colour = static_cast<uint8_t>(Below(random, 16));
    }
    const uint32_t colourCount = 2 + Below(random, 3);
    Tile tile{};
    std::array<uint8_t, 8> row{};
    for (size_t y = 0; y < 8; ++y) {
        // Rows often repeat the one above, as in bricks, pipes and gradients.
        if (y == 0 || Below(random, 3) == 0) {
            uint8_t pixel = colours[Below(random, colourCount)];
            for (auto& value : row) {
                if (Below(random, 3) == 0) {
                    pixel = colours[Below(random, colourCount)];
                }
                value = pixel;
            }
        }
        for (size_t x = 0; x < 4; ++x) {
            tile[y * 4 + x] = static_cast<uint8_t>(row[2 * x] | row[2 * x + 1] << 4);
        }
    }
    return tile;
}

} // namespace

std::vector<uint8_t> EditorTileData(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Tile> tiles;
    std::vector<uint8_t> data;
    data.reserve(size + 32);
    while (data.size() < size) {
        Tile tile{};
        const uint32_t kind = Below(random, 20);
        if (kind < 4) {
            // blank
        } else if (kind < 7) {
            const auto colour = static_cast<uint8_t>(Below(random, 16) * 0x11);
            tile.fill(colour);
        } else if (kind < 10 && !tiles.empty()) {
            tile = tiles[tiles.size() - 1 -
                         Below(random, static_cast<uint32_t>(std::min<size_t>(tiles.size(), 200)))];
        } else {
            tile = TexturedTile(random);
        }
        tiles.push_back(tile);
        data.insert(data.end(), tile.begin(), tile.end());
    }
    data.resize(size);
    return data;
}

std::vector<uint8_t> EditorMinimapData(size_t size, uint32_t seed) {
    constexpr size_t kWidth = 32;
    constexpr uint16_t kBlank = 0x0140;
    std::mt19937 random(seed);
    const size_t entries = (size + 1) / 2;
    const size_t height = std::max<size_t>(1, (entries + kWidth - 1) / kWidth);
    std::vector<uint16_t> map(height * kWidth, kBlank);

    const uint32_t rooms = 2 + Below(random, 12);
    for (uint32_t room = 0; room < rooms; ++room) {
        const size_t x0 = Below(random, kWidth);
        const size_t y0 = Below(random, static_cast<uint32_t>(height));
        const size_t x1 = std::min(kWidth - 1, x0 + 1 + Below(random, 10));
        const size_t y1 = std::min(height - 1, y0 + 1 + Below(random, 6));
        const auto palette = static_cast<uint16_t>((1 + Below(random, 4)) << 12);
        for (size_t y = y0; y <= y1; ++y) {
            for (size_t x = x0; x <= x1; ++x) {
                const bool edgeX = x == x0 || x == x1;
                const bool edgeY = y == y0 || y == y1;
                uint16_t tile = 0x001; // floor
                if (edgeX && edgeY) {
                    tile = 0x003; // corner
                } else if (edgeX || edgeY) {
                    tile = 0x002; // wall
                }
                uint16_t flips = 0;
                if (x == x1 && edgeX) {
                    flips |= 0x0400;
                }
                if (y == y1 && edgeY) {
                    flips |= 0x0800;
                }
                if (!edgeX && !edgeY && Below(random, 12) == 0) {
                    tile = static_cast<uint16_t>(0x010 + Below(random, 8)); // item or door
                }
                map[y * kWidth + x] = static_cast<uint16_t>(palette | flips | tile);
            }
        }
    }

    std::vector<uint8_t> data;
    data.reserve(map.size() * 2);
    for (uint16_t entry : map) {
        data.push_back(static_cast<uint8_t>(entry & 0xFF));
        data.push_back(static_cast<uint8_t>(entry >> 8));
    }
    data.resize(size);
    return data;
}

} // namespace quarnel::testing
