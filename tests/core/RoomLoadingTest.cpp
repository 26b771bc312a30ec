// Room loading end to end on generated images: every room of both games loads without a
// problem and shows the picture an independent rendering of the builder's data gives, in a
// fresh editor and after any other room.

#include "main/RoomLoading.h"
#include "main/MapEditing.h"

#include "GeneratedRoms.h"
#include "ReferencePicture.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace quarnel {
namespace {

using testing::GeneratedRom;
using testing::TempFolder;

using testing::Image;

bool SamePicture(const Surface& picture, const testing::ReferenceImage& expected) {
    if (picture.Width() != expected.width || picture.Height() != expected.height) {
        ADD_FAILURE() << "picture " << picture.Width() << " x " << picture.Height() << ", expected "
                      << expected.width << " x " << expected.height;
        return false;
    }
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const uint32_t want = expected.pixels[static_cast<size_t>(y * expected.width + x)];
            if (picture.Pixel(x, y) != want) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << picture.Pixel(x, y) << ", expected " << want;
                return false;
            }
        }
    }
    return true;
}

class EveryRoom : public ::testing::TestWithParam<Image> {};

TEST_P(EveryRoom, LoadsCleanlyAndShowsTheBuiltRoom) {
    const auto& built = GeneratedRom(GetParam().game, GetParam().seed);
    TempFolder folder;
    const auto path = testing::WriteGeneratedRom(folder / "rom.gba", built.game, built.seed);
    for (size_t area = 0; area < built.areas.size(); ++area) {
        for (size_t room = 0; room < built.areas[area].expectedRoomCount; ++room) {
            SCOPED_TRACE("area " + std::to_string(area) + " room " + std::to_string(room));
            auto state = std::make_unique<EditorState>(folder / "os.bin");
            auto problems =
                OpenAtRoom(*state, path, static_cast<int>(area), static_cast<int>(room));
            ASSERT_TRUE(problems) << Describe(problems.error());
            for (const auto& problem : *problems) {
                ADD_FAILURE() << Describe(problem);
            }
            const auto& expected = built.areas[area].rooms[room];
            ASSERT_EQ(state->CurrentRoomHeader, expected.header);
            EXPECT_EQ(state->Switches.ViewLevel.Ticked, expected.level.has_value());
            EXPECT_EQ(state->Switches.EnableLevel, !expected.level.has_value());
            EXPECT_EQ(state->ClipLayer, expected.clip);
            ASSERT_TRUE(SamePicture(state->MapPicture,
                                    testing::ReferenceRoomPicture(built, static_cast<int>(area),
                                                                  static_cast<int>(room))));
        }
    }
}

// One editor walks every room backwards, so each room follows rooms of other tilesets: the
// picture is the room's own (no animation tiles of an earlier tileset stay behind), every
// stored cell is shown, and only stored cells can be painted.
TEST_P(EveryRoom, PictureDependsOnTheRoomAlone) {
    const auto& built = GeneratedRom(GetParam().game, GetParam().seed);
    TempFolder folder;
    const auto path = testing::WriteGeneratedRom(folder / "rom.gba", built.game, built.seed);
    auto state = std::make_unique<EditorState>(folder / "os.bin");
    ASSERT_TRUE(OpenAtRoom(*state, path, 0, 0));
    for (size_t area = built.areas.size(); area-- > 0;) {
        SelectArea(*state, static_cast<int>(area));
        for (size_t room = built.areas[area].expectedRoomCount; room-- > 0;) {
            SCOPED_TRACE("area " + std::to_string(area) + " room " + std::to_string(room));
            ASSERT_TRUE(SelectRoom(*state, static_cast<int>(area), static_cast<int>(room)).Loaded);
            ASSERT_TRUE(SamePicture(state->MapPicture,
                                    testing::ReferenceRoomPicture(built, static_cast<int>(area),
                                                                  static_cast<int>(room))));
        }
    }
    const RoomLayer& clip = state->ClipLayer;
    EXPECT_TRUE(PaintCell(*state, LayerKind::Clip, clip.Width - 1, clip.Height - 1, 0x11));
    EXPECT_FALSE(PaintCell(*state, LayerKind::Clip, clip.Width, 0, 0x11)) << "spare column";
    EXPECT_FALSE(PaintCell(*state, LayerKind::Clip, 0, clip.Height, 0x11)) << "spare row";
}

INSTANTIATE_TEST_SUITE_P(Generated, EveryRoom,
                         ::testing::Values(Image{Game::ZM, 1}, Image{Game::MF, 1},
                                           Image{Game::ZM, 4}, Image{Game::MF, 4}),
                         testing::ImageName<::testing::TestParamInfo<Image>>);

} // namespace
} // namespace quarnel
