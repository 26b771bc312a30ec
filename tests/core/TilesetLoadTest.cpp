#include "graphics/Animation.h"
#include "graphics/Tileset.h"
#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "RomImage.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace quarnel {
namespace {

using testing::Pointer;
using testing::RomImage;

constexpr size_t kRomSize = 0x600000;
constexpr size_t kFramesAt = 0x130000;

uint8_t TileByte(size_t i) {
    return static_cast<uint8_t>(i * 7 + 3);
}
uint8_t FrameByte(size_t graphics, size_t frame) {
    return static_cast<uint8_t>(0x10 * graphics + frame);
}

void PutAnimatedGraphics(RomImage& rom, const GameLayout& layout, uint8_t number, uint8_t delay,
                         uint8_t frames) {
    const size_t record = layout.animatedGraphicsTable + 8u * number;
    const uint8_t head[] = {1, delay, frames};
    rom.PutBytes(record, head);
    rom.Put32(record + 4, Pointer(kFramesAt + 0x1000u * number));
    for (size_t f = 0; f < frames; ++f) {
        rom.PutBytes(kFramesAt + 0x1000u * number + 128 * f,
                     std::vector<uint8_t>(128, FrameByte(number, f)));
    }
}

// A ROM whose tilesets 0 and last share: literal-only LZ77 tiles, colours 0x1000 + i, a
// block table whose word i is i, and animated tileset 2: graphics 5 (4 frames, delay 3)
// and 7 (2 frames, delay 200), an empty triple, and graphics 9 behind it. Common tiles are
// 0xA1 (ZM's area 6: 0xB2); common colours 0x100 + i and 0x200 + i (ZM), 0x300 + i (MF).
RomImage TilesetRom(Game game) {
    const GameLayout& layout = *LayoutOf(game);
    RomImage rom(kRomSize);
    std::vector<uint8_t> tiles(kTilesetTilesBytes);
    for (size_t i = 0; i < tiles.size(); ++i) {
        tiles[i] = TileByte(i);
    }
    rom.PutBytes(0x100000, testing::LiteralLz77(tiles));
    for (size_t i = 0; i < 20237; ++i) {
        rom.Put16(0x110000 + 2 * i, static_cast<uint16_t>(0x1000 + i)); // 449 used
        rom.Put16(0x120000 + 2 * i, static_cast<uint16_t>(i));
    }
    for (const size_t number : {size_t{0}, size_t{layout.tilesetCount - 1}}) {
        const uint32_t record[] = {Pointer(0x100000), Pointer(0x110000), 0, Pointer(0x120000),
                                   0xABCDEF02}; // only the low byte (2) names the animation
        for (size_t i = 0; i < 5; ++i) {
            rom.Put32(layout.tilesetTable + 20 * number + 4 * i, record[i]);
        }
    }
    const uint8_t triples[] = {5, 0xEE, 0xEE, 7, 0xEE, 0xEE, 0, 0xEE, 0xEE, 9};
    rom.PutBytes(layout.animatedTilesetTable + 48 * 2, triples);
    PutAnimatedGraphics(rom, layout, 5, 3, 4);
    PutAnimatedGraphics(rom, layout, 7, 200, 2);
    PutAnimatedGraphics(rom, layout, 9, 1, 1);
    PutAnimatedGraphics(rom, layout, 3, 1, 1); // an area-time entry that would animate
    rom.PutBytes(layout.commonTiles, std::vector<uint8_t>(4097, 0xA1));
    if (game == Game::ZM) {
        rom.PutBytes(layout.commonTilesLastArea, std::vector<uint8_t>(4097, 0xB2));
        for (size_t i = 0; i < 16; ++i) {
            rom.Put16(kZmCommonPaletteRow0 + 2 * i, static_cast<uint16_t>(0x100 + i));
            rom.Put16(kZmCommonPaletteRow1 + 2 * i, static_cast<uint16_t>(0x200 + i));
        }
    } else {
        for (size_t i = 0; i < 48; ++i) {
            rom.Put16(kMfCommonPalette + 2 * i, static_cast<uint16_t>(0x300 + i));
        }
    }
    return rom;
}

// An opened test ROM with its catalog and a tileset seeded as opening a ROM does.
struct Opened {
    testing::TempFolder folder;
    std::optional<RomFile> rom;
    Catalog catalog;
    std::unique_ptr<Tileset> tileset = std::make_unique<Tileset>();

