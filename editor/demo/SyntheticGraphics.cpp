// Writes the graphics of a synthetic image: tileset records with their tiles, palettes,
// block tables and backdrops; the animated tile tables; the common tiles and palettes; and
// ZM's minimaps.

#include "common/ByteOrder.h"
#include "demo/SyntheticArt.h"
#include "demo/SyntheticAssembly.h"
#include "demo/SyntheticEncoders.h"
#include "demo/SyntheticRandom.h"
#include "rom/GameTables.h"

#include <map>
#include <string>

namespace quarnel::synthetic {

namespace {

std::vector<uint8_t> WordBytes(std::span<const uint16_t> words) {
    std::vector<uint8_t> bytes(words.size() * 2);
    for (size_t i = 0; i < words.size(); ++i) {
        StoreLe16(bytes, 2 * i, words[i]);
    }
    return bytes;
}

void WriteTilesets(Image& image, const WorldPlan& world, SyntheticRom& rom) {
    const GameLayout& layout = *LayoutOf(rom.game);
    std::map<size_t, size_t> artOfTheme;
    std::map<std::pair<size_t, int>, size_t> paletteOf;
    std::map<size_t, uint32_t> backdropOf;
    for (size_t t = 0; t < world.tilesets.size(); ++t) {
        const TilesetPlan& plan = world.tilesets[t];
        if (!artOfTheme.contains(plan.theme)) {
            TilesetArt art =
                PaintTilesetArt(plan.theme, Hash(rom.seed, static_cast<uint32_t>(plan.theme), 77));
            const std::string name = "tileset art " + std::to_string(plan.theme);
            SyntheticTilesetArt described;
            described.graphicsOffset = image.Place(EncodeLz77(art.tiles), name + " tiles");
            described.blockTableOffset =
                image.Place(WordBytes(art.blockTable), name + " block table");
            backdropOf[plan.theme] = image.Place(EncodeLz77(art.backdrop), name + " backdrop");
            described.tiles = std::move(art.tiles);
            described.blockTable = std::move(art.blockTable);
            artOfTheme[plan.theme] = rom.tilesetArt.size();
            rom.tilesetArt.push_back(std::move(described));
        }
        const auto paletteKey = std::make_pair(plan.theme, plan.variant);
        if (!paletteOf.contains(paletteKey)) {
            SyntheticPalette palette;
            palette.colours = PaintTilesetPalette(plan.theme, plan.variant);
            palette.offset =
                image.Place(WordBytes(palette.colours), "tileset palette " + std::to_string(t));
            paletteOf[paletteKey] = rom.tilesetPalettes.size();
            rom.tilesetPalettes.push_back(std::move(palette));
        }
        SyntheticTileset record{};
        record.art = artOfTheme[plan.theme];
        record.palette = paletteOf[paletteKey];
        record.graphicsPointer = Pointer(rom.tilesetArt[record.art].graphicsOffset);
        record.palettePointer = Pointer(rom.tilesetPalettes[record.palette].offset);
        record.thirdPointer = Pointer(backdropOf[plan.theme]);
        record.blockTablePointer = Pointer(rom.tilesetArt[record.art].blockTableOffset);
        record.animation = plan.animationField;
        const uint32_t at = layout.tilesetTable + static_cast<uint32_t>(t) * kTilesetRecordSize;
        image.Write32(at, record.graphicsPointer);
        image.Write32(at + 4, record.palettePointer);
        image.Write32(at + 8, record.thirdPointer);
        image.Write32(at + 12, record.blockTablePointer);
        image.Write32(at + 16, record.animation);
        rom.tilesets.push_back(record);
    }
}

void WriteAnimations(Image& image, SyntheticRom& rom) {
    const GameLayout& layout = *LayoutOf(rom.game);
    const auto& graphics = AnimatedGraphicsPlans();
    for (size_t g = 0; g < graphics.size(); ++g) {
        const AnimatedGraphicsPlan& plan = graphics[g];
        SyntheticAnimatedGraphics described;
        described.frames = PaintAnimationFrames(plan.motion, plan.frames,
                                                Hash(rom.seed, static_cast<uint32_t>(g)));
        const uint32_t frames =
            image.Place(described.frames, "animated graphics " + std::to_string(g));
        described.record = {plan.type, plan.delay, plan.frames, 0};
        StoreLe32(described.record, 4, Pointer(frames));
        image.Write(layout.animatedGraphicsTable +
                        static_cast<uint32_t>(g) * kAnimatedGraphicsRecordSize,
                    described.record);
        rom.animatedGraphics.push_back(std::move(described));
    }
    const auto& tilesets = AnimatedTilesetPlans();
    for (size_t n = 0; n < tilesets.size(); ++n) {
        std::array<uint8_t, 48> record{};
        for (size_t s = 0; s < tilesets[n].size(); ++s) {
            const AnimatedSlotPlan& slot = tilesets[n][s];
            record[3 * s] = slot.graphics;
            if (rom.game == Game::MF) { // ZM reads only the first byte of each triple
                record[3 * s + 1] = slot.flag;
                record[3 * s + 2] = slot.alternative;
            }
        }
        image.Write(layout.animatedTilesetTable +
                        static_cast<uint32_t>(n) * kAnimatedTilesetRecordSize,
                    record);
        rom.animatedTilesets.push_back(record);
    }
}

void WriteCommon(Image& image, SyntheticRom& rom) {
    const GameLayout& layout = *LayoutOf(rom.game);
    rom.commonTiles = PaintCommonTiles(0);
    image.Write(layout.commonTiles, rom.commonTiles);
    rom.commonPalette = PaintCommonPalette(rom.game);
    if (rom.game == Game::ZM) {
        rom.commonTilesLastArea = PaintCommonTiles(1);
        image.Write(layout.commonTilesLastArea, rom.commonTilesLastArea);
        const std::span<const uint16_t> colours = rom.commonPalette;
        image.Write(kZmCommonPaletteRow0, WordBytes(colours.first(kZmCommonPaletteRow0Colours)));
        image.Write(kZmCommonPaletteRow1, WordBytes(colours.subspan(kZmCommonPaletteRow0Colours)));
    } else {
        image.Write(kMfCommonPalette, WordBytes(rom.commonPalette));
    }
}

} // namespace

void WriteGraphics(Image& image, const WorldPlan& world, SyntheticRom& rom) {
    WriteCommon(image, rom);
    WriteAnimations(image, rom);
    WriteTilesets(image, world, rom);
}

void WriteMiniMaps(Image& image, const WorldPlan& world, SyntheticRom& rom) {
    if (rom.game != Game::ZM) {
        return;
    }
    rom.miniMapTiles = PaintMiniMapTiles();
    rom.miniMapPalette = PaintMiniMapPalette();
    image.Write(kZmMiniMapTiles, rom.miniMapTiles);
    image.Write(kZmMiniMapPalette, WordBytes(rom.miniMapPalette));

    Random random(rom.seed, 9);
    // Entry 7 names the first area's map again, as in the game; the others have maps of their
    // own.
    constexpr uint32_t kSharedEntry = 7;
    for (uint32_t m = 0; m < kZmLayout.miniMapCount; ++m) {
        if (m == kSharedEntry) {
            rom.miniMaps.push_back(rom.miniMaps.front());
            image.Write32(kZmLayout.miniMapPointers + 4 * m, rom.miniMaps.front().pointer);
            continue;
        }
        std::vector<uint16_t> entries(kMiniMapEntries, kMiniMapBackgroundTile);
        // A room cell with walls on the sides in `walls`; with `flips`, the cell uses the tile
        // with the mirrored walls and the flip bits, which the game draws alike.
        auto paint = [&](int x0, int y0, int width, int height, uint16_t row, bool flips) {
            for (int y = y0; y < y0 + height && y < 32; ++y) {
                for (int x = x0; x < x0 + width && x < 32; ++x) {
                    int walls = (x == x0 ? 1 : 0) | (x == x0 + width - 1 ? 2 : 0) |
                                (y == y0 ? 4 : 0) | (y == y0 + height - 1 ? 8 : 0);
                    uint16_t flip = 0;
                    if (flips && random.Chance(50)) {
                        walls = (walls & 12) | ((walls & 1) << 1) | ((walls & 2) >> 1);
                        flip |= 0x400;
                    }
                    if (flips && random.Chance(50)) {
                        walls = (walls & 3) | ((walls & 4) << 1) | ((walls & 8) >> 1);
                        flip |= 0x800;
                    }
                    entries[static_cast<size_t>(32 * y + x)] =
                        static_cast<uint16_t>((kMiniMapRoomTile + walls) | flip | (row << 12));
                }
            }
        };
        if (m < world.areas.size()) {
            const auto& rooms = world.areas[m].rooms;
            for (size_t r = 0; r < rooms.size(); ++r) {
                const RoomSpec& room = rooms[r];
                paint(room.miniMapX, room.miniMapY, room.miniMapWidth, room.miniMapHeight,
                      random.Chance(85) ? 1 : 0, false);
                if (r == 0 || random.Chance(10)) {
                    const uint16_t icon = r == 0 ? 2 : static_cast<uint16_t>(random.Below(4));
                    // An elevator's arrow points up or, flipped, down.
                    const uint16_t flip = icon == 2 && random.Chance(50) ? 0x800 : 0;
                    entries[static_cast<size_t>(32 * room.miniMapY + room.miniMapX)] =
                        static_cast<uint16_t>((kMiniMapIconTile + icon) | flip | (1 << 12));
                }
            }
        } else {
            // The pointers past the areas lead to small test maps of a few rooms each.
            for (int k = 0; k < 3 + static_cast<int>(m); ++k) {
                paint(random.Range(2, 24), random.Range(2, 26), random.Range(1, 4),
                      random.Range(1, 3), 4, true);
            }
        }
        std::vector<uint8_t> raw(entries.size() * 2);
        for (size_t i = 0; i < entries.size(); ++i) {
            StoreLe16(raw, 2 * i, entries[i]);
        }
        const uint32_t offset = image.Place(EncodeLz77(raw), "minimap " + std::to_string(m));
        image.Write32(kZmLayout.miniMapPointers + 4 * m, Pointer(offset));
        rom.miniMaps.push_back({Pointer(offset), std::move(entries)});
    }
}

} // namespace quarnel::synthetic
