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

// An opened ROM with its catalog and a tileset seeded as opening a ROM does.
struct Opened {
    testing::TempFolder folder;
    std::optional<RomFile> rom;
    Catalog catalog;
    std::unique_ptr<Tileset> tileset = std::make_unique<Tileset>();

    Opened(std::span<const uint8_t> image, Game game) {
        rom.emplace(RomFile::Open(folder.WriteFile("rom.gba", image), OpenMode::Read).value());
        catalog = LoadCatalog(*rom, game);
        SeedAnimSlots(*tileset, catalog);
    }
    Result<void, Error> Load(size_t number, int area = 0) {
        return LoadTileset(*rom, catalog, static_cast<uint8_t>(number), area, *tileset);
    }
};

template <class Range, class It>
bool Holds(It at, const Range& expected) {
    return std::equal(expected.begin(), expected.end(), at);
}

class TilesetLoading : public ::testing::TestWithParam<Game> {};

// Every tileset number of a generated ROM (real LZ77 streams; in ZM the last two records run
// into the door table) loads what the builder describes, or is refused and changes nothing.
TEST_P(TilesetLoading, LoadsEveryTilesetOfAGeneratedRom) {
    const Game game = GetParam();
    const SyntheticRom& built = testing::GeneratedRom(game, 3);
    Opened opened(built.image, game);
    const Tileset& t = *opened.tileset;
    TileGraphics previous{};
    for (size_t n = 0; n < 256; ++n) {
        const bool inTable = n < LayoutOf(game)->tilesetCount;
        ASSERT_EQ(opened.Load(n, game == Game::ZM && n % 2 ? 6 : 0).has_value(), inTable) << n;
        if (!inTable) {
            ASSERT_EQ(t.Tiles, previous);
            continue;
        }
        previous = t.Tiles;
        if (n >= built.tilesets.size()) {
            continue;
        }
        const SyntheticTileset& record = built.tilesets[n];
        const auto& art = built.tilesetArt[record.art];
        EXPECT_TRUE(Holds(&t.Tiles[kTilesetTilesAt], art.tiles)) << n;
        EXPECT_TRUE(Holds(t.Blocks.begin(), art.blockTable));
        // ZM: common rows 0 and 1, then 449 tileset colours. MF: 48 common colours over the
        // first 17 of the tileset's, so entry 49 is the tileset's colour 17.
        const auto& own = built.tilesetPalettes[record.palette].colours;
        const size_t common = built.commonPalette.size();
        EXPECT_EQ(t.Palette[0], 0);
        EXPECT_TRUE(Holds(&t.Palette[1], built.commonPalette));
        EXPECT_TRUE(std::equal(own.begin() + static_cast<std::ptrdiff_t>(common - 31), own.end(),
                               &t.Palette[common + 1]));
        EXPECT_EQ(t.Colours[255], PixelFromGbaColour(t.Palette[255]));
        // ZM's area 6 (odd numbers here) has common tiles of its own.
        const bool ownCommon = game == Game::ZM && n % 2 == 1;
        EXPECT_TRUE(Holds(&t.Tiles[kCommonTilesAt],
                          ownCommon ? built.commonTilesLastArea : built.commonTiles));
        const auto& triples = built.animatedTilesets.at(record.animation & 0xFF);
        for (size_t s = 0; s < 16 && triples[3 * s] != 0; ++s) {
            const auto& graphics = built.animatedGraphics.at(triples[3 * s]);
            EXPECT_EQ(t.Slots[s].Record, AnimatedGraphicsRecord::FromBytes(graphics.record));
            EXPECT_TRUE(std::equal(graphics.frames.begin(), graphics.frames.begin() + 128,
                                   &t.Tiles[128 * s]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Games, TilesetLoading, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

TEST(TilesetLoading, BadPointersReadZerosAndUnusedSlotsStayStill) {
    const GameLayout& mf = kMfLayout;
    testing::RomImage image(0x500000);
    const size_t end = image.bytes.size();
    image.Put32(mf.tilesetTable, Pointer(end + 100));     // graphics beyond the file
    image.Put32(mf.tilesetTable + 4, 0x0000ABCD);         // palette below the ROM's base
    image.Put32(mf.tilesetTable + 12, Pointer(end - 4));  // block table running off the end
    image.Put32(mf.tilesetTable + 16, 0xABCDEF00u | 200); // animated tileset 200
    image.Put32(end - 4, 0x44332211);
    // Slots: graphics 17 (delay 0), 18 (delay 200), 19 (delay 3), none, then 20.
    const uint8_t triples[] = {17, 0, 0, 18, 0, 0, 19, 0, 0, 0, 0, 0, 20};
    image.PutBytes(mf.animatedTilesetTable + 48 * 200, triples);
    for (const auto& [graphics, delay] : {std::pair{17, 0}, {18, 200}, {19, 3}, {20, 1}, {5, 1}}) {
        const uint8_t record[] = {1, static_cast<uint8_t>(delay), 255, 0, 0xFF, 0xFF, 0xFF, 0xFF};
        image.PutBytes(mf.animatedGraphicsTable + 8 * static_cast<size_t>(graphics), record);
    }
    Opened opened(image.bytes, Game::MF); // slot 5's area-time record would animate
    Tileset& t = *opened.tileset;
    t.Tiles.fill(0x77);
    t.Palette.fill(0x7777);
    ASSERT_TRUE(opened.Load(0));
    // Three frames of zeros, and the slots behind the empty triple cleared: no tile of an
    // earlier tileset's animation stays behind.
    EXPECT_EQ(std::count(t.Tiles.begin(), t.Tiles.begin() + 16 * 128, 0), 16 * 128);
    EXPECT_EQ(std::count(t.Tiles.begin() + kTilesetTilesAt, t.Tiles.end(), 0), kTilesetTilesBytes);
    EXPECT_EQ(t.Palette[49], 0);
    EXPECT_EQ(t.Palette[480], 0);
    EXPECT_EQ(t.Blocks[0], 0x2211);
    EXPECT_EQ(t.Blocks[1], 0x4433);
    EXPECT_EQ(t.Blocks[2], 0);
    // Delay 0 stays still; 200 x 500 ms is clamped; slots behind the empty triple are off.
    EXPECT_EQ(t.Slots[5].Record.Type, 1);
    const int intervals[16] = {0, 32767, 1500};
    for (size_t s = 0; s < 16; ++s) {
        EXPECT_EQ(t.Timers[s].Enabled, intervals[s] > 0) << s;
        EXPECT_EQ(t.Timers[s].IntervalMs, intervals[s]) << s;
    }
    // A step at 0xFFFFFFFF + 128 x 201 reads zeros and does not wrap around to the start.
    t.Slots[1].Counter = 200;
    t.Tiles.fill(0x77);
    EXPECT_TRUE(StepAnimation(*opened.rom, 1, t));
    EXPECT_EQ(std::count(t.Tiles.begin(), t.Tiles.begin() + 256, 0x77), 128);
    EXPECT_EQ(t.Tiles[128], 0);
}

TEST(Animation, NextFrameWrapsAtTheLastFrameOrBeyond) {
    const uint8_t cases[][3] = {{0, 4, 1}, {3, 4, 0},       {6, 4, 0},    {0, 1, 0},
                                {0, 0, 0}, {253, 255, 254}, {254, 255, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(NextFrame(c[0], c[1]), c[2]) << int{c[0]} << "/" << int{c[1]};
    }
}

TEST(Animation, StepsFramesAndKeepsCountersAcrossTilesets) {
    const SyntheticRom& built = testing::GeneratedRom(Game::ZM, 3);
    Opened opened(built.image, Game::ZM);
    Tileset& t = *opened.tileset;
    // The first tileset with an animated slot 0 of several frames.
    const auto slotZero = [&built](size_t n) -> const SyntheticAnimatedGraphics* {
        const uint8_t graphics =
            built.animatedTilesets.at(built.tilesets.at(n).animation & 0xFF)[0];
        return graphics == 0 ? nullptr : &built.animatedGraphics.at(graphics);
    };
    size_t number = 0;
    while (slotZero(number) == nullptr || slotZero(number)->record[2] < 2) {
        ++number;
    }
    ASSERT_TRUE(opened.Load(number));
    const auto& frames = slotZero(number)->frames;
    const size_t count = frames.size() / 128;
    const auto slot1 = std::vector<uint8_t>(t.Tiles.begin() + 128, t.Tiles.begin() + 256);
    for (size_t step = 1; step <= count + 1; ++step) {
        ASSERT_TRUE(StepAnimation(*opened.rom, 0, t));
        EXPECT_EQ(t.Slots[0].Counter, step % count);
        EXPECT_TRUE(std::equal(t.Tiles.begin(), t.Tiles.begin() + 128,
                               frames.begin() + static_cast<std::ptrdiff_t>(128 * (step % count))));
    }
    EXPECT_TRUE(Holds(t.Tiles.begin() + 128, slot1)); // only slot 0 moved
    // A counter beyond the last frame survives a tileset load and wraps to 0.
    t.Slots[0].Counter = static_cast<uint8_t>(count + 2);
    ASSERT_TRUE(opened.Load(number));
    EXPECT_EQ(t.Slots[0].Counter, count + 2);
    ASSERT_TRUE(StepAnimation(*opened.rom, 0, t));
    EXPECT_EQ(t.Slots[0].Counter, 0);
    EXPECT_FALSE(StepAnimation(*opened.rom, 16, t));
}

} // namespace
} // namespace quarnel
