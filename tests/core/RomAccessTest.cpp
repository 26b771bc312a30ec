#include "rom/GameDetection.h"
#include "rom/GbaPointer.h"
#include "rom/LayerCodec.h"
#include "rom/RomFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quarnel {
namespace {

using testing::TempFolder;

std::vector<uint8_t> WithTitle(const char* title, size_t size = 0x200) {
    std::vector<uint8_t> bytes(size, 0xFF);
    std::memcpy(bytes.data() + 0xA0, title, std::min(std::strlen(title), size - 0xA0));
    return bytes;
}

TEST(GameDetection, ReadsTheSevenTitleBytes) {
    TempFolder folder;
    struct Case {
        const char* title;
        Game game;
    };
    for (const Case& c : {Case{"ZEROMISSIONE", Game::ZM}, Case{"metroid4usa", Game::MF},
                          Case{"METROID4USA", Game::None}, Case{"ZEROMIs", Game::None},
                          Case{"zeromis", Game::None}, Case{"POKEMON", Game::None}}) {
        const auto path = folder.WriteFile("rom.gba", WithTitle(c.title));
        auto game = DetectGame(path);
        if (c.game == Game::None) {
            ASSERT_FALSE(game) << c.title;
            EXPECT_EQ(game.error().kind, ErrorKind::NotARom);
        } else {
            ASSERT_TRUE(game) << c.title;
            EXPECT_EQ(*game, c.game);
        }
    }
}

TEST(GameDetection, RefusesShortMissingAndFolderPaths) {
    TempFolder folder;
    // One byte short of the title's end.
    auto shortRom = WithTitle("ZEROMIS", 0xA7);
    shortRom.pop_back();
    EXPECT_EQ(DetectGame(folder.WriteFile("short.gba", shortRom)).error().kind, ErrorKind::NotARom);
    EXPECT_TRUE(DetectGame(folder.WriteFile("exact.gba", WithTitle("ZEROMIS", 0xA7))));
    EXPECT_EQ(DetectGame(folder / "missing.gba").error().kind, ErrorKind::FileOpen);
    EXPECT_EQ(DetectGame(folder.Path()).error().kind, ErrorKind::FileOpen);
}

TEST(RomFile, ReadsPastTheEndAsZerosAndSaysSo) {
    TempFolder folder;
    const auto path = folder.WriteFile("rom.gba", std::vector<uint8_t>{1, 2, 3, 4, 5});
    auto file = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(file);
    std::vector<uint8_t> out(4, 0xEE);
    EXPECT_EQ(file->ReadAt(3, out), 2u);
    EXPECT_EQ(out, (std::vector<uint8_t>{4, 5, 0, 0}));
    EXPECT_EQ(file->ReadAt(100, out), 0u);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(file->ReadU32(1), 0x05040302u);
    EXPECT_EQ(file->ReadU16(4), 0x0005u);
}

TEST(RomFile, WritesAtOffsetsAndRefusesWritingAReadOnlyFile) {
    TempFolder folder;
    const auto path = folder.WriteFile("rom.gba", std::vector<uint8_t>(8, 0));
    {
        auto file = RomFile::Open(path, OpenMode::ReadWrite);
        ASSERT_TRUE(file);
        const uint8_t bytes[] = {0xAB, 0xCD};
        ASSERT_TRUE(file->WriteAt(6, bytes));
        ASSERT_TRUE(file->Flush());
    }
    EXPECT_EQ(testing::ReadWholeFile(path), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xAB, 0xCD}));
    auto readOnly = RomFile::Open(path, OpenMode::Read);
    ASSERT_TRUE(readOnly);
    const uint8_t byte = 1;
    EXPECT_FALSE(readOnly->WriteAt(0, {&byte, 1}));
}

TEST(GbaPointer, ResolvesOnlyInsideTheFile) {
    EXPECT_EQ(ResolvePointer(0x08000000, 16, "x").value(), 0u);
    EXPECT_EQ(ResolvePointer(0x0800000F, 16, "x").value(), 15u);
    EXPECT_FALSE(ResolvePointer(0x08000010, 16, "x"));
    EXPECT_FALSE(ResolvePointer(0x0800000F, 16, "x", 2));
    auto low = ResolvePointer(0x07FFFFFF, 16, "level layer");
    ASSERT_FALSE(low);
    EXPECT_EQ(low.error().kind, ErrorKind::PointerOutOfRange);
    EXPECT_NE(Describe(low.error()).find("level layer"), std::string::npos);
    EXPECT_FALSE(ResolvePointer(0xFFFFFFFF, 16, "x"));
}

// A stored layer of `width` x `height` incompressible clip cells: literal blocks only.
std::vector<uint8_t> LiteralClipLayer(uint8_t width, uint8_t height) {
    std::vector<uint8_t> stored{width, height, 1};
    const size_t cells = size_t{width} * height;
    for (size_t done = 0; done < cells;) {
        const size_t block = std::min<size_t>(127, cells - done);
        stored.push_back(static_cast<uint8_t>(block));
        for (size_t i = 0; i < block; ++i) {
            stored.push_back(static_cast<uint8_t>((done + i) * 7 % 251));
        }
        done += block;
    }
    stored.push_back(0);
    return stored;
}

TEST(LayerReader, ReadsAStreamLongerThanAnyFixedWindowWhole) {
    TempFolder folder;
    auto image = std::vector<uint8_t>(0x100, 0xFF);
    const auto stored = LiteralClipLayer(255, 200); // 51,000 cells: a stream of 51,405 bytes
    ASSERT_GT(stored.size(), 32572u);
    image.insert(image.end(), stored.begin(), stored.end());
    auto file = RomFile::Open(folder.WriteFile("rom.gba", image), OpenMode::Read);
    ASSERT_TRUE(file);
    auto layer = ReadLayer(*file, 0x08000100, LayerKind::Clip);
    ASSERT_TRUE(layer) << Describe(layer.error());
    EXPECT_FALSE(layer->warning);
    EXPECT_EQ(layer->storedSize, stored.size());
    EXPECT_EQ(layer->layer.Cell(254, 199), static_cast<int16_t>((51000 - 1) * 7 % 251));
}

TEST(LayerReader, RefusesPointersOutsideTheFileAndReportsCutStreams) {
    TempFolder folder;
    auto image = std::vector<uint8_t>(0x105, 0xFF);
    const uint8_t stream[] = {3, 1, 1, 3, 0x10};
    std::copy(std::begin(stream), std::end(stream), image.begin() + 0x100);
    auto file = RomFile::Open(folder.WriteFile("rom.gba", image), OpenMode::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadLayer(*file, 0x02000000, LayerKind::Clip).error().kind,
              ErrorKind::PointerOutOfRange);
    EXPECT_EQ(ReadLayer(*file, 0x08000104, LayerKind::Clip).error().kind,
              ErrorKind::PointerOutOfRange); // only one byte left: no room for the size
    auto cut = ReadLayer(*file, 0x08000100, LayerKind::Clip);
    ASSERT_TRUE(cut);
    ASSERT_TRUE(cut->warning);
    EXPECT_EQ(cut->warning->offset, 0x100u);
    EXPECT_EQ(cut->layer.Cell(0, 0), 0x10);
    EXPECT_EQ(cut->layer.Cell(1, 0), 0);
}

} // namespace
} // namespace quarnel
