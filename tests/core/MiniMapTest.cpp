// Minimaps of generated ZM images through quarnel-cli: every picture against one computed here,
// pixel by pixel, from the builder's tiles and palette; and a --set save, checked byte by byte.

#include "side/MiniMap.h"
#include "common/ByteOrder.h"
#include "graphics/ImageFiles.h"
#include "graphics/Lz77Codec.h"
#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace quarnel {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;

int RunCli(const std::string& arguments, const std::filesystem::path& log) {
    const std::string command =
        std::string(QUARNEL_BIN_DIR) + "/quarnel-cli " + arguments + " >" + log.string() + " 2>&1";
    return std::system(command.c_str());
}

// The picture the game would show, from the builder's description only: 8x8 tiles of 4 bits,
// flipped as the entry says, colour index 0 left black, tiles past 160 and rows past 5 not drawn.
Surface ReferenceMiniMap(const SyntheticRom& rom, std::span<const uint16_t> entries) {
    Surface picture(256, 256);
    for (int cell = 0; cell < 1024; ++cell) {
        const uint16_t entry = entries[static_cast<size_t>(cell)];
        const int tile = entry & 0x3FF;
        const int row = entry >> 12;
        if (tile >= 160 || row >= 5) {
            continue;
        }
        for (int py = 0; py < 8; ++py) {
            for (int px = 0; px < 8; ++px) {
                const int sx = (entry & 0x400) ? 7 - px : px;
                const int sy = (entry & 0x800) ? 7 - py : py;
                const uint8_t byte =
                    rom.miniMapTiles[static_cast<size_t>(tile * 32 + sy * 4 + sx / 2)];
                const int index = sx % 2 == 1 ? byte >> 4 : byte & 15;
                if (index == 0) {
                    continue;
                }
                const uint16_t c = rom.miniMapPalette[static_cast<size_t>(row * 16 + index)];
                picture.SetPixel(
                    cell % 32 * 8 + px, cell / 32 * 8 + py,
                    MakePixel((c & 31u) * 8, ((c >> 5) & 31u) * 8, ((c >> 10) & 31u) * 8));
            }
        }
    }
    return picture;
}

std::vector<uint8_t> Png(const Surface& picture) {
    return EncodePng(picture).value();
}

class MiniMapPictures : public ::testing::TestWithParam<uint32_t> {};

TEST_P(MiniMapPictures, EveryEntryOfTheListDrawsAsTheGameWould) {
    TempFolder folder;
    const auto rom = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, GetParam());
    const SyntheticRom& built = testing::GeneratedRom(Game::ZM, GetParam());
    for (int m = 0; m < 11; ++m) {
        const auto out = folder / ("map" + std::to_string(m) + ".png");
        ASSERT_EQ(RunCli("minimap " + rom.string() + " " + std::to_string(m) + " " + out.string(),
                         folder / "log"),
                  0)
            << m;
        EXPECT_EQ(ReadWholeFile(out), Png(ReferenceMiniMap(built, built.miniMaps[m].entries)))
            << "minimap " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MiniMapPictures, ::testing::Values(1u, 2u));

// The entries a save wrote for an area, decoded from the stream its pointer names.
std::vector<uint16_t> StoredEntries(const std::vector<uint8_t>& image, uint32_t pointer) {
    std::vector<uint8_t> decoded(2048);
    DecompressLZ77(std::span(image).subspan(pointer - kGbaRomBase), decoded);
    std::vector<uint16_t> entries(1024);
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i] = LoadLe16(decoded, 2 * i);
    }
    return entries;
}

TEST(MiniMapSave, SetPutsTheStreamInFreeSpaceAndMovesOnlyThePointer) {
    TempFolder folder;
    const auto rom = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
    const SyntheticRom& built = testing::GeneratedRom(Game::ZM, 1);
    const auto before = ReadWholeFile(rom);
    const std::string storage = " --storage " + (folder / "os.bin").string();
    const uint32_t entry = kZmLayout.miniMapPointers + 4 * 3;

    // Flips, palette row 4, a row the game does not have and a tile past the 160.
    auto painted = built.miniMaps[3].entries;
    const std::vector<std::tuple<int, int, uint16_t>> sets{
        {0, 0, 0x4C13}, {31, 31, 0x0415}, {5, 6, 0x5812}, {7, 8, 0x13FF}};
    std::string arguments = "minimap " + rom.string() + " 3" + storage;
    for (const auto& [x, y, value] : sets) {
        painted[static_cast<size_t>(32 * y + x)] = value;
        arguments +=
            " --set " + std::to_string(x) + "," + std::to_string(y) + "=" + std::to_string(value);
    }
    ASSERT_EQ(RunCli(arguments, folder / "log"), 0) << ReadWholeFile(folder / "log").size();

    const auto after = ReadWholeFile(rom);
    const uint32_t pointer = LoadLe32(after, entry);
    const uint32_t stream = pointer - kGbaRomBase;
    EXPECT_GE(stream, kZmFreeSpace[0].begin);
    EXPECT_EQ(stream % 4, 0u) << "the console's decompressor needs a 4-byte boundary";
    EXPECT_EQ(StoredEntries(after, pointer), painted);
    const uint32_t length = static_cast<uint32_t>(CompressLZ77(MiniMapBytes(painted)).size());
    for (size_t i = 0; i < after.size(); ++i) {
        const bool pointerBytes = i >= entry && i < entry + 4;
        const bool streamBytes = i >= stream && i < stream + length;
        if (!pointerBytes && !streamBytes) {
            ASSERT_EQ(after[i], before[i]) << "byte 0x" << std::hex << i;
        } else if (streamBytes) {
            ASSERT_EQ(before[i], 0xFF) << "the stream went over data at 0x" << std::hex << i;
        }
    }
    EXPECT_EQ(ReadWholeFile(folder / "zm.gba.bak"), before);

    const auto out = folder / "map3.png";
    ASSERT_EQ(RunCli("minimap " + rom.string() + " 3 " + out.string(), folder / "log"), 0);
    EXPECT_EQ(ReadWholeFile(out), Png(ReferenceMiniMap(built, painted)));

    // A second save takes new space, then gives the first stream back: nothing leads to it.
    ASSERT_EQ(
        RunCli("minimap " + rom.string() + " 3" + storage + " --set 1,1=0x11", folder / "log"), 0);
    const auto again = ReadWholeFile(rom);
    EXPECT_GE(LoadLe32(again, entry) - kGbaRomBase, stream + length);
    EXPECT_TRUE(std::all_of(again.begin() + stream, again.begin() + stream + length,
                            [](uint8_t byte) { return byte == 0xFF; }));
}

TEST(MiniMapRead, RefusesFusionAndPointersOutsideTheFile) {
    TempFolder folder;
    const auto mf = testing::WriteGeneratedRom(folder / "mf.gba", Game::MF, 1);
    EXPECT_NE(
        RunCli("minimap " + mf.string() + " 0 " + (folder / "x.png").string(), folder / "log"), 0);
    const auto log = ReadWholeFile(folder / "log");
    EXPECT_NE(std::string(log.begin(), log.end()).find("Metroid Fusion is not supported"),
              std::string::npos);

    const auto zm = testing::WriteGeneratedRom(folder / "zm.gba", Game::ZM, 1);
    auto file = RomFile::Open(zm, OpenMode::Read);
    Catalog catalog = LoadCatalog(*file, Game::ZM);
    catalog.MiniMapPointers[2] = kGbaRomBase + static_cast<uint32_t>(file->Size()) - 2;
    EXPECT_EQ(ReadMiniMap(*file, catalog, 2).error().kind, ErrorKind::PointerOutOfRange);
    EXPECT_EQ(ReadMiniMap(*file, catalog, 11).error().kind, ErrorKind::BadArgument);
}

} // namespace
} // namespace quarnel
