// The music viewer's fields on generated images of both games, against the builder's records,
// song table and song headers; and a file cut short, where what lies past its end shows as
// "outside the file".

#include "side/MusicView.h"
#include "common/ByteOrder.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quarnel {
namespace {

using testing::TempFolder;

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// The lines the viewer should give for song m, read here from the raw image: a value is shown
// only when all its bytes lie inside `size` bytes of the image.
std::vector<std::string> ExpectedLines(const std::vector<uint8_t>& image, size_t size,
                                       uint32_t songTable, uint32_t m) {
    const auto value = [&](uint64_t at, size_t width) -> std::optional<uint32_t> {
        if (at + width > size) {
            return std::nullopt;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < width; ++i) {
            v |= uint32_t{image[at + i]} << (8 * i);
        }
        return v;
    };
    const auto shown = [](std::optional<uint32_t> v) {
        return v ? Hex(*v) : std::string("outside the file");
    };
    std::vector<std::string> lines;
    const uint64_t record = LoadLe32(image, kMusicTablePointer) - kGbaRomBase + 12 * uint64_t{m};
    const std::pair<int, size_t> boxes[] = {{0, 1}, {1, 1}, {2, 2},  {-1, 0},
                                            {4, 4}, {9, 1}, {10, 1}, {11, 1}};
    for (int box = 0; box < 8; ++box) {
        const auto [at, width] = boxes[box];
        lines.push_back("Text" + std::to_string(box + 1) + " " +
                        (at < 0 ? std::string("Text4") : shown(value(record + at, width))));
    }
    lines.push_back("Label1 " + Hex(m));
    const auto header = value(songTable + 8 * uint64_t{m}, 4);
    lines.push_back("Header " + shown(header));
    const uint64_t at = header.value_or(0xFFFFFFFF) - kGbaRomBase;
    const auto tracks = value(at, 1);
    lines.push_back("Tracks " + shown(tracks));
    lines.push_back("Priority " + shown(value(at + 2, 1)));
    lines.push_back("Reverb " + shown(value(at + 3, 1)));
    lines.push_back("Voice group " + shown(value(at + 4, 4)));
    for (uint32_t t = 0; t < tracks.value_or(0); ++t) {
        lines.push_back("Track " + std::to_string(t + 1) + " " + shown(value(at + 8 + 4 * t, 4)));
    }
    return lines;
}

class MusicViewTest : public ::testing::TestWithParam<Game> {};

TEST_P(MusicViewTest, ShowsTheRecordAndTheSongHeader) {
    TempFolder folder;
    const auto path = testing::WriteGeneratedRom(folder / "rom.gba", GetParam(), 1);
    const SyntheticRom& rom = testing::GeneratedRom(GetParam(), 1);
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    for (uint32_t m : {0u, 3u, 45u, 63u}) {
        const auto lines = MusicViewLines(ReadMusicView(*file, GetParam(), m));
        EXPECT_EQ(lines, ExpectedLines(rom.image, rom.image.size(), rom.songTable, m)) << m;
        // The builder's song m, as it described it.
        const uint32_t header = LoadLe32(rom.songEntries[m], 0) - kGbaRomBase;
        const auto song = std::find_if(rom.songs.begin(), rom.songs.end(),
                                       [&](const auto& s) { return s.offset == header; });
        ASSERT_NE(song, rom.songs.end());
        EXPECT_EQ(lines[10], "Tracks " + Hex(song->header[0]));
        EXPECT_EQ(lines[3], "Text4 Text4");
    }
    // Song 0's header holds the word the eight boxes follow.
    EXPECT_EQ(LoadLe32(rom.songEntries[0], 0) - kGbaRomBase + 4, kMusicTablePointer);
}

TEST_P(MusicViewTest, NeverReadsPastTheEndOfTheFile) {
    TempFolder folder;
    const SyntheticRom& rom = testing::GeneratedRom(GetParam(), 1);
    // Cut the file inside the second track pointer of the first song with two tracks or more.
    const auto song = std::find_if(rom.songs.begin(), rom.songs.end(),
                                   [](const auto& s) { return s.header[0] >= 2; });
    ASSERT_NE(song, rom.songs.end());
    const size_t size = song->offset + 8 + 4 + 2;
    const auto path = folder.WriteFile("cut.gba", std::span(rom.image).first(size));
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    bool sawOutside = false;
    for (uint32_t m = 0; m < rom.songEntries.size(); ++m) {
        const auto lines = MusicViewLines(ReadMusicView(*file, GetParam(), m));
        EXPECT_EQ(lines, ExpectedLines(rom.image, size, rom.songTable, m)) << m;
        for (const auto& line : lines) {
            sawOutside = sawOutside || line.ends_with("outside the file");
        }
    }
    EXPECT_TRUE(sawOutside);
}

INSTANTIATE_TEST_SUITE_P(BothGames, MusicViewTest, ::testing::Values(Game::ZM, Game::MF),
                         [](const auto& game) { return std::string(GameCodeText(game.param)); });

} // namespace
} // namespace quarnel