    Opened(const RomImage& image, Game game) {
        rom.emplace(
            RomFile::Open(folder.WriteFile("rom.gba", image.bytes), OpenMode::Read).value());
        catalog = LoadCatalog(*rom, game);
        SeedAnimSlots(*tileset, catalog);
    }
    Result<void, Error> Load(int number, int area = 0) {
        return LoadTileset(*rom, catalog, static_cast<uint8_t>(number), area, *tileset);
    }
};

class TilesetLoading : public ::testing::TestWithParam<Game> {};

TEST_P(TilesetLoading, FillsTilesPaletteBlocksSlotsAndPicture) {
    const Game game = GetParam();
    Opened opened(TilesetRom(game), game);
    const Tileset& t = *opened.tileset;
    for (const int number : {0, static_cast<int>(LayoutOf(game)->tilesetCount) - 1}) {
        ASSERT_TRUE(opened.Load(number)) << number;
        for (size_t i = 0; i < kTilesetTilesBytes; ++i) {
            ASSERT_EQ(t.Tiles[kTilesetTilesAt + i], TileByte(i)) << i;
        }
        EXPECT_EQ(t.Tiles[kCommonTilesAt], 0xA1);
        EXPECT_EQ(t.Tiles[kTilesetTilesAt - 1], 0xA1);
        EXPECT_EQ(t.Tiles[0], FrameByte(5, 0));
        EXPECT_EQ(t.Tiles[255], FrameByte(7, 0));
        EXPECT_EQ(t.Tiles[256], 0); // slot 2 is behind the empty triple
        EXPECT_EQ(t.Blocks[20236], 20236);
        const std::vector<uint16_t> palette(t.Palette.begin(), t.Palette.begin() + 50);
        if (game == Game::ZM) {
            EXPECT_EQ(palette[15], 0x10E);
            EXPECT_EQ(palette[16], 0x200);
            EXPECT_EQ(palette[32], 0x1000);
        } else { // the common colours overwrite entries 32-48; 49 is the tileset's colour 17
            EXPECT_EQ(palette[32], 0x31F);
            EXPECT_EQ(palette[48], 0x32F);
            EXPECT_EQ(palette[49], 0x1000 + 17);
        }
        EXPECT_EQ(palette[0], 0);
        EXPECT_EQ(t.Palette[480], 0x1000 + 448);
        EXPECT_EQ(t.Palette[481], 0);
        EXPECT_EQ(t.Colours[255], PixelFromGbaColour(t.Palette[255]));
        // Block 0 is tiles 1-4: tiles 1-3 hold slot 0's frame (0x50), tile 4 slot 1's (0x70).
        EXPECT_EQ(t.PicTSA.Pixel(0, 0), kBlack);
        EXPECT_EQ(t.PicTSA.Pixel(1, 0), t.Colours[5]);
        EXPECT_EQ(t.PicTSA.Pixel(15, 15), t.Colours[7]);
        // Timers: 3 x 500 ms; 200 x 500 ms clamped; unused slots off though their
        // area-time records (slot 3) would animate.
        EXPECT_EQ(t.Slots[3].Record, opened.catalog.AnimatedGraphicsTable[3]);
        EXPECT_EQ(t.Timers[0].IntervalMs, 1500);
        EXPECT_EQ(t.Timers[1].IntervalMs, 32767);
        for (size_t s = 0; s < 16; ++s) {
            EXPECT_EQ(t.Timers[s].Enabled, s < 2) << s;
        }
    }
    // A number beyond the table: an error, and the previous tileset stays.
    const auto tiles = t.Tiles;
    const auto picture = std::vector<uint32_t>(t.PicTSA.Pixels().begin(), t.PicTSA.Pixels().end());
    for (const int number : {static_cast<int>(LayoutOf(game)->tilesetCount), 255}) {
        const auto result = opened.Load(number);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, ErrorKind::BadTileset);
    }
    EXPECT_EQ(t.Tiles, tiles);
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), t.PicTSA.Pixels().begin()));
}

