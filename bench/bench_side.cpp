// A minimap save end to end, as the minimap editor's "Save" runs it after the run's backup is
// made: the storage file read, the grid compressed, free space placed and checked, the stream
// and the pointer written, flushed and read back. Beside it, the yardstick: a plain copy of the
// 8 MiB ROM file. The save reports its time as a multiple of the copy ("copies").

#include "demo/SyntheticRom.h"
#include "rom/Catalog.h"
#include "rom/RomFile.h"
#include "side/MiniMapSave.h"
#include "storage/RomBackup.h"
#include "storage/Storage.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace quarnel;

struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("quarnel-bench-side-" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// Seconds per plain copy of the ROM file, over a few copies.
double CopySeconds(const std::filesystem::path& rom, const std::filesystem::path& copy) {
    constexpr int kCopies = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCopies; ++i) {
        std::filesystem::copy_file(rom, copy, std::filesystem::copy_options::overwrite_existing);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           kCopies;
}

void BM_RomFileCopy(benchmark::State& run) {
    Folder folder;
    const auto rom = folder.path / "zm.gba";
    if (!WriteSyntheticRom(rom, Game::ZM, 1)) {
        run.SkipWithError("cannot write the image");
        return;
    }
    for (auto _ : run) {
        std::filesystem::copy_file(rom, folder.path / "copy.gba",
                                   std::filesystem::copy_options::overwrite_existing);
    }
}
BENCHMARK(BM_RomFileCopy)->Unit(benchmark::kMillisecond);

void BM_MiniMapSave(benchmark::State& run) {
    Folder folder;
    const auto rom = folder.path / "zm.gba";
    if (!WriteSyntheticRom(rom, Game::ZM, 1)) {
        run.SkipWithError("cannot write the image");
        return;
    }
    const double copy = CopySeconds(rom, folder.path / "copy.gba");
    StorageSystem storage(folder.path / "os.bin");
    RomBackups backups;
    RomWriteServices services{storage, backups, {}};
    auto file = RomFile::Open(rom, OpenMode::Read);
    Catalog catalog = LoadCatalog(*file, Game::ZM);
    auto map = ReadMiniMap(*file, catalog, 0);
    if (!storage.ResetStorage() || !map || !backups.EnsureBackup(rom)) {
        run.SkipWithError("cannot prepare the save");
        return;
    }
    uint16_t value = 0;
    double elapsed = 0;
    for (auto _ : run) {
        map->Paint(value % 32, 31, value);
        ++value;
        const auto start = std::chrono::steady_clock::now();
        auto saved = SaveMiniMap(rom, catalog, *map, services);
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!saved) {
            run.SkipWithError(Describe(saved.error()).c_str());
            return;
        }
    }
    run.counters["copies"] = elapsed / static_cast<double>(run.iterations()) / copy;
}
// Each save takes new space; 100 saves stay inside the first free-space area.
BENCHMARK(BM_MiniMapSave)->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace
