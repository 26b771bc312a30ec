// Loading a typical room of a generated image the way room selection does: header, tileset
// (LZ77 tiles, palette, block table, picture), layers, map picture, clipdata, sprites.

#include "demo/SyntheticRom.h"
#include "main/RoomLoading.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace quarnel;

// The area and room whose level layer is closest to 40 x 30 blocks.
std::pair<int, int> TypicalRoom(const SyntheticRom& rom) {
    std::pair<int, int> best{0, 0};
    double bestDistance = 1e9;
    for (size_t a = 0; a < rom.areas.size(); ++a) {
        for (size_t r = 0; r < rom.areas[a].expectedRoomCount; ++r) {
            const auto& level = rom.areas[a].rooms[r].level;
            if (!level) {
                continue;
            }
            const double distance = std::hypot(level->Width - 40.0, level->Height - 30.0);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = {static_cast<int>(a), static_cast<int>(r)};
            }
        }
    }
    return best;
}

void BM_LoadRoom(benchmark::State& run) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("quarnel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "zm.gba";
    const auto rom = BuildSyntheticRom(Game::ZM, 1);
    if (!WriteSyntheticRom(path, Game::ZM, 1)) {
        run.SkipWithError("cannot write the image");
        return;
    }
    const auto [area, room] = TypicalRoom(rom);
    auto state = std::make_unique<EditorState>(folder / "os.bin");
    if (!OpenAtRoom(*state, path, area, room)) {
        run.SkipWithError("cannot open the image");
        return;
    }
    const auto& level =
        *rom.areas[static_cast<size_t>(area)].rooms[static_cast<size_t>(room)].level;
    run.SetLabel(std::to_string(level.Width) + " x " + std::to_string(level.Height) + " blocks");
    for (auto _ : run) {
        auto report = SelectRoom(*state, area, room);
        benchmark::DoNotOptimize(report);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadRoom)->Unit(benchmark::kMillisecond);

} // namespace
