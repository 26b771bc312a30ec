// The three dumps of generated images of both games, compared byte for byte with files written
// here from the raw image; a file that cannot be written stops the dump; a dump can be cancelled.

#include "dumps/Dumps.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using Files = std::map<std::filesystem::path, std::string>; // relative path -> content

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

uint32_t Le(const std::vector<uint8_t>& image, uint64_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        value |= at + i < image.size() ? uint32_t{image[at + i]} << (8 * i) : 0;
    }
    return value;
}

std::string Text(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The room dump's files, from the image: per area the rooms the distance to the next table
// holds (rounded, halves to even), the last area 99 (ZM) or 3 (MF).
Files ExpectedRooms(const SyntheticRom& rom) {
    const auto game = std::string(GameCodeText(rom.game));
    Files files;
    for (size_t a = 0; a < rom.areas.size(); ++a) {
        const uint32_t table = rom.areas[a].roomTablePointer - kGbaRomBase;
        int count = rom.game == Game::ZM ? 99 : 3;
        if (a + 1 < rom.areas.size()) {
            const int64_t distance =
                int64_t{rom.areas[a + 1].roomTablePointer} - rom.areas[a].roomTablePointer;
            const int64_t whole = distance / 60;
            const int64_t rest = distance % 60;
            count = static_cast<int>(whole + (rest > 30 || (rest == 30 && whole % 2 == 1)));
        }
        for (int r = 0; r < count; ++r) {
            const uint64_t at = table + 60 * uint64_t(r);
            const auto f = [&](size_t offset, size_t width) {
                return Hex(Le(rom.image, at + offset, width));
            };
            files[std::filesystem::path("Header") / game / "Room" / ("Area" + std::to_string(a)) /
                  ("Room" + Hex(r) + ".txt")] = Text({"Room Offset: " + Hex(at + 1),
                                                      "Tileset: " + f(0, 1),
                                                      "Background 0: " + f(1, 1),
                                                      "Background 1: " + f(2, 1),
                                                      "Background 2: " + f(3, 1),
                                                      "Background 3: " + f(4, 4),
                                                      "Foreground    Address: " + f(8, 4),
                                                      "Level         Address: " + f(12, 4),
                                                      "Background    Address: " + f(16, 4),
                                                      "ClipData      Address: " + f(20, 4),
                                                      "Background Image Data Address: " + f(24, 4),
                                                      "???????              : " + f(28, 1),
                                                      "???????              : " + f(29, 1),
                                                      "Separator            : " + f(30, 2),
                                                      "Sprites Pointer 1    : " + f(32, 4),
                                                      "Sprite Index1        : " + f(36, 1),
                                                      "Event Switch1        : " + f(37, 1),
                                                      "Separator2           : " + f(38, 2),
                                                      "Sprite Pointer  2    : " + f(40, 4),
                                                      "Sprite Index2 Address: " + f(44, 1),
                                                      "Event Switch2        : " + f(45, 1),
                                                      "Sprite Pointer  3    : " + f(48, 4),
                                                      "Separator            : " + f(55, 1),
                                                      "MiniMap X  Position  : " + f(53, 1),
                                                      "MiniMap Y  Position  : " + f(54, 1),
                                                      "Tide                 : " + f(56, 1),
                                                      "Room Effect          : " + f(57, 1),
                                                      "Music                : " + f(58, 1)});
        }
    }
    return files;
}

// The two tileset dumps' files, from the image: every record of the table the editor reads
// (81 for ZM, 98 for MF); a block table whose pointer leads outside the image gets no file.
Files ExpectedTilesets(const SyntheticRom& rom, bool pointers) {
    const GameLayout& layout = *LayoutOf(rom.game);
    const auto folder = std::filesystem::path("Header") / std::string(GameCodeText(rom.game)) /
                        "Tilesets" / (pointers ? "Tileset_Pointer_List" : "Tileset");
    Files files;
    for (uint32_t t = 0; t < layout.tilesetCount; ++t) {
        const uint64_t record = layout.tilesetTable + 20 * uint64_t{t};
        const auto name = folder / ("Tileset" + Hex(t) + ".txt");
        if (pointers) {
            files[name] = Text({"Tiles: " + Hex(Le(rom.image, record, 4)),
                                "Palette: " + Hex(Le(rom.image, record + 4, 4)),
                                "Background: " + Hex(Le(rom.image, record + 8, 4)),
                                "Main: " + Hex(Le(rom.image, record + 12, 4)),
                                "Special Effect: " + Hex(Le(rom.image, record + 16, 4))});
            continue;
        }
        const uint32_t main = Le(rom.image, record + 12, 4);
        if (main < kGbaRomBase || main - kGbaRomBase >= rom.image.size()) {
            continue;
        }
        const uint64_t at = main - kGbaRomBase;
        std::vector<std::string> lines{"Group: " + Hex(Le(rom.image, at, 2)),
                                       "Start TSA Block Dump:"};
        for (uint64_t w = 1; w < 20237; ++w) {
            lines.push_back(Hex(Le(rom.image, at + 2 * w, 2)));
        }
        files[name] = Text(lines);
    }
    return files;
}

Files WrittenFiles(const std::filesystem::path& root) {
    Files files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            const auto bytes = ReadWholeFile(entry.path());
            files[std::filesystem::relative(entry.path(), root)] =
                std::string(bytes.begin(), bytes.end());
        }
    }
    return files;
}

