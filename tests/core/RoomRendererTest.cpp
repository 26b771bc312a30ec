#include "graphics/RoomRenderer.h"

#include <gtest/gtest.h>

#include <random>

namespace quarnel {
namespace {

constexpr uint32_t kRed = 0xFFF80000;
constexpr uint32_t kGreen = 0xFF00F800;
constexpr uint32_t kBlue = 0xFF0000F8;
constexpr uint32_t kMark = 0xFF123456;

// Block 1 is solid red, block 2 green on its right half, block 3 blue on its bottom half;
// every other block v has a colour of its own with a black diagonal.
const Surface& PicTsa() {
    static const Surface pic = [] {
        Surface s(256, 1024);
        for (int y = 0; y < 1024; ++y) {
            for (int x = 0; x < 256; ++x) {
                const int v = (y / 16) * 16 + x / 16;
                const int i = x % 16, j = y % 16;
                const uint32_t own =
                    i == j ? kBlack : MakePixel(static_cast<uint32_t>(v), 7 * j, i);
                const uint32_t special[] = {own, kRed, i >= 8 ? kGreen : kBlack,
                                            j >= 8 ? kBlue : kBlack};
                s.SetPixel(x, y, v < 4 && v > 0 ? special[v] : own);
            }
        }
        return s;
    }();
    return pic;
}

struct Room {
    RoomLayer foreground, level, back;
    RoomScene Scene(LayerVisibility shown) const {
        return {foreground, level, back, PicTsa(), shown};
    }
};

constexpr LayerVisibility kAll{true, true, true};

TEST(RoomPicture, ComposesBackLevelForegroundWithBlackTransparent) {
    Room room{RoomLayer(2, 2), RoomLayer(2, 2), RoomLayer(2, 2)};
    room.back.SetCell(0, 0, 1);
    room.level.SetCell(0, 0, 2);
    room.foreground.SetCell(0, 0, 3);
    struct Case {
        LayerVisibility shown;
        uint32_t topLeft, topRight, bottomRight;
    };
    Surface picture;
    for (const Case& c :
         {Case{kAll, kRed, kGreen, kBlue}, Case{{false, true, true}, kBlack, kGreen, kBlue},
          Case{{true, false, true}, kRed, kRed, kBlue},
          Case{{true, true, false}, kRed, kGreen, kGreen},
          Case{{false, false, false}, kBlack, kBlack, kBlack}}) {
        picture.SetPixel(0, 0, kMark);
        DrawRoom(picture, DrawTarget::LargeMap, room.Scene(c.shown));
        ASSERT_EQ(picture.Width(), 32);
        EXPECT_EQ(picture.Pixel(0, 0), c.topLeft);
        EXPECT_EQ(picture.Pixel(15, 0), c.topRight);
        EXPECT_EQ(picture.Pixel(15, 15), c.bottomRight);
    }
}

struct SizeCase {
    int width, height, pixelsWide, pixelsHigh, hMax, vMax;
};

class PictureSizing : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PictureSizing, FollowsTheLevelLayer) {
    const SizeCase& c = GetParam();
    Room room{{}, RoomLayer(static_cast<uint8_t>(c.width), static_cast<uint8_t>(c.height)), {}};
    Surface picture(5, 5);
    const auto layout = DrawRoom(picture, DrawTarget::MainMap, room.Scene(kAll));
    ASSERT_TRUE(layout);
    EXPECT_EQ(picture.Width(), c.pixelsWide);
    EXPECT_EQ(picture.Height(), c.pixelsHigh);
    EXPECT_EQ(layout->Horizontal.Maximum, c.hMax);
    EXPECT_EQ(layout->Vertical.Maximum, c.vMax);
    EXPECT_EQ(layout->Horizontal.Enabled, c.hMax > 0);
    EXPECT_EQ(layout->Vertical.Enabled, c.vMax > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rooms, PictureSizing,
    ::testing::Values(SizeCase{25, 17, 400, 272, 0, 0}, SizeCase{27, 19, 432, 304, 2, 2},
                      SizeCase{26, 18, 416, 288, 1, 1}, SizeCase{40, 20, 640, 320, 15, 3},
                      SizeCase{0, 0, 0, 0, -25, -17}, SizeCase{255, 255, 4080, 4080, 230, 238}),
    [](const auto& size) {
        return std::to_string(size.param.width) + "x" + std::to_string(size.param.height);
    });

TEST(RoomPicture, SizesBeforeDrawingAndKeepsTheSizeWithoutTheLevel) {
    Surface picture;
    Room small{{}, RoomLayer(3, 3), RoomLayer(3, 3)};
    DrawRoom(picture, DrawTarget::MainMap, small.Scene(kAll));
    // A larger room's back layer reaches the new picture's far corner.
    Room large{{}, RoomLayer(10, 8), RoomLayer(10, 8)};
    large.back.SetCell(8, 6, 1);
    large.back.SetCell(0, 0, -1); // negative cells and values past 1023 draw nothing
    large.back.SetCell(1, 0, 1024);
    DrawRoom(picture, DrawTarget::MainMap, large.Scene(kAll));
    ASSERT_EQ(picture.Width(), 160);
    ASSERT_EQ(picture.Height(), 128);
    EXPECT_EQ(picture.Pixel(143, 111), kRed);
    EXPECT_EQ(picture.Pixel(0, 0), kBlack);
    EXPECT_EQ(picture.Pixel(31, 15), kBlack);
    // The level view off: the size stays, though this room's level has another size.
    Room other{{}, RoomLayer(30, 30), RoomLayer(30, 30)};
    other.back.SetCell(8, 6, 3);
    EXPECT_FALSE(DrawRoom(picture, DrawTarget::MainMap, other.Scene({true, false, true})));
    EXPECT_EQ(picture.Width(), 160);
    EXPECT_EQ(picture.Pixel(143, 111), kBlue);
    EXPECT_EQ(picture.Pixel(143, 96), kBlack);
    // Other targets draw into no picture but still report the layout.
    picture.SetPixel(0, 0, kMark);
    const auto layout = DrawRoom(picture, static_cast<DrawTarget>(30), other.Scene(kAll));
    EXPECT_EQ(layout->Width, 480);
    EXPECT_EQ(picture.Pixel(0, 0), kMark);
    // Without a level layer the picture takes the largest width and height present.
    const RoomLayer tall(6, 40);
    const RoomLayer* present[] = {&large.back, nullptr, &tall};
    EXPECT_EQ(LargestLayerLayout(present).Width, 10 * 16);
    EXPECT_EQ(LargestLayerLayout(present).Height, 40 * 16);
}

bool SamePixels(const Surface& a, const Surface& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Pixels().begin(), a.Pixels().end(), b.Pixels().begin());
}

TEST(RoomPicture, CellRedrawsMatchAFullDrawAfterRandomPaints) {
    std::mt19937 random(11);
    const auto block = [&random] { // mostly drawn blocks, some negative or past 1023
        return static_cast<int16_t>(static_cast<int>(random() % 1100) - 40);
    };
    // The back layer smaller and the foreground larger than the level.
    Room room{RoomLayer(34, 25), RoomLayer(30, 20), RoomLayer(18, 12)};
    for (RoomLayer* layer : {&room.foreground, &room.level, &room.back}) {
        for (int16_t& cell : layer->Grid) {
            cell = block();
        }
    }
    for (const LayerVisibility shown : {kAll, LayerVisibility{true, true, false}}) {
        const RoomScene scene = room.Scene(shown);
        Surface painted;
        DrawRoom(painted, DrawTarget::MainMap, scene);
        Surface layered(painted.Width(), painted.Height()); // the layer-by-layer meaning
        DrawBackLayer(layered, room.back, PicTsa());
        DrawLevelLayer(layered, room.level, PicTsa());
        if (shown.Foreground) {
            DrawForegroundLayer(layered, room.foreground, PicTsa());
        }
        ASSERT_TRUE(SamePixels(painted, layered));
        for (int paint = 0; paint < 300; ++paint) {
            RoomLayer* layers[] = {&room.foreground, &room.level, &room.back};
            RoomLayer& layer = *layers[random() % 3];
            const int x = static_cast<int>(random() % layer.Width);
            const int y = static_cast<int>(random() % layer.Height);
            layer.SetCell(x, y, block());
            RedrawCell(painted, DrawTarget::MainMap, scene, x, y);
            if (paint % 50 == 49) {
                Surface full;
                DrawRoom(full, DrawTarget::MainMap, scene);
                ASSERT_TRUE(SamePixels(painted, full)) << paint;
            }
        }
    }
}

} // namespace
} // namespace quarnel
