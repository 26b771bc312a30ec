#include "graphics/Gba.h"
#include "graphics/Surface.h"
#include "graphics/Tileset.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace quarnel {
namespace {

constexpr uint32_t kMark = 0xFF123456; // a background that black-only checks would miss

TEST(GbaColour, ConvertsEachComponentTimesEightIgnoringBit15) {
    const std::pair<uint16_t, uint32_t> cases[] = {
        {0x7FFF, MakePixel(248, 248, 248)}, {0xFFFF, MakePixel(248, 248, 248)},
        {0x001F, MakePixel(248, 0, 0)},     {0x03E0, MakePixel(0, 248, 0)},
        {0x7C00, MakePixel(0, 0, 248)},     {0x8421, MakePixel(8, 8, 8)}};
    for (const auto& [gba, pixel] : cases) {
        EXPECT_EQ(PixelFromGbaColour(gba), pixel) << std::hex << gba;
    }
}

struct FlipCase {
    uint16_t entry;
    // Where three nibbles of tile 5 land, relative to the tile's corner: byte 0's low
    // (colour 1) and high (colour 2) nibbles, and byte 5's low nibble (colour 3).
    int lowX, lowY, highX, highY, fiveX, fiveY;
};

class TileDrawing : public ::testing::TestWithParam<FlipCase> {};

TEST_P(TileDrawing, PlacesNibblesByFlipInTheEntrysRow) {
    const FlipCase& c = GetParam();
    TileGraphics tiles{};
    tiles[5 * kTileBytes + 0] = 0x21;
    tiles[5 * kTileBytes + 5] = 0x03;
    ColourTable colours{};
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = MakePixel(static_cast<uint32_t>(i), 1, 1);
    }
    Surface surface(20, 20);
    std::fill(surface.Pixels().begin(), surface.Pixels().end(), kMark);
    DrawTile8(surface, TileEntry{c.entry}, 4, 6, tiles, colours);
    const size_t row = 16u * TileEntry{c.entry}.PaletteRow();
    EXPECT_EQ(surface.Pixel(4 + c.lowX, 6 + c.lowY), colours[row + 1]);
    EXPECT_EQ(surface.Pixel(4 + c.highX, 6 + c.highY), colours[row + 2]);
    EXPECT_EQ(surface.Pixel(4 + c.fiveX, 6 + c.fiveY), colours[row + 3]);
    EXPECT_EQ(std::count(surface.Pixels().begin(), surface.Pixels().end(), kMark), 400 - 3);
}

INSTANTIATE_TEST_SUITE_P(Flips, TileDrawing,
                         ::testing::Values(FlipCase{0x0005, 0, 0, 1, 0, 2, 1},
                                           FlipCase{0x0405, 7, 0, 6, 0, 5, 1},
                                           FlipCase{0x0805, 0, 7, 1, 7, 2, 6},
                                           FlipCase{0x0C05, 7, 7, 6, 7, 5, 6},
                                           FlipCase{0xBC05, 7, 7, 6, 7, 5, 6}));

TEST(TileDrawing, NeverDrawsColourZeroOrTilesBeyondTheBuffer) {
    TileGraphics tiles{};
    tiles.fill(0x11);
    tiles[0] = 0x10; // tile 0's first pixel has colour 0
    ColourTable colours{};
    colours.fill(MakePixel(200, 0, 0)); // index 0 of each row is not black, yet never drawn
    for (const uint16_t entry : std::initializer_list<uint16_t>{840, 0x3FF, 0xF348, 0}) {
        Surface surface(8, 8);
        DrawTile8(surface, TileEntry{entry}, 0, 0, tiles, colours);
        const auto drawn =
            std::count(surface.Pixels().begin(), surface.Pixels().end(), MakePixel(200, 0, 0));
        EXPECT_EQ(drawn, entry == 0 ? 63 : 0) << entry;
    }
    // Tiles crossing the edge are clipped; one far outside draws nothing and does not overflow.
    Surface edge(8, 8);
    DrawTile8(edge, TileEntry{1}, -5, 6, tiles, colours);
    DrawTile8(edge, TileEntry{1}, 2147483640, -2147483647, tiles, colours);
    EXPECT_EQ(std::count(edge.Pixels().begin(), edge.Pixels().end(), kBlack), 64 - 3 * 2);
}

TEST(Surface, BlockCopiesClipAtBothSurfacesEdgesAndSkipOnlyPureBlack) {
    std::mt19937 random(7);
    Surface source(40, 36);
    for (uint32_t& pixel : source.Pixels()) {
        const auto roll = random() % 4;
        pixel = roll == 0   ? kBlack
                : roll == 1 ? 0xFF000001
                            : static_cast<uint32_t>(random()) | kBlack;
    }
    const int positions[] = {-20, -15, -1, 0, 3, 16, 24, 30, 35, 40, 100};
    for (const bool transparent : {false, true}) {
        for (const int sx : positions) {
            for (const int dx : positions) {
                const int sy = sx / 2 + 1;
                const int dy = dx - 2;
                Surface fast(33, 29);
                std::fill(fast.Pixels().begin(), fast.Pixels().end(), kMark);
                Surface expected = fast;
                for (int j = 0; j < 16; ++j) {
                    for (int i = 0; i < 16; ++i) {
                        const uint32_t pixel = source.Pixel(sx + i, sy + j);
                        if (source.Contains(sx + i, sy + j) && !(transparent && pixel == kBlack)) {
                            expected.SetPixel(dx + i, dy + j, pixel);
                        }
                    }
                }
                if (transparent) {
                    fast.CopyBlockTransparent(source, sx, sy, dx, dy);
                } else {
                    fast.CopyBlock(source, sx, sy, dx, dy);
                }
                ASSERT_TRUE(std::equal(fast.Pixels().begin(), fast.Pixels().end(),
                                       expected.Pixels().begin()))
                    << transparent << " from " << sx << "," << sy << " to " << dx << "," << dy;
            }
        }
    }
}

TEST(TilesetPicture, DrawsBlock1023At240x1008FromWords4093To4096) {
    auto tileset = std::make_unique<Tileset>();
    for (size_t t = 0; t < 4; ++t) { // tiles 200-203: solid colours 1-4
        std::fill_n(tileset->Tiles.begin() + static_cast<std::ptrdiff_t>((200 + t) * kTileBytes),
                    kTileBytes, static_cast<uint8_t>((t + 1) * 0x11));
        tileset->Colours[33 + t] = MakePixel(static_cast<uint32_t>(t + 1), 9, 9);
        tileset->Blocks[4093 + t] =
            TileEntry::Make(static_cast<uint16_t>(200 + t), false, false, 2).value;
    }
    tileset->PicTSA.SetPixel(0, 0, kMark);
    DrawTileset(*tileset);
    const Surface& pic = tileset->PicTSA;
    ASSERT_EQ(pic.Width(), 256);
    ASSERT_EQ(pic.Height(), 1024);
    EXPECT_EQ(pic.Pixel(0, 0), kBlack); // cleared
    EXPECT_EQ(pic.Pixel(240, 1008), MakePixel(1, 9, 9));
    EXPECT_EQ(pic.Pixel(247, 1015), MakePixel(1, 9, 9));
    EXPECT_EQ(pic.Pixel(248, 1008), MakePixel(2, 9, 9));
    EXPECT_EQ(pic.Pixel(240, 1016), MakePixel(3, 9, 9));
    EXPECT_EQ(pic.Pixel(255, 1023), MakePixel(4, 9, 9));
    EXPECT_EQ(pic.Pixel(239, 1008), kBlack);
}

} // namespace
} // namespace quarnel
