// The editor's readers against the builder's description of generated images: every table,
// header, layer and sprite list of both games and several seeds reads back as it was built.

#include "doors/DoorData.h"
#include "rom/Catalog.h"
#include "rom/GameDetection.h"
#include "rom/GameTables.h"
#include "rom/LayerCodec.h"
#include "rom/RomFile.h"
#include "sprites/SpriteLists.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using testing::GeneratedRom;
using testing::TempFolder;

using testing::Image;

class GeneratedImage : public ::testing::TestWithParam<Image> {
protected:
    void SetUp() override {
        path = testing::WriteGeneratedRom(folder / "rom.gba", GetParam().game, GetParam().seed);
    }
    const SyntheticRom& Built() const { return GeneratedRom(GetParam().game, GetParam().seed); }

    TempFolder folder;
    std::filesystem::path path;
};

TEST_P(GeneratedImage, CatalogMatchesTheBuiltTables) {
    auto game = DetectGame(path);
    ASSERT_TRUE(game);
    ASSERT_EQ(*game, GetParam().game);
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    const Catalog catalog = LoadCatalog(*file, *game);
    const auto& built = Built();
    ASSERT_EQ(catalog.AreaTable.size(), built.areas.size());
    for (size_t area = 0; area < built.areas.size(); ++area) {
        EXPECT_EQ(catalog.AreaTable[area], built.areas[area].roomTablePointer);
        EXPECT_EQ(RoomCount(catalog, static_cast<int>(area)).count,
                  built.areas[area].expectedRoomCount)
            << "area " << area;
        if (*game == Game::ZM) {
            EXPECT_EQ(catalog.DoorTablePointers[area], built.areas[area].doorTablePointer);
            // The list's closing record (type 0, room 0) is not a door of room 0; the last
            // area's list is read no further than its fixed count.
            DoorState doors;
            ASSERT_TRUE(LoadAreaDoors(*file, catalog, static_cast<int>(area), doors));
            const auto& stored = built.areas[area].doors;
            const size_t count =
                area + 1 == built.areas.size()
                    ? std::min<size_t>(stored.size() - 1, kZmLayout.doorsInLastArea)
                    : stored.size() - 1;
            ASSERT_EQ(doors.AreaDoors.size(), count) << "area " << area;
            for (size_t d = 0; d < doors.AreaDoors.size(); ++d) {
                EXPECT_EQ(doors.AreaDoors[d].ToBytes(), stored[d]);
            }
        }
    }
    ASSERT_GE(catalog.TilesetTable.size(), built.tilesets.size());
    for (size_t t = 0; t < built.tilesets.size(); ++t) {
        const auto& record = catalog.TilesetTable[t];
        EXPECT_EQ(record.Graphics, built.tilesets[t].graphicsPointer);
        EXPECT_EQ(record.Palette, built.tilesets[t].palettePointer);
        EXPECT_EQ(record.Third, built.tilesets[t].thirdPointer);
        EXPECT_EQ(record.Tsa, built.tilesets[t].blockTablePointer);
        EXPECT_EQ(record.Animation, built.tilesets[t].animation);
    }
    for (size_t i = 0; i < kAnimSlotCount && i < built.animatedGraphics.size(); ++i) {
        const auto& record = built.animatedGraphics[i].record;
        EXPECT_EQ(catalog.AnimatedGraphicsTable[i], AnimatedGraphicsRecord::FromBytes(record));
    }
    for (size_t m = 0; m < built.miniMaps.size(); ++m) {
        EXPECT_EQ(catalog.MiniMapPointers[m], built.miniMaps[m].pointer);
    }
}

TEST_P(GeneratedImage, EveryRoomReadsBackAsBuilt) {
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    const auto& built = Built();
    const Catalog catalog = LoadCatalog(*file, built.game);
    for (size_t area = 0; area < built.areas.size(); ++area) {
        const auto& rooms = built.areas[area].rooms;
        for (size_t r = 0; r < built.areas[area].expectedRoomCount; ++r) {
            SCOPED_TRACE("area " + std::to_string(area) + " room " + std::to_string(r));
            const auto& room = rooms[r];
            auto header =
                ReadRoomHeader(*file, catalog, static_cast<int>(area), static_cast<int>(r));
            ASSERT_TRUE(header);
            ASSERT_EQ(header->ToBytes(), room.header.ToBytes());
            const std::pair<LayerKind, const std::optional<RoomLayer>*> tileLayers[] = {
                {LayerKind::Foreground, &room.foreground},
                {LayerKind::Level, &room.level},
                {LayerKind::Back, &room.back}};
            for (const auto& [kind, layer] : tileLayers) {
                ASSERT_EQ(LayerPresent(*header, kind), layer->has_value());
                if (!layer->has_value()) {
                    continue;
                }
                auto read = ReadLayer(*file, LayerPointer(*header, kind), kind);
                ASSERT_TRUE(read) << Describe(read.error());
                EXPECT_FALSE(read->warning);
                ASSERT_EQ(read->layer, **layer) << LayerName(kind);
            }
            auto clip = ReadLayer(*file, header->ClipDataPointer, LayerKind::Clip);
            ASSERT_TRUE(clip);
            EXPECT_FALSE(clip->warning);
            ASSERT_EQ(clip->layer, room.clip);

            SpriteLists lists;
            const auto refused = LoadRoomSprites(*file, *header, lists);
            for (int list = 0; list < 3; ++list) {
                ASSERT_FALSE(refused[static_cast<size_t>(list)]);
                const auto& expected = room.spriteLists[static_cast<size_t>(list)];
                ASSERT_EQ(lists.List(list).size(), expected.size());
                for (size_t i = 0; i < expected.size(); ++i) {
                    EXPECT_EQ(lists.List(list)[i].Y, expected[i][0]);
                    EXPECT_EQ(lists.List(list)[i].X, expected[i][1]);
                    EXPECT_EQ(lists.List(list)[i].SpriteNumber, expected[i][2]);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, GeneratedImage,
                         ::testing::Values(Image{Game::ZM, 1}, Image{Game::ZM, 2},
                                           Image{Game::ZM, 7}, Image{Game::MF, 1},
                                           Image{Game::MF, 2}, Image{Game::MF, 7}),
                         testing::ImageName<::testing::TestParamInfo<Image>>);

} // namespace
} // namespace quarnel
