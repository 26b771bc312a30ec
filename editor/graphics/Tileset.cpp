#include "graphics/Tileset.h"

#include "common/ByteOrder.h"
#include "graphics/Lz77Codec.h"
#include "graphics/PointerRead.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quarnel {

namespace {

constexpr size_t kCompressedBytes = 32768;
constexpr size_t kTilesetColoursAt = 32;
constexpr size_t kCommonTilesRead = 4097;
static_assert(kTilesetColoursAt + kTilesetPaletteColours <= std::tuple_size_v<TilesetPalette>);
constexpr int kZmOwnCommonTilesArea = 6;

// Reads `count` little-endian colours at a file offset into palette entries from `at`.
void ReadColours(const RomFile& rom, uint64_t offset, size_t count, TilesetPalette& palette,
                 size_t at) {
    const auto bytes = rom.ReadBlock(offset, 2 * count);
    for (size_t i = 0; i < count && at + i < palette.size(); ++i) {
        palette[at + i] = LoadLe16(bytes, 2 * i);
    }
}

AnimTimer TimerFor(const AnimatedGraphicsRecord& record) {
    // A delay of 0 would ask for a timer that fires continuously; such a slot stays still.
    if (record.Type != 1 || record.Delay == 0) {
        return {};
    }
    return {true, std::min(int{record.Delay} * kFrameDelayUnitMs, kMaxTimerIntervalMs)};
}

} // namespace

void SeedAnimSlots(Tileset& tileset, const Catalog& catalog) {
    for (size_t s = 0; s < kAnimSlotCount; ++s) {
        tileset.Slots[s].Record = catalog.AnimatedGraphicsTable[s];
    }
}

Result<void, Error> LoadTileset(const RomFile& rom, const Catalog& catalog, uint8_t number,
                                int area, Tileset& tileset) {
    const GameLayout* layout = LayoutOf(catalog.game);
    if (layout == nullptr) {
        return Fail(Error{ErrorKind::BadTileset, "no game is open", {}});
    }
    if (number >= catalog.TilesetTable.size()) {
        return Fail(Error{ErrorKind::BadTileset,
                          "tileset " + std::to_string(number) + " is beyond the table of " +
                              std::to_string(catalog.TilesetTable.size()) + " tilesets",
                          {}});
    }
    const TilesetRecord& record = catalog.TilesetTable[number];

    std::vector<uint8_t> compressed(kCompressedBytes);
    ReadAtPointer(rom, record.Graphics, 0, compressed);
    std::vector<uint8_t> colours(2 * kTilesetPaletteColours);
    ReadAtPointer(rom, record.Palette, 0, colours);
    std::vector<uint8_t> blocks(2 * tileset.Blocks.size());
    ReadAtPointer(rom, record.Tsa, 0, blocks);
    for (size_t i = 0; i < tileset.Blocks.size(); ++i) {
        tileset.Blocks[i] = LoadLe16(blocks, 2 * i);
    }
    tileset.Number = number;
    tileset.BlocksPointer = record.Tsa;
    tileset.BlocksAsRead = tileset.Blocks;
    LoadAnimatedTiles(rom, catalog.game, record.AnimatedTileset(), tileset);

    for (size_t i = 0; i < kTilesetPaletteColours; ++i) {
        tileset.Palette[kTilesetColoursAt + i] = LoadLe16(colours, 2 * i);
    }

    // Decoding straight into the tile region gives the same first 20,736 bytes as a larger
    // buffer would: matches only copy bytes already written. A short stream leaves zeros.
    const auto own = std::span(tileset.Tiles).subspan(kTilesetTilesAt, kTilesetTilesBytes);
    std::fill(own.begin(), own.end(), uint8_t{0});
    DecompressLZ77(compressed, own);

    LoadCommonGraphics(rom, catalog.game, area, tileset);
    ConvertPalette(tileset.Palette, tileset.Colours, kRowColours - 1, kPaletteRows - 1);
    DrawTileset(tileset);
    return {};
}

