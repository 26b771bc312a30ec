// Undo of a 1,000-block drag with its redraw, against the drag itself: the drag paints each
// cell through the one cell writer (which redraws that cell of the map picture) and records
// it as part of one step; the undo writes the cells back through the same writer. The undo
// reports its time as a multiple of the drag's ("drags"); it should not be slower.

#include "demo/SyntheticRom.h"
#include "main/EditSteps.h"
#include "main/RoomLoading.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace quarnel;

constexpr int kDragCells = 1000;

// The area and room with the largest level layer.
std::pair<int, int> LargestRoom(const SyntheticRom& rom) {
    std::pair<int, int> best{0, 0};
    int most = 0;
    for (size_t a = 0; a < rom.areas.size(); ++a) {
        for (size_t r = 0; r < rom.areas[a].expectedRoomCount; ++r) {
            const auto& level = rom.areas[a].rooms[r].level;
            if (level && level->Width * level->Height > most) {
                most = level->Width * level->Height;
                best = {static_cast<int>(a), static_cast<int>(r)};
            }
        }
    }
    return best;
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_UndoDrag(benchmark::State& run) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("quarnel-bench-history-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "zm.gba";
    const auto [area, room] = LargestRoom(BuildSyntheticRom(Game::ZM, 1));
    auto state = std::make_unique<EditorState>(folder / "os.bin");
    if (!WriteSyntheticRom(path, Game::ZM, 1) || !OpenAtRoom(*state, path, area, room)) {
        run.SkipWithError("cannot open the image");
        return;
    }
    const int width = state->LevelLayer.Width;
    if (width * state->LevelLayer.Height < kDragCells) {
        run.SkipWithError("no room holds 1,000 blocks");
        return;
    }
    state->Editing = EditTarget::Level;
    double dragging = 0;
    double undoing = 0;
    for (auto _ : run) {
        state->CurrentBlock = static_cast<uint16_t>(0x3FF - run.iterations() % 2);
        const uint64_t gesture = state->History.NewGesture();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kDragCells; ++i) {
            PaintOrPickRecorded(*state, MapButton::Left, i % width, i / width, std::nullopt,
                                gesture);
        }
        dragging += Since(start);
        start = std::chrono::steady_clock::now();
        const EditEffect effect = state->History.Undo(*state, CurrentRoom(*state));
        undoing += Since(start);
        benchmark::DoNotOptimize(effect.cells.size());
    }
    run.SetLabel(std::to_string(kDragCells) + " blocks");
    run.counters["drags"] = undoing / dragging;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_UndoDrag)->Unit(benchmark::kMillisecond);

} // namespace