class DumpsTest : public ::testing::TestWithParam<Game> {
protected:
    TempFolder folder;
    std::filesystem::path path = testing::WriteGeneratedRom(folder / "rom.gba", GetParam(), 1);
    const SyntheticRom& rom = testing::GeneratedRom(GetParam(), 1);
    RomFile file = RomFile::Open(path, OpenMode::Read).value();
    Catalog catalog = LoadCatalog(file, GetParam());

    void ExpectSame(const Files& written, const Files& expected) {
        ASSERT_EQ(written.size(), expected.size());
        for (const auto& [name, content] : expected) {
            ASSERT_TRUE(written.contains(name)) << name;
            EXPECT_TRUE(written.at(name) == content) << name;
        }
    }
};

TEST_P(DumpsTest, WriteTheFilesByteForByte) {
    const auto rooms = folder / "rooms";
    auto dumped = DumpRooms(file, catalog, rooms);
    ASSERT_TRUE(dumped) << Describe(dumped.error());
    ExpectSame(WrittenFiles(rooms), ExpectedRooms(rom));

    const auto tilesets = folder / "tilesets";
    dumped = DumpTilesets(file, catalog, tilesets);
    ASSERT_TRUE(dumped) << Describe(dumped.error());
    const Files expected = ExpectedTilesets(rom, false);
    ExpectSame(WrittenFiles(tilesets), expected);
    EXPECT_EQ(dumped->skipped.size(), LayoutOf(GetParam())->tilesetCount - expected.size());

    const auto pointers = folder / "pointers";
    ASSERT_TRUE(DumpTilesetPointers(catalog, pointers));
    ExpectSame(WrittenFiles(pointers), ExpectedTilesets(rom, true));
}

TEST_P(DumpsTest, StopsAtAFileItCannotWriteAndCanBeCancelled) {
    const auto root = folder / "dump";
    const auto area0 = DumpFolder(root, GetParam(), DumpKind::Rooms) / "Area0";
    std::filesystem::create_directories(area0 / "Room3.txt"); // a folder where a file goes
    auto failed = DumpRooms(file, catalog, root);
    ASSERT_FALSE(failed);
    EXPECT_NE(Describe(failed.error()).find("Room3.txt"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(area0 / "Room2.txt"));
    EXPECT_FALSE(std::filesystem::exists(area0 / "Room4.txt"));

    const auto cancelled = folder / "cancelled";
    auto stopped =
        DumpTilesetPointers(catalog, cancelled, [](size_t done, size_t) { return done < 5; });
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(stopped->cancelled);
    EXPECT_EQ(WrittenFiles(cancelled).size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(BothGames, DumpsTest, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

} // namespace
} // namespace quarnel
