// Graphics costs: a tileset load with its picture, the room picture at the largest and a
// common room size, and a plain copy of the largest picture's pixels to compare with. The room
// picture also reports its time as a multiple of a memcpy of as many pixels, timed in the same
// run ("copies"; the goal is at most 4).

#include "graphics/RoomRenderer.h"
#include "graphics/Tileset.h"
#include "rom/Catalog.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include "RomImage.h"
#include "TempFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace quarnel;
using testing::LiteralLz77;
using testing::Pointer;
using testing::RomImage;
using testing::TempFolder;

// A ZM-shaped ROM whose tileset 0 has random tiles, colours and blocks (tile numbers below
// 840), so that the tileset picture has colours and black holes like a real one.
std::vector<uint8_t> RandomTilesetRom() {
    std::mt19937 random(3);
    const auto next = [&random] { return static_cast<uint32_t>(random()); };
    RomImage rom(0x600000);
    std::vector<uint8_t> tiles(kTilesetTilesBytes);
    for (auto& byte : tiles) {
        byte = static_cast<uint8_t>(next());
    }
    rom.PutBytes(0x100000, LiteralLz77(tiles));
    for (size_t i = 0; i < 449; ++i) {
        rom.Put16(0x110000 + 2 * i, static_cast<uint16_t>(next() & 0x7FFF));
    }
    for (size_t i = 0; i < 20237; ++i) {
        const uint32_t tile = next() % 840;
        rom.Put16(0x120000 + 2 * i, static_cast<uint16_t>(tile | (next() & 0xFC00)));
    }
    const size_t record = kZmLayout.tilesetTable;
    rom.Put32(record, Pointer(0x100000));
    rom.Put32(record + 4, Pointer(0x110000));
    rom.Put32(record + 12, Pointer(0x120000));
    return rom.bytes;
}

struct Fixture {
    TempFolder folder;
    std::filesystem::path path = folder.WriteFile("bench.gba", RandomTilesetRom());
    Catalog catalog;
    std::unique_ptr<Tileset> tileset = std::make_unique<Tileset>();

    Fixture() {
        auto rom = RomFile::Open(path, OpenMode::Read);
        catalog = LoadCatalog(*rom, Game::ZM);
        (void)LoadTileset(*rom, catalog, 0, 0, *tileset);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadTilesetAndDrawTileset(benchmark::State& state) {
    Fixture& fixture = Shared();
    for (auto _ : state) {
        auto rom = RomFile::Open(fixture.path, OpenMode::Read);
        auto result = LoadTileset(*rom, fixture.catalog, 0, 0, *fixture.tileset);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_LoadTilesetAndDrawTileset)->Unit(benchmark::kMillisecond);

RoomLayer RandomLayer(int width, int height, std::mt19937& random) {
    RoomLayer layer(static_cast<uint8_t>(width), static_cast<uint8_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            layer.SetCell(x, y, static_cast<int16_t>(random() % 1024));
        }
    }
    return layer;
}

void BM_DrawRoom(benchmark::State& state) {
    const auto width = static_cast<int>(state.range(0));
    const auto height = static_cast<int>(state.range(1));
    std::mt19937 random(5);
    const RoomLayer foreground = RandomLayer(width, height, random);
    const RoomLayer level = RandomLayer(width, height, random);
    const RoomLayer back = RandomLayer(width, height, random);
    const RoomScene scene{foreground, level, back, Shared().tileset->PicTSA, {true, true, true}};
    Surface picture;
    double drawing = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        DrawRoom(picture, DrawTarget::MainMap, scene);
        benchmark::DoNotOptimize(picture.Pixels().data());
        benchmark::ClobberMemory();
        drawing += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(picture.Pixels().size_bytes()));
    // The same number of copies of the picture's pixels, into a buffer of their own.
    std::vector<uint32_t> copy(picture.Pixels().size());
    const auto start = std::chrono::steady_clock::now();
    for (int64_t i = 0; i < static_cast<int64_t>(state.iterations()); ++i) {
        std::memcpy(copy.data(), picture.Pixels().data(), picture.Pixels().size_bytes());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    const double copying =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["copies"] = copying > 0 ? drawing / copying : 0;
}
BENCHMARK(BM_DrawRoom)->Args({255, 255})->Args({40, 30})->Unit(benchmark::kMillisecond);

// The floor for the largest picture: copying its pixels once.
void BM_MemcpyLargestPicture(benchmark::State& state) {
    const size_t pixels = size_t{255 * 16} * (255 * 16);
    std::vector<uint32_t> from(pixels, 0xFF102030);
    std::vector<uint32_t> to(pixels);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), pixels * sizeof(uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels * sizeof(uint32_t)));
}
BENCHMARK(BM_MemcpyLargestPicture)->Unit(benchmark::kMillisecond);

} // namespace
