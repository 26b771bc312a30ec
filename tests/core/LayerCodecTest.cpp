#include "rom/LayerCodec.h"

#include "pelnix.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quarnel {
namespace {

using Bytes = std::vector<uint8_t>;

RoomLayer Decoded(const Bytes& stored, LayerKind kind) {
    auto result = DecodeStoredLayer(stored, kind);
    EXPECT_TRUE(result) << Describe(result.error());
    return result ? result->layer : RoomLayer{};
}

struct DecodeCase {
    const char* name;
    LayerKind kind;
    Bytes stored;
    std::vector<int> cells; // row-major, the stored cells
    bool warns;
};

class LayerDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(LayerDecode, GivesTheCells) {
    const auto& c = GetParam();
    auto result = DecodeStoredLayer(c.stored, c.kind);
    ASSERT_TRUE(result) << Describe(result.error());
    const RoomLayer& layer = result->layer;
    ASSERT_EQ(layer.Width * layer.Height, static_cast<int>(c.cells.size()));
    for (size_t i = 0; i < c.cells.size(); ++i) {
        EXPECT_EQ(static_cast<uint16_t>(layer.Cell(static_cast<int>(i % layer.Width),
                                                   static_cast<int>(i / layer.Width))),
                  c.cells[i])
            << "cell " << i;
    }
    // The spare column and row stay 0.
    for (int y = 0; y <= layer.Height; ++y) {
        EXPECT_EQ(layer.Cell(layer.Width, y), 0);
    }
    for (int x = 0; x <= layer.Width; ++x) {
        EXPECT_EQ(layer.Cell(x, layer.Height), 0);
    }
    EXPECT_EQ(result->warning.has_value(), c.warns);
}

INSTANTIATE_TEST_SUITE_P(
    StoredForms, LayerDecode,
    ::testing::Values(
        DecodeCase{"RunsInBothPasses",
                   LayerKind::Level,
                   {2, 2, 1, 0x84, 5, 0, 1, 0x84, 0, 0},
                   {5, 5, 5, 5},
                   false},
        DecodeCase{"LiteralHighBytes",
                   LayerKind::Level,
                   {2, 2, 1, 0x84, 5, 0, 1, 4, 1, 2, 1, 2, 0},
                   {0x105, 0x205, 0x105, 0x205},
                   false},
        DecodeCase{"HighPassEndsAtItsZero",
                   LayerKind::Level,
                   {2, 2, 1, 0x84, 5, 0, 1, 2, 1, 2, 0},
                   {0x105, 0x205, 5, 5},
                   false},
        // Data after the last low byte stops the whole decode: the high bytes stay 0.
        DecodeCase{"LowPassRunningOnStopsEverything",
                   LayerKind::Level,
                   {2, 2, 1, 0x84, 5, 0x81, 7, 0, 1, 0x84, 1, 0},
                   {5, 5, 5, 5},
                   true},
        DecodeCase{"ClipData",
                   LayerKind::Clip,
                   {3, 1, 1, 3, 0x10, 0x11, 0x12, 0},
                   {0x10, 0x11, 0x12},
                   false},
        DecodeCase{"ZeroCopyRunEmitsNothing",
                   LayerKind::Clip,
                   {3, 1, 1, 0x80, 9, 0x83, 4, 0},
                   {4, 4, 4},
                   false},
        // The games' own form: 16-bit big-endian counts, bit 15 a run.
        DecodeCase{"WordCountPasses",
                   LayerKind::Level,
                   {2, 2, 2, 0x80, 4, 7, 0, 0, 2, 0, 2, 1, 3, 0x80, 2, 0, 0, 0},
                   {0x107, 0x307, 0x007, 0x007},
                   false},
        DecodeCase{"WordCountClip",
                   LayerKind::Clip,
                   {4, 1, 2, 0, 2, 9, 8, 0x80, 2, 1, 0, 0},
                   {9, 8, 1, 1},
                   false},
        DecodeCase{"MixedPassForms",
                   LayerKind::Back,
                   {1, 3, 1, 3, 1, 2, 3, 0, 2, 0x80, 3, 0xFF, 0, 0},
                   {0xFF01, 0xFF02, 0xFF03},
                   false},
        DecodeCase{"TruncatedStreamKeepsWhatWasWritten",
                   LayerKind::Clip,
                   {4, 1, 1, 4, 1, 2},
                   {1, 2, 0, 0},
                   true},
        DecodeCase{
            "ShortPassLeavesZeros", LayerKind::Clip, {4, 1, 1, 0x82, 6, 0}, {6, 6, 0, 0}, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LayerDecode, RefusesAZeroSize) {
    for (const Bytes& stored : {Bytes{0, 3, 1, 0}, Bytes{3, 0, 1, 0}, Bytes{3}}) {
        auto result = DecodeStoredLayer(stored, LayerKind::Clip);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, ErrorKind::BadLayer);
    }
}

TEST(LayerDecode, ReportsTheStoredSize) {
    auto result =
        DecodeStoredLayer(Bytes{2, 2, 1, 0x84, 5, 0, 1, 0x84, 0, 0, 0xEE, 0xEE}, LayerKind::Level);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->storedSize, 10u);
}

// A plane decoder for the block form alone, to check RLComp's output independently.
Bytes ExpandBlocks(const Bytes& blocks) {
    Bytes out;
    for (size_t i = 0; i < blocks.size();) {
        const uint8_t count = blocks[i++];
        if (count & 0x80) {
            out.insert(out.end(), count & 0x7F, blocks[i++]);
        } else {
            out.insert(out.end(), blocks.begin() + static_cast<long>(i),
                       blocks.begin() + static_cast<long>(i + count));
            i += count;
        }
    }
    return out;
}

TEST(LayerEncode, WritesTypeOnePassesOfRLCompBytes) {
    RoomLayer layer(2, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            layer.SetCell(x, y, 5);
        }
    }
    auto encoded = EncodeStoredLayer(layer, LayerKind::Level, &RLComp);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded->bytes, (Bytes{2, 2, 1, 0x84, 5, 0, 1, 0x84, 0, 0}));
    EXPECT_EQ(encoded->planes, (std::vector<uint32_t>{2, 2}));
}