// Every tileset number of a generated ROM (real LZ77 streams with back references; in ZM the
// last two records run into the door table) loads what the builder describes, or is refused.
TEST_P(TilesetLoading, ReadsTheGeneratedRomsTilesets) {
    const Game game = GetParam();
    const SyntheticRom& built = testing::GeneratedRom(game, 3);
    testing::TempFolder folder;
    auto rom =
        RomFile::Open(testing::WriteGeneratedRom(folder / "rom.gba", game, 3), OpenMode::Read);
    const Catalog catalog = LoadCatalog(*rom, game);
    auto t = std::make_unique<Tileset>();
    for (size_t n = 0; n < 256; ++n) {
        ASSERT_EQ(LoadTileset(*rom, catalog, static_cast<uint8_t>(n), 0, *t).has_value(),
                  n < catalog.TilesetTable.size());
        if (n >= built.tilesets.size()) {
            continue;
        }
        const auto& art = built.tilesetArt[built.tilesets[n].art];
        const auto& colours = built.tilesetPalettes[built.tilesets[n].palette].colours;
        const size_t firstOwn = game == Game::ZM ? 0 : 17; // MF: entries 32-48 are common
        EXPECT_TRUE(std::equal(art.tiles.begin(), art.tiles.end(), &t->Tiles[kTilesetTilesAt]))
            << n;
        EXPECT_TRUE(std::equal(art.blockTable.begin(), art.blockTable.end(), t->Blocks.begin()));
        EXPECT_TRUE(
            std::equal(colours.begin() + firstOwn, colours.end(), &t->Palette[32 + firstOwn]));
        EXPECT_TRUE(std::equal(built.commonTiles.begin(), built.commonTiles.end(),
                               &t->Tiles[kCommonTilesAt]));
        const auto& triples = built.animatedTilesets.at(built.tilesets[n].animation & 0xFF);
        for (size_t s = 0; s < 16 && triples[3 * s] != 0; ++s) {
            const auto& graphics = built.animatedGraphics.at(triples[3 * s]);
            EXPECT_EQ(t->Slots[s].Record, AnimatedGraphicsRecord::FromBytes(graphics.record));
            EXPECT_TRUE(std::equal(graphics.frames.begin(), graphics.frames.begin() + 128,
                                   &t->Tiles[128 * s]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Games, TilesetLoading, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

TEST(TilesetLoading, ZmAreaSixHasItsOwnCommonTiles) {
    Opened opened(TilesetRom(Game::ZM), Game::ZM);
    for (const int area : {0, 5, 6}) {
        ASSERT_TRUE(opened.Load(0, area));
        EXPECT_EQ(opened.tileset->Tiles[kCommonTilesAt], area == 6 ? 0xB2 : 0xA1) << area;
    }
}

TEST(TilesetLoading, PointersOutsideTheFileReadAsZeros) {
    RomImage image = TilesetRom(Game::MF);
    const size_t record = kMfLayout.tilesetTable;
    image.Put32(record, Pointer(kRomSize + 100));    // graphics beyond the file
    image.Put32(record + 4, 0x0000ABCD);             // palette below the ROM's base
    image.Put32(record + 12, Pointer(kRomSize - 4)); // block table running off the end
    image.Put32(record + 16, 200);                   // animated tileset 200: graphics 11
    image.Put8(kMfLayout.animatedTilesetTable + 48 * 200, 11);
    image.Put8(kMfLayout.animatedGraphicsTable + 8 * 11, 1); // animated, but delay 0
    image.Put32(kMfLayout.animatedGraphicsTable + 8 * 11 + 4, 0xFFFFFFFF);
    image.Put32(kRomSize - 4, 0x44332211);
    Opened opened(image, Game::MF);
    Tileset& t = *opened.tileset;
    t.Tiles.fill(0x77);
    t.Palette.fill(0x7777);
    ASSERT_TRUE(opened.Load(0));
    EXPECT_EQ(std::count(t.Tiles.begin() + kTilesetTilesAt, t.Tiles.end(), 0), kTilesetTilesBytes);
    EXPECT_EQ(t.Tiles[0], 0);          // slot 0's frame
    EXPECT_FALSE(t.Timers[0].Enabled); // a delay of 0 keeps the slot still
    EXPECT_EQ(t.Palette[49], 0);
    EXPECT_EQ(t.Palette[480], 0);
    EXPECT_EQ(t.Blocks[0], 0x2211);
    EXPECT_EQ(t.Blocks[1], 0x4433);
    EXPECT_EQ(t.Blocks[2], 0);
    // A step at 0xFFFFFFFF + 128 x 201 reads zeros and does not wrap around to the start.
    t.Slots[0].Record.FrameCount = 255;
    t.Slots[0].Counter = 200;
    t.Tiles.fill(0x77);
    EXPECT_TRUE(StepAnimation(*opened.rom, 0, t));
    EXPECT_EQ(t.Tiles[127], 0);
    EXPECT_EQ(t.Tiles[128], 0x77);
}

TEST(Animation, NextFrameWrapsAtTheLastFrameOrBeyond) {
    const uint8_t cases[][3] = {{0, 4, 1}, {3, 4, 0},       {6, 4, 0},    {0, 1, 0},
                                {0, 0, 0}, {253, 255, 254}, {254, 255, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(NextFrame(c[0], c[1]), c[2]) << int{c[0]} << "/" << int{c[1]};
    }
}

TEST(Animation, StepsFramesAndKeepsCountersAcrossTilesets) {
    Opened opened(TilesetRom(Game::ZM), Game::ZM);
    Tileset& t = *opened.tileset;
    ASSERT_TRUE(opened.Load(0));
    for (const size_t frame : {1, 2, 3, 0, 1}) { // slot 0 (4 frames), then PicTSA
        ASSERT_TRUE(StepAnimation(*opened.rom, 0, t));
        EXPECT_EQ(t.Slots[0].Counter, frame);
        EXPECT_EQ(t.Tiles[127], FrameByte(5, frame));
        EXPECT_EQ(t.PicTSA.Pixel(0, 0), frame == 0 ? kBlack : t.Colours[frame]);
    }
    EXPECT_EQ(t.Tiles[128], FrameByte(7, 0)); // slot 1 did not move
    // A counter left at 6 survives a tileset load and wraps to 0 on a 4-frame slot.
    t.Slots[0].Counter = 6;
    ASSERT_TRUE(opened.Load(0));
    EXPECT_EQ(t.Slots[0].Counter, 6);
    ASSERT_TRUE(StepAnimation(*opened.rom, 0, t));
    EXPECT_EQ(t.Slots[0].Counter, 0);
    EXPECT_FALSE(StepAnimation(*opened.rom, 16, t));
}

} // namespace
} // namespace quarnel
