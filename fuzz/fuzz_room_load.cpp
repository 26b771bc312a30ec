// Loads rooms of a generated image whose tables, headers, pointers and scroll records the fuzz
// input overwrites. The input is a list of patches (3 bytes of offset selector, 1 byte of value)
// aimed at the ranges the editor reads first; the room to load comes from its first bytes.

#include "demo/SyntheticRom.h"
#include "main/RoomLoading.h"
#include "rom/GameTables.h"
#include "rom/RomFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

struct Base {
    quarnel::SyntheticRom rom;
    std::filesystem::path path;
    std::vector<std::pair<uint32_t, uint32_t>> targets;
};

Base& TheBase() {
    static Base* base = [] {
        auto* made = new Base{quarnel::BuildSyntheticRom(quarnel::Game::ZM, 5), {}, {}};
        made->path = std::filesystem::temp_directory_path() /
                     ("quarnel-fuzz-room-" + std::to_string(::getpid()) + ".gba");
        auto written = quarnel::WriteSyntheticRom(made->path, quarnel::Game::ZM, 5);
        if (!written) {
            std::abort();
        }
        const auto& layout = quarnel::kZmLayout;
        made->targets = {{layout.areaTable, 28},
                         {layout.doorTablePointers, 28},
                         {quarnel::kZmScrollTable, 4 * quarnel::kZmScrollTableEntries},
                         {made->rom.areas[0].scrollListPointer - 0x08000000u, 40},
                         {layout.tilesetTable, 1620},
                         {layout.animatedTilesetTable, 400},
                         {layout.animatedGraphicsTable, 160}};
        for (const auto& room : made->rom.areas[0].rooms) {
            made->targets.push_back({room.headerOffset, 60});
            made->targets.push_back({room.header.LevelPointer - 0x08000000u, 200});
            made->targets.push_back({room.header.SpritePointer1 - 0x08000000u, 30});
        }
        for (const auto& record : made->rom.areas[0].scrollRooms) {
            made->targets.push_back({record.offset, 18});
        }
        std::atexit([] { std::filesystem::remove(TheBase().path); });
        return made;
    }();
    return *base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Base& base = TheBase();
    if (size < 2) {
        return 0;
    }
    const int room = data[0] % 8;
    std::vector<std::pair<uint32_t, uint8_t>> undo;
    {
        auto file = quarnel::RomFile::Open(base.path, quarnel::OpenMode::ReadWrite);
        if (!file) {
            std::abort();
        }
        for (size_t i = 1; i + 4 <= size && undo.size() < 64; i += 4) {
            const uint32_t selector = data[i] | (data[i + 1] << 8) | (data[i + 2] << 16);
            const auto& [start, length] = base.targets[selector % base.targets.size()];
            const uint32_t offset = start + (selector >> 8) % length;
            if (offset >= base.rom.image.size()) {
                continue;
            }
            undo.push_back({offset, base.rom.image[offset]});
            (void)file->WriteAt(offset, {&data[i + 3], 1});
        }
    }
    auto state = std::make_unique<quarnel::EditorState>(base.path.parent_path() / "fuzz-os.bin");
    (void)quarnel::OpenAtRoom(*state, base.path, 0, room);

    auto file = quarnel::RomFile::Open(base.path, quarnel::OpenMode::ReadWrite);
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
        (void)file->WriteAt(it->first, {&it->second, 1});
    }
    return 0;
}