TEST(LayerEncode, StoresOnlyBitsZeroToNineOfTileCells) {
    RoomLayer layer(1, 1);
    layer.SetCell(0, 0, static_cast<int16_t>(0xFC05));
    auto encoded = EncodeStoredLayer(layer, LayerKind::Foreground, &RLComp);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(Decoded(encoded->bytes, LayerKind::Foreground).Cell(0, 0), 0x0005);
    layer.SetCell(0, 0, 0x0305);
    encoded = EncodeStoredLayer(layer, LayerKind::Foreground, &RLComp);
    EXPECT_EQ(Decoded(encoded->bytes, LayerKind::Foreground).Cell(0, 0), 0x0305);
}

TEST(LayerEncode, RefusesAZeroSize) {
    auto encoded = EncodeStoredLayer(RoomLayer(0, 4), LayerKind::Clip, &RLComp);
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.error().kind, ErrorKind::BadArgument);
}

// Encode with the library's RLComp, decode with the reader: random grids of random sizes,
// including the largest layer with incompressible content.
TEST(LayerRoundTrip, RandomGridsSurviveEncodeAndDecode) {
    std::mt19937 random(1234);
    struct Size {
        int width, height;
    };
    std::vector<Size> sizes = {{255, 255}, {1, 1}, {255, 1}, {1, 255}, {127, 3}, {128, 2}};
    for (int i = 0; i < 40; ++i) {
        sizes.push_back(
            {1 + static_cast<int>(random() % 255), 1 + static_cast<int>(random() % 64)});
    }
    for (const auto size : sizes) {
        for (LayerKind kind : {LayerKind::Level, LayerKind::Clip}) {
            RoomLayer layer(static_cast<uint8_t>(size.width), static_cast<uint8_t>(size.height));
            const bool runs = random() % 2 == 0;
            const int maximum = kind == LayerKind::Clip ? 256 : 1024;
            int value = 0;
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    if (!runs || random() % 8 == 0) {
                        value = static_cast<int>(random() % static_cast<unsigned>(maximum));
                    }
                    layer.SetCell(x, y, static_cast<int16_t>(value));
                }
            }
            auto encoded = EncodeStoredLayer(layer, kind, &RLComp);
            ASSERT_TRUE(encoded);
            const size_t planes = kind == LayerKind::Clip ? 1 : 2;
            EXPECT_EQ(encoded->bytes.size(),
                      2 + 2 * planes + encoded->planes[0] + (planes == 2 ? encoded->planes[1] : 0));
            auto decoded = DecodeStoredLayer(encoded->bytes, kind);
            ASSERT_TRUE(decoded);
            EXPECT_FALSE(decoded->warning);
            EXPECT_EQ(decoded->storedSize, encoded->bytes.size());
            ASSERT_EQ(decoded->layer, layer) << size.width << " x " << size.height;
        }
    }
}

TEST(LayerRoundTrip, RLCompOutputIsTheBlockFormOfThePlane) {
    std::mt19937 random(99);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes plane(random() % 600);
        for (auto& byte : plane) {
            byte = static_cast<uint8_t>(random() % 3 == 0 ? random() : 7);
        }
        Bytes blocks(plane.size() + plane.size() / 127 + 1);
        blocks.resize(RLComp(static_cast<uint32_t>(plane.size()), plane.data(), blocks.data()));
        EXPECT_EQ(ExpandBlocks(blocks), plane);
    }
}

} // namespace
} // namespace quarnel
