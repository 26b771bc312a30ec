// Room loading end to end on generated images: every room of both games loads without a
// problem and shows the picture an independent rendering of the builder's data gives; a ROM
// with a bad table is refused whole; no room past an area's list is loaded or saved.

#include "main/RoomLoading.h"

#include "common/ByteOrder.h"
#include "main/MapEditing.h"
#include "rom/GameTables.h"

#include "GeneratedRoms.h"
#include "ReferencePicture.h"
#include "SaveRig.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
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

INSTANTIATE_TEST_SUITE_P(Generated, EveryRoom,
                         ::testing::Values(Image{Game::ZM, 1}, Image{Game::MF, 1},
                                           Image{Game::ZM, 4}, Image{Game::MF, 4}),
                         testing::ImageName<::testing::TestParamInfo<Image>>);

// One fault in an otherwise good image, and how the open must name it (the detail's start).
struct BadTable {
    const char* name;
    Game game;
    std::function<void(std::vector<uint8_t>&)> patch;
    ErrorKind kind;
    std::string detail;
    std::optional<uint32_t> offset;
};

void Pointer(std::vector<uint8_t>& image, uint32_t at, uint32_t value) {
    StoreLe32(image, at, value);
}

class RefusedOpen : public ::testing::TestWithParam<BadTable> {};

TEST_P(RefusedOpen, NamesTheTableAndKeepsTheOpenRoom) {
    const BadTable& bad = GetParam();
    TempFolder folder;
    const auto good = testing::WriteGeneratedRom(folder / "good.gba", bad.game, 1);
    auto image = GeneratedRom(bad.game, 1).image;
    bad.patch(image);
    const auto path = folder.WriteFile("bad.gba", image);

    auto state = std::make_unique<EditorState>(folder / "os.bin");
    ASSERT_TRUE(OpenAtRoom(*state, good, 1, 2));
    ASSERT_TRUE(PaintCell(*state, LayerKind::Clip, 1, 1, 0x2D));
    const auto header = state->CurrentRoomHeader;
    const auto doors = state->Doors.AreaDoors;
    const auto tables = state->Tables.AreaTable;

    auto opened = OpenRomFile(*state, path);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().kind, bad.kind) << Describe(opened.error());
    EXPECT_EQ(opened.error().detail.substr(0, bad.detail.size()), bad.detail);
    EXPECT_EQ(opened.error().offset, bad.offset);
    EXPECT_EQ(state->RomPath, good);
    EXPECT_EQ(state->Tables.AreaTable, tables);
    EXPECT_EQ(state->Area, 1);
    EXPECT_EQ(state->Room, 2);
    EXPECT_EQ(state->CurrentRoomHeader, header);
    EXPECT_TRUE(state->Doors.AreaDoors == doors);
    EXPECT_EQ(state->ClipLayer.Cell(1, 1), 0x2D);
    EXPECT_TRUE(state->HasUnsavedChanges());
}

constexpr uint32_t kZmAreas = 0x75FAC4;
constexpr uint32_t kZmTilesets = 0x33DFDC;
constexpr uint32_t kZmAnimated = 0x35F948;
constexpr uint32_t kMfAreas = 0x79B8BC;

INSTANTIATE_TEST_SUITE_P(
    Tables, RefusedOpen,
    ::testing::Values(
        BadTable{"RoomTablePastTheEnd", Game::ZM,
                 [](auto& image) { Pointer(image, kZmAreas + 8, 0x08900000); },
                 ErrorKind::PointerOutOfRange,
                 "the room table of Norfair (area 2): pointer 0x8900000 lies past the end of "
                 "the file",
                 kZmAreas + 8},
        BadTable{"RoomHeadersPastTheEnd", Game::ZM,
                 [](auto& image) { Pointer(image, kZmAreas + 24, 0x087FFF00); },
                 ErrorKind::PointerOutOfRange,
                 "the 99 room headers of Chozodia (area 6) from 0x7FFF00 run past the end of "
                 "the file",
                 kZmAreas + 24},
        BadTable{"TilesetGraphics", Game::ZM,
                 [](auto& image) { Pointer(image, kZmTilesets + 5 * 20, 0x09000000); },
                 ErrorKind::PointerOutOfRange,
                 "tileset 5 graphics pointer 0x9000000 lies past the end of the file",
                 kZmTilesets + 5 * 20},
        BadTable{"LastTilesetBlockTable", Game::ZM,
                 [](auto& image) { Pointer(image, kZmTilesets + 78 * 20 + 12, 0x1234); },
                 ErrorKind::PointerOutOfRange,
                 "tileset 4E block table pointer 0x1234 is below 0x8000000",
                 kZmTilesets + 78 * 20 + 12},
        BadTable{"AnimatedFrames", Game::ZM,
                 [](auto& image) {
                     image[kZmAnimated + 8 + 2] = 4; // four frames, the last past the end
                     Pointer(image, kZmAnimated + 8 + 4, 0x087FFE80);
                 },
                 ErrorKind::PointerOutOfRange,
                 "animated graphics 1 frames pointer 0x87FFE80 lies past the end of the file",
                 kZmAnimated + 8 + 4},
        BadTable{"DoorTable", Game::ZM,
                 [](auto& image) { Pointer(image, 0x75FAA8 + 12, 0x08000010); },
                 ErrorKind::BadDoorTable, "area 2 door table spans -", 0x75FAA8 + 8},
        BadTable{"FusionRoomTable", Game::MF, [](auto& image) { Pointer(image, kMfAreas, 0x10); },
                 ErrorKind::PointerOutOfRange,
                 "the room table of Main Deck (area 0): pointer 0x10 is below 0x8000000", kMfAreas},
        BadTable{"FusionOneByteShort", Game::MF,
                 [](auto& image) { image.resize(kMfAreas + 40 - 1); }, ErrorKind::RomTooSmall,
                 "a Fusion ROM needs at least 0x79B8E4 bytes; this file has 0x79B8E3",
                 std::nullopt}),
    [](const auto& named) { return std::string(named.param.name); });

TEST(RoomSelection, NoRoomPastTheAreasListLoadsOrSaves) {
    testing::SaveRig rig(Game::ZM, [](const SyntheticRoom&) { return true; });
    const int rooms = RoomCount(rig.state.Tables, rig.area).count;
    const auto header = rig.state.CurrentRoomHeader;
    for (int room : {rooms, rooms + 1, 255, 256}) {
        const auto report = SelectRoom(rig.state, rig.area, room);
        EXPECT_FALSE(report.Loaded) << room;
        ASSERT_FALSE(report.Problems.empty());
        EXPECT_EQ(report.Problems[0].kind, ErrorKind::BadArgument);
        EXPECT_EQ(rig.state.Room, rig.room);
        EXPECT_EQ(rig.state.CurrentRoomHeader, header);
    }
    // A selection that points past the list, as the room box once made, saves nothing: its
    // header would be the next area's first.
    const auto before = rig.Bytes();
    rig.state.Room = rooms;
    rig.state.HeaderOffset += 60 * static_cast<uint32_t>(rooms - rig.room);
    rig.state.Edited = true;
    EXPECT_FALSE(rig.Save());
    EXPECT_EQ(rig.Bytes(), before);
}

} // namespace
} // namespace quarnel
