// The doors and scrolls of generated images of both games, read by the editor's core and by
// quarnel-cli, against the builder's description of what it wrote.

#include "doors/DoorData.h"
#include "doors/ScrollData.h"
#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace quarnel {
namespace {

using testing::Image;
using testing::TempFolder;

// Runs quarnel-cli with `arguments`; its standard output.
std::string RunCli(const std::string& arguments) {
    const std::string command = std::string(QUARNEL_BIN_DIR) + "/quarnel-cli " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) {
        out += buffer;
    }
    EXPECT_EQ(pipe != nullptr ? pclose(pipe) : -1, 0) << command;
    return out;
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// The line quarnel-cli doors prints for a stored record, worked out from its bytes.
std::string DoorLine(size_t index, const DoorBytes& b) {
    std::ostringstream line;
    line << Hex(static_cast<unsigned>(index)) << " type " << Hex(b[0]) << " room " << Hex(b[1])
         << " x " << Hex(b[2]) << "-" << Hex(b[3]) << " y " << Hex(b[4]) << "-" << Hex(b[5])
         << " to " << Hex(b[6]) << " exit " << int{static_cast<int8_t>(b[7])} << ","
         << int{static_cast<int8_t>(b[8])} << "\n";
    return line.str();
}

std::string ScrollLines(const std::vector<ScrollBytes>& scrolls) {
    std::ostringstream lines;
    lines << "count " << scrolls.size() << "\n";
    for (size_t i = 0; i < scrolls.size(); ++i) {
        const ScrollBytes& s = scrolls[i];
        lines << i << " x " << int{s[0]} << "-" << int{s[1]} << " y " << int{s[2]} << "-"
              << int{s[3]} << " break " << Hex(s[4]) << "," << Hex(s[5]) << " extend " << int{s[6]}
              << " " << Hex(s[7]) << "\n";
    }
    return lines.str();
}

class DoorsScrollsGenerated : public ::testing::TestWithParam<Image> {};

TEST_P(DoorsScrollsGenerated, CoreAndCommandLineAgreeWithTheBuilder) {
    const auto [game, seed] = GetParam();
    const SyntheticRom& built = testing::GeneratedRom(game, seed);
    TempFolder folder;
    const auto path = testing::WriteGeneratedRom(folder / "rom.gba", game, seed);
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    const Catalog catalog = LoadCatalog(*file, game);

    size_t rooms = 0;
    size_t stored = 0;
    for (size_t a = 0; a < built.areas.size(); ++a) {
        const SyntheticArea& area = built.areas[a];
        DoorState doors;
        ASSERT_TRUE(LoadAreaDoors(*file, catalog, static_cast<int>(a), doors)) << "area " << a;
        // All but the end record; Zero Mission's last area is read up to its fixed span.
        size_t count = area.doors.size() - 1;
        if (game == Game::ZM && a + 1 == built.areas.size()) {
            count = std::min<size_t>(count, kZmLayout.doorsInLastArea);
        }
        ASSERT_EQ(doors.AreaDoors.size(), count) << "area " << a;
        std::string expected;
        for (size_t d = 0; d < count; ++d) {
            EXPECT_EQ(doors.AreaDoors[d].ToBytes(), area.doors[d]) << "area " << a << " door " << d;
            expected += DoorLine(d, area.doors[d]);
        }
        EXPECT_EQ(RunCli("doors " + path.string() + " " + std::to_string(a)), expected);

        for (size_t r = 0; r < area.rooms.size() && r < 255; ++r, ++rooms) {
            auto scrolls = ReadRoomScrolls(*file, game, static_cast<int>(a), static_cast<int>(r));
            ASSERT_TRUE(scrolls) << "area " << a << " room " << r;
            const auto record = std::find_if(area.scrollRooms.begin(), area.scrollRooms.end(),
                                             [r](const auto& room) { return room.room == r; });
            ASSERT_EQ(scrolls->Stored, record != area.scrollRooms.end()) << a << "/" << r;
            if (record == area.scrollRooms.end()) {
                continue;
            }
            ++stored;
            EXPECT_EQ(scrolls->Offset, record->offset);
            ASSERT_EQ(scrolls->ScrollList.size(), record->scrolls.size());
            for (size_t s = 0; s < record->scrolls.size(); ++s) {
                EXPECT_EQ(scrolls->ScrollList[s].ToBytes(), record->scrolls[s]);
            }
        }
    }
    EXPECT_GT(stored, rooms / 2);
    EXPECT_LT(stored, rooms);

    // The command line on the first room with two scrolls and the first with none.
    const SyntheticArea& area0 = built.areas[0];
    const auto split = std::find_if(area0.scrollRooms.begin(), area0.scrollRooms.end(),
                                    [](const auto& room) { return room.scrolls.size() == 2; });
    ASSERT_NE(split, area0.scrollRooms.end());
    EXPECT_EQ(RunCli("scrolls " + path.string() + " 0 " + std::to_string(split->room)),
              ScrollLines(split->scrolls));
    for (size_t r = 0; r < area0.expectedRoomCount; ++r) {
        if (std::none_of(area0.scrollRooms.begin(), area0.scrollRooms.end(),
                         [r](const auto& room) { return room.room == r; })) {
            EXPECT_EQ(RunCli("scrolls " + path.string() + " 0 " + std::to_string(r)), "count 0\n");
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, DoorsScrollsGenerated,
                         ::testing::Values(Image{Game::ZM, 1}, Image{Game::MF, 3}),
                         testing::ImageName<::testing::TestParamInfo<Image>>);

} // namespace
} // namespace quarnel
