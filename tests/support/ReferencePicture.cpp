#include "ReferencePicture.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quarnel::testing {

namespace {

constexpr uint32_t kBlack = 0xFF000000;

uint32_t Convert(uint16_t colour) {
    const uint32_t r = (colour & 31u) * 8;
    const uint32_t g = ((colour >> 5) & 31u) * 8;
    const uint32_t b = ((colour >> 10) & 31u) * 8;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Tiles, colours and blocks as the editor holds them after a sequence of tileset loads.
struct Graphics {
    std::array<uint8_t, 26880> tiles{};
    std::array<uint32_t, 256> colours{};
    const std::vector<uint16_t>* blocks = nullptr;
};

void LoadTilesetInto(const SyntheticRom& rom, int area, int number, Graphics& graphics) {
    if (number < 0 || static_cast<size_t>(number) >= rom.tilesets.size()) {
        return; // beyond the real records: the editor keeps the previous tileset
    }
    const auto& record = rom.tilesets[static_cast<size_t>(number)];
    const auto& art = rom.tilesetArt[record.art];
    const auto& palette = rom.tilesetPalettes[record.palette].colours;
    std::array<uint16_t, 512> entries{};
    for (size_t i = 0; i < palette.size() && 32 + i < entries.size(); ++i) {
        entries[32 + i] = palette[i];
    }
    // Animated slots: frame 0 of each slot up to the first empty triple; the slots behind it
    // are transparent.
    const auto& triples = rom.animatedTilesets[record.animation & 0xFF];
    bool ended = false;
    for (size_t slot = 0; slot < 16; ++slot) {
        const uint8_t g = triples[3 * slot];
        ended = ended || g == 0;
        const auto at = graphics.tiles.begin() + static_cast<long>(128 * slot);
        if (ended) {
            std::fill_n(at, 128, uint8_t{0});
        } else {
            std::copy_n(rom.animatedGraphics[g].frames.begin(), 128, at);
        }
    }
    std::copy(art.tiles.begin(), art.tiles.end(), graphics.tiles.begin() + 6144);
    const bool lastZmArea = rom.game == Game::ZM && area == 6;
    const auto& common = lastZmArea ? rom.commonTilesLastArea : rom.commonTiles;
    std::copy_n(common.begin(), 4096, graphics.tiles.begin() + 2048);
    entries[0] = 0;
    for (size_t i = 0; i < rom.commonPalette.size(); ++i) {
        entries[1 + i] = rom.commonPalette[i];
    }
    for (size_t i = 0; i < 256; ++i) {
        graphics.colours[i] = Convert(entries[i]);
    }
    graphics.blocks = &art.blockTable;
}

// The pixel of block `block` at (px, py) inside it, as the tileset picture holds it.
uint32_t BlockPixel(const Graphics& graphics, int block, int px, int py) {
    const auto& words = *graphics.blocks;
    const size_t word = 1 + 4 * static_cast<size_t>(block) + 2 * (py / 8) + (px / 8);
    const uint16_t entry = words[word];
    const int tile = entry & 0x3FF;
    if (tile >= 840) {
        return kBlack;
    }
    int x = px % 8;
    int y = py % 8;
    if (entry & 0x400) {
        x = 7 - x;
    }
    if (entry & 0x800) {
        y = 7 - y;
    }
    const uint8_t byte = graphics.tiles[32 * static_cast<size_t>(tile) + 4 * y + x / 2];
    const int index = x % 2 == 0 ? byte & 0xF : byte >> 4;
    return index == 0 ? kBlack : graphics.colours[16 * (entry >> 12) + static_cast<size_t>(index)];
}

int TilesetOf(const SyntheticRom& rom, int area, int room) {
    return rom.areas[static_cast<size_t>(area)].rooms[static_cast<size_t>(room)].header.Tileset;
}

} // namespace

ReferenceImage ReferenceRoomPicture(const SyntheticRom& rom, int area, int room,
                                    ShownLayers shown) {
    Graphics graphics;
    LoadTilesetInto(rom, 0, TilesetOf(rom, 0, 0), graphics);
    LoadTilesetInto(rom, area, TilesetOf(rom, area, 0), graphics);
    LoadTilesetInto(rom, area, TilesetOf(rom, area, room), graphics);

    const auto& built = rom.areas[static_cast<size_t>(area)].rooms[static_cast<size_t>(room)];
    int widthBlocks = 0;
    int heightBlocks = 0;
    if (built.level) {
        widthBlocks = built.level->Width;
        heightBlocks = built.level->Height;
    } else {
        for (const auto* layer : {&built.foreground, &built.back}) {
            if (*layer) {
                widthBlocks = std::max<int>(widthBlocks, (*layer)->Width);
                heightBlocks = std::max<int>(heightBlocks, (*layer)->Height);
            }
        }
    }
    ReferenceImage image;
    image.width = std::max(0, widthBlocks * 16);
    image.height = std::max(0, heightBlocks * 16);
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
                        kBlack);

    const auto drawLayer = [&](const std::optional<RoomLayer>& layer, bool transparent) {
        if (!layer) {
            return;
        }
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (x / 16 >= layer->Width || y / 16 >= layer->Height) {
                    continue;
                }
                const int block = static_cast<uint16_t>(layer->Cell(x / 16, y / 16));
                if (block > 1023) {
                    continue;
                }
                const uint32_t pixel = BlockPixel(graphics, block, x % 16, y % 16);
                if (transparent && pixel == kBlack) {
                    continue;
                }
                image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) +
                             static_cast<size_t>(x)] = pixel;
            }
        }
    };
    if (shown.back) {
        drawLayer(built.back, false);
    }
    if (shown.level) {
        drawLayer(built.level, true);
    }
    if (shown.foreground) {
        drawLayer(built.foreground, true);
    }
    return image;
}

} // namespace quarnel::testing
