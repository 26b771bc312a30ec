#include "rom/Catalog.h"
#include "dumps/RoomDump.h"
#include "rom/GameTables.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

Catalog WithAreas(Game game, std::vector<uint32_t> table) {
    Catalog catalog;
    catalog.game = game;
    catalog.AreaTable = std::move(table);
    return catalog;
}

struct CountCase {
    Game game;
    int area;
    std::vector<uint32_t> table;
    int count;
    bool fallback;
};

class RoomCounting : public ::testing::TestWithParam<CountCase> {};

TEST_P(RoomCounting, FollowsTheRules) {
    const auto& c = GetParam();
    const auto answer = RoomCount(WithAreas(c.game, c.table), c.area);
    EXPECT_EQ(answer.count, c.count);
    EXPECT_EQ(answer.fallback, c.fallback);
}

constexpr uint32_t kBase = 0x08100000;

INSTANTIATE_TEST_SUITE_P(
    Areas, RoomCounting,
    ::testing::Values(
        CountCase{Game::ZM, 0, {kBase, kBase + 1140, 0, 0, 0, 0, 0}, 19, false},
        CountCase{Game::ZM, 0, {kBase, kBase + 90, 0, 0, 0, 0, 0}, 2, false},  // 1.5 -> 2
        CountCase{Game::ZM, 0, {kBase, kBase + 150, 0, 0, 0, 0, 0}, 2, false}, // 2.5 -> 2
        CountCase{Game::ZM, 0, {kBase, kBase + 210, 0, 0, 0, 0, 0}, 4, false}, // 3.5 -> 4
        CountCase{Game::ZM, 0, {kBase, kBase + 89, 0, 0, 0, 0, 0}, 1, false},
        CountCase{Game::ZM, 0, {kBase, kBase + 255 * 60 + 29, 0, 0, 0, 0, 0}, 255, false},
        CountCase{Game::ZM, 0, {kBase, kBase + 255 * 60 + 30, 0, 0, 0, 0, 0}, 99, true},
        CountCase{Game::ZM, 0, {kBase, kBase - 60, 0, 0, 0, 0, 0}, 99, true},
        CountCase{Game::ZM, 0, {kBase, kBase - 30, 0, 0, 0, 0, 0}, 0, false}, // -0.5 -> 0
        CountCase{Game::ZM, 6, {0, 0, 0, 0, 0, 0, kBase}, 99, true},
        CountCase{Game::MF, 9, {0, 0, 0, 0, 0, 0, 0, 0, 0, kBase}, 3, true},
        CountCase{Game::MF, 4, {0, 0, 0, 0, kBase, kBase + 60, 0, 0, 0, 0}, 48, false},
        CountCase{Game::MF, 3, {0, 0, 0, kBase, kBase + 600, 0, 0, 0, 0, 0}, 10, false}));

TEST(Catalog, NamesTheAreas) {
    EXPECT_EQ(AreaNames(Game::ZM).size(), 7u);
    EXPECT_EQ(AreaNames(Game::ZM)[6], "Chozodia");
    EXPECT_EQ(AreaNames(Game::MF)[4], "AQA");
    EXPECT_TRUE(AreaNames(Game::None).empty());
    EXPECT_EQ(RoomCount(Catalog{}, 0).count, 0);
}

TEST(Catalog, LocatesRoomHeadersInsideTheFile) {
    const auto catalog = WithAreas(Game::ZM, {0x08000100, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(RoomHeaderOffset(catalog, 0, 0, 0x1000).value(), 0x100u);
    EXPECT_EQ(RoomHeaderOffset(catalog, 0, 2, 0x1000).value(), 0x100u + 120);
    EXPECT_FALSE(RoomHeaderOffset(catalog, 0, 255, 0x1000)); // past the end of the file
    EXPECT_FALSE(RoomHeaderOffset(catalog, 1, 0, 0x1000));   // a null table pointer
    EXPECT_FALSE(RoomHeaderOffset(catalog, 7, 0, 0x1000));
}

TEST(RoomHeader, EveryByteSurvivesAReadWriteCycle) {
    RoomHeader::Bytes bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(0x80 + 7 * i);
    }
    const auto header = RoomHeader::FromBytes(bytes);
    EXPECT_EQ(header.ToBytes(), bytes);
    EXPECT_EQ(header.Music, bytes[58]);
    EXPECT_EQ(header.ClipDataPointer, static_cast<uint32_t>(bytes[20] | bytes[21] << 8 |
                                                            bytes[22] << 16 | bytes[23] << 24));
}

TEST(RoomDump, PrintsTheLabelledFields) {
    RoomHeader::Bytes bytes{};
    bytes[4] = 0x40;
    bytes[5] = 0x01; // BG3Props 0x140
    bytes[30] = 0xFF;
    bytes[31] = 0xFF; // Separator -1
    bytes[8] = 0x34;
    bytes[11] = 0x88; // a pointer with its top bit set
    const auto lines = RoomDumpLines(RoomHeader::FromBytes(bytes), 0x100);
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[0], "Room Offset: 101");
    EXPECT_EQ(lines[5], "Background 3: 140");
    EXPECT_EQ(lines[6], "Foreground    Address: 88000034");
    EXPECT_EQ(lines[13], "Separator            : FFFF");
    EXPECT_EQ(lines[22], "Separator            : 0");
    EXPECT_EQ(lines[27], "Music                : 0");
}

} // namespace
} // namespace quarnel