void LoadAnimatedTiles(const RomFile& rom, Game game, uint8_t number, Tileset& tileset) {
    const GameLayout* layout = LayoutOf(game);
    if (layout == nullptr) {
        return;
    }
    std::array<uint8_t, kAnimatedTilesetRecordSize> triples{};
    rom.ReadAt(layout->animatedTilesetTable + uint64_t{kAnimatedTilesetRecordSize} * number,
               triples);
    size_t used = 0;
    for (; used < kAnimSlotCount; ++used) {
        const uint8_t graphics = triples[3 * used];
        if (graphics == 0) {
            break;
        }
        std::array<uint8_t, kAnimatedGraphicsRecordSize> bytes{};
        rom.ReadAt(layout->animatedGraphicsTable + uint64_t{kAnimatedGraphicsRecordSize} * graphics,
                   bytes);
        AnimSlot& slot = tileset.Slots[used];
        slot.Record = AnimatedGraphicsRecord::FromBytes(bytes);
        ReadAtPointer(rom, slot.Record.Frames, 0,
                      std::span(tileset.Tiles).subspan(kAnimSlotBytes * used, kAnimSlotBytes));
    }
    // Slots behind the first empty triple belong to no tileset: their tiles are cleared to
    // transparent and their timers stopped, so a room's picture never shows another tileset's
    // animation frames and does not depend on which rooms were viewed before.
    for (size_t s = 0; s < kAnimSlotCount; ++s) {
        tileset.Timers[s] = s < used ? TimerFor(tileset.Slots[s].Record) : AnimTimer{};
    }
    const auto unused =
        std::span(tileset.Tiles)
            .subspan(kAnimSlotBytes * used, kAnimSlotBytes * (kAnimSlotCount - used));
    std::fill(unused.begin(), unused.end(), uint8_t{0});
}

void LoadCommonGraphics(const RomFile& rom, Game game, int area, Tileset& tileset) {
    const GameLayout* layout = LayoutOf(game);
    if (layout == nullptr) {
        return;
    }
    uint32_t tilesAt = layout->commonTiles;
    if (game == Game::ZM) {
        if (area == kZmOwnCommonTilesArea) {
            tilesAt = layout->commonTilesLastArea;
        }
        tileset.Palette[0] = 0;
        ReadColours(rom, kZmCommonPaletteRow0, kZmCommonPaletteRow0Colours, tileset.Palette, 1);
        ReadColours(rom, kZmCommonPaletteRow1, kZmCommonPaletteRow1Colours, tileset.Palette,
                    kRowColours);
    } else {
        tileset.Palette[0] = 0;
        ReadColours(rom, kMfCommonPalette, kMfCommonPaletteColours, tileset.Palette, 1);
    }
    const auto common = rom.ReadBlock(tilesAt, kCommonTilesRead);
    std::copy_n(common.begin(), kCommonTilesBytes, tileset.Tiles.begin() + kCommonTilesAt);
}

void DrawMap16(Surface& surface, const Tileset& tileset, int firstWord, int x, int y) {
    if (firstWord < 0 || static_cast<size_t>(firstWord) + 4 >= tileset.Blocks.size()) {
        return;
    }
    const auto first = static_cast<size_t>(firstWord);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const TileEntry entry{tileset.Blocks[first + static_cast<size_t>(2 * i + j) + 1]};
            DrawTile8(surface, entry, x + kTileSize * j, y + kTileSize * i, tileset.Tiles,
                      tileset.Colours);
        }
    }
}

void DrawTileset(Tileset& tileset) {
    if (tileset.PicTSA.Width() != kPicTsaWidth || tileset.PicTSA.Height() != kPicTsaHeight) {
        tileset.PicTSA.Resize(kPicTsaWidth, kPicTsaHeight);
    } else {
        tileset.PicTSA.Clear();
    }
    constexpr int kBlock = Surface::kBlockSize;
    for (int b = 0; b < kDrawnBlocks; ++b) {
        DrawMap16(tileset.PicTSA, tileset, 4 * b, (b % kBlocksPerRow) * kBlock,
                  (b / kBlocksPerRow) * kBlock);
    }
}

} // namespace quarnel
