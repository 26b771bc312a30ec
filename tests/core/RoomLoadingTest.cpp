// Room loading end to end on generated images: every room of both games loads without a
// problem and shows the picture an independent rendering of the builder's data gives, in a
// fresh editor and after any other room; a ROM with a bad table is refused whole; no room past
// an area's list is loaded or saved.

#include "main/RoomLoading.h"

#include "common/ByteOrder.h"
#include "main/MapEditing.h"

#include "GeneratedRoms.h"
#include "ReferencePicture.h"
#include "SaveRig.h"
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

// One pointer of a good image changed, and how the open must name it (the detail's start).
struct BadTable {
    const char* name;
    Game game;
    uint32_t at;
    uint32_t pointer;
    ErrorKind kind;
    std::string detail;
    uint32_t offset;
};

class RefusedOpen : public ::testing::TestWithParam<BadTable> {};

TEST_P(RefusedOpen, NamesTheTableAndKeepsTheOpenRoom) {
    const BadTable& bad = GetParam();
    TempFolder folder;
    const auto good = testing::WriteGeneratedRom(folder / "good.gba", bad.game, 1);
    auto image = GeneratedRom(bad.game, 1).image;
    StoreLe32(image, bad.at, bad.pointer);
    auto state = std::make_unique<EditorState>(folder / "os.bin");
    ASSERT_TRUE(OpenAtRoom(*state, good, 1, 2));
    ASSERT_TRUE(PaintCell(*state, LayerKind::Clip, 1, 1, 0x2D));

    auto opened = OpenRomFile(*state, folder.WriteFile("bad.gba", image));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().kind, bad.kind) << Describe(opened.error());
    EXPECT_EQ(opened.error().detail.substr(0, bad.detail.size()), bad.detail);
    EXPECT_EQ(opened.error().offset, bad.offset);
    EXPECT_EQ(state->RomPath, good);
    EXPECT_EQ(state->Room, 2);
    EXPECT_EQ(state->ClipLayer.Cell(1, 1), 0x2D);
    EXPECT_TRUE(state->HasUnsavedChanges());
}

// Chozodia's 99 headers; tileset 5's graphics; animated graphics 1's four frames; the door
// table after area 2's, moved before it; Main Deck's room table.
INSTANTIATE_TEST_SUITE_P(
    Tables, RefusedOpen,
    ::testing::Values(
        BadTable{"RoomHeaders", Game::ZM, 0x75FADC, 0x087FFF00, ErrorKind::PointerOutOfRange,
                 "the 99 room headers of Chozodia (area 6) from 0x7FFF00 run past the end",
                 0x75FADC},
        BadTable{"TilesetGraphics", Game::ZM, 0x33E040, 0x09000000, ErrorKind::PointerOutOfRange,
                 "tileset 5 graphics pointer 0x9000000 lies past the end of the file", 0x33E040},
        BadTable{"AnimatedFrames", Game::ZM, 0x35F954, 0x087FFE80, ErrorKind::PointerOutOfRange,
                 "animated graphics 1 frames pointer 0x87FFE80 lies past the end", 0x35F954},
        BadTable{"DoorTable", Game::ZM, 0x75FAB4, 0x08000010, ErrorKind::BadDoorTable,
                 "area 2 door table", 0x75FAB0},
        BadTable{"FusionRoomTable", Game::MF, 0x79B8BC, 0x10, ErrorKind::PointerOutOfRange,
                 "the room table of Main Deck (area 0): pointer 0x10 is below", 0x79B8BC}),
    [](const auto& named) { return std::string(named.param.name); });

TEST(RoomSelection, NoRoomPastTheAreasListLoadsOrSaves) {
    testing::SaveRig rig(Game::ZM, [](const SyntheticRoom&) { return true; });
    const int rooms = RoomCount(rig.state.Tables, rig.area).count;
    for (int room : {rooms, 255, 256}) {
        const auto report = SelectRoom(rig.state, rig.area, room);
        EXPECT_FALSE(report.Loaded) << room;
        EXPECT_EQ(rig.state.Room, rig.room);
    }
    // A selection past the list, as the room box once made, saves nothing: its header would
    // be the next area's first.
    const auto before = rig.Bytes();
    rig.state.Room = rooms;
    rig.state.HeaderOffset += 60 * static_cast<uint32_t>(rooms - rig.room);
    rig.state.Edited = true;
    EXPECT_FALSE(rig.Save());
    EXPECT_EQ(rig.Bytes(), before);
}

} // namespace
} // namespace quarnel
