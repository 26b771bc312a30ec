// "Import Tileset" end to end on a generated Zero Mission image: one changed tile compressed,
// written into free space with the tileset's record pointed at it, every write read back and
// the stream decoded again. Each run starts from the same image and storage file (restored
// untimed), and the run's backup is taken before timing starts, as a save after the first
// one finds it made. Reported with its ratio to a plain copy of the 8 MiB image ("x_copy"),
// the floor of any safe writer.

#include "main/RoomLoading.h"
#include "side/TilesetReinsert.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include "GeneratedRoms.h"
#include "TempFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace quarnel;
using Clock = std::chrono::steady_clock;

// The mean time of a plain copy of the image, over ten copies.
double CopySeconds(const std::filesystem::path& from, const std::filesystem::path& to) {
    constexpr int kCopies = 10;
    const auto start = Clock::now();
    for (int i = 0; i < kCopies; ++i) {
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / kCopies;
}

void BM_ReinsertTileset(benchmark::State& run) {
    testing::TempFolder folder;
    const auto pristine = testing::WriteGeneratedRom(folder / "pristine.gba", Game::ZM, 1);
    const auto rom = folder / "zm.gba";
    const double copy = CopySeconds(pristine, rom);
    StorageSystem storage(folder / "os.bin");
    if (!storage.ResetStorage()) {
        run.SkipWithError("cannot write os.bin");
        return;
    }
    const auto table = testing::ReadWholeFile(folder / "os.bin");
    auto state = std::make_unique<EditorState>(folder / "os.bin");
    if (!OpenAtRoom(*state, rom, 0, 1)) {
        run.SkipWithError("cannot open the image");
        return;
    }
    RomBackups backups;
    if (!backups.EnsureBackup(rom)) {
        run.SkipWithError("cannot back the image up");
        return;
    }
    RomWriteServices services{state->Storage, backups, {}};
    const auto record = state->Tables.TilesetTable[static_cast<size_t>(state->Graphics.Number)];
    state->Graphics.Tiles[kTilesetTilesAt + 37] ^= 0x5A; // the same change on every run
    double total = 0;
    for (auto _ : run) {
        std::filesystem::copy_file(pristine, rom,
                                   std::filesystem::copy_options::overwrite_existing);
        folder.WriteFile("os.bin", table);
        state->Tables.TilesetTable[static_cast<size_t>(state->Graphics.Number)] = record;
        state->Tables.TilesetTableAsRead[static_cast<size_t>(state->Graphics.Number)] = record;

        const auto start = Clock::now();
        auto done = ReinsertTileset(*state, services);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!done || done->written.empty()) {
            run.SkipWithError("the tiles were not written");
            return;
        }
        run.SetIterationTime(seconds);
        total += seconds;
    }
    run.counters["x_copy"] = total / static_cast<double>(run.iterations()) / copy;
}
BENCHMARK(BM_ReinsertTileset)->UseManualTime()->Unit(benchmark::kMillisecond);

// The floor: copying the 8 MiB image once.
void BM_CopyRom(benchmark::State& run) {
    testing::TempFolder folder;
    const auto pristine = testing::WriteGeneratedRom(folder / "pristine.gba", Game::ZM, 1);
    for (auto _ : run) {
        std::filesystem::copy_file(pristine, folder / "copy.gba",
                                   std::filesystem::copy_options::overwrite_existing);
    }
}
BENCHMARK(BM_CopyRom)->Unit(benchmark::kMillisecond);

} // namespace
